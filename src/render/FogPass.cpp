#include "render/FogPass.h"

#include "level/TextureResolver.h"
#include "render/PassState.h"
#include "render/TextureManager.h"
#include "surface/FogFactor.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>

FogPass::FogPass(const LevelData& level, const TextureResolver& resolver)
{
    for (FogVolume& shape : FogVolume::allOf(level)) {
        const Material* material = resolver.material(shape.material);
        if (material == nullptr || !(material->fogDistance > 0.0f) || shape.planes.empty())
            continue;
        volumes.push_back({std::move(shape), material->fogColor, material->fogDistance});
    }
}

void FogPass::reserveFor(const BatchedLevel& batches)
{
    if (!empty())
        vertices.resize(batches.indexTotal());
}

const float* FogPass::positionOf(const LevelData& level, const BatchedLevel& batches, BatchedLevel::VertexSource source,
                                 GLuint index) const
{
    switch (source) {
    case BatchedLevel::VertexSource::levelVertices: return level.vertices[index].position;
    case BatchedLevel::VertexSource::patchVertices: return batches.patchVertices()[index].position;
    case BatchedLevel::VertexSource::frameVertices: return batches.frameVertices().drawn()[index].position;
    }
    return level.vertices[index].position;
}

FogPass::HazeVertex FogPass::haze(const float* position, const std::array<float, 3>& eye) const
{
    HazeVertex vertex{{position[0], position[1], position[2]}, {0, 0, 0, 0}};
    float thickest = 0.0f;
    for (const Volume& volume : volumes) {
        const float share = FogFactor::of(volume.shape.lengthInside(eye, {position[0], position[1], position[2]}),
                                          volume.distance);
        if (share <= thickest)
            continue;
        thickest = share;
        for (std::size_t c = 0; c < 3; ++c)
            vertex.color[c] = static_cast<unsigned char>(std::lround(std::clamp(volume.color[c], 0.0f, 1.0f) * 255.0f));
        vertex.color[3] = static_cast<unsigned char>(std::lround(share * 255.0f));
    }
    return vertex;
}

// The face's triangles from `at` on, or nothing when no vertex of it is seen through fog.
std::size_t FogPass::addFace(const LevelData& level, const BatchedLevel& batches, int face,
                             const std::array<float, 3>& eye, std::size_t at)
{
    const BatchedLevel::VertexSource source = batches.sourceOf(face);
    const GLuint* indices = batches.faceIndices(face);
    const uint32_t count = batches.faceIndexCount(face);
    bool hazy = false;
    for (uint32_t k = 0; k < count; ++k) {
        vertices[at + k] = haze(positionOf(level, batches, source, indices[k]), eye);
        hazy = hazy || vertices[at + k].color[3] > 0;
    }
    return hazy ? count : 0;
}

void FogPass::draw(const LevelData& level, const BatchedLevel& batches, std::size_t end, const std::array<float, 3>& eye)
{
    drawnVertices = 0;
    if (empty())
        return;
    TextureManager::switchOffLightmapUnit();
    glDisable(GL_TEXTURE_2D);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDepthMask(GL_FALSE);
    glDepthFunc(GL_LEQUAL);
    PassState::applyAlphaFunction(AlphaFunction::always);
    PassState::applyBlend({true, BlendFactor::sourceAlpha, BlendFactor::oneMinusSourceAlpha});
    for (std::size_t g = 0; g < end; ++g) {
        const std::size_t first = drawnVertices;
        for (std::size_t f = 0; f < batches.faceCount(g); ++f)
            drawnVertices += addFace(level, batches, batches.faces(g)[f], eye, drawnVertices);
        if (drawnVertices == first)
            continue;
        PassState::applyCulling(batches.style(g), batches.group(g).source == BatchedLevel::VertexSource::patchVertices);
        glVertexPointer(3, GL_FLOAT, sizeof(HazeVertex), vertices[first].position);
        glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(HazeVertex), vertices[first].color);
        glDrawArrays(GL_TRIANGLES, 0, GLsizei(drawnVertices - first));
    }
    glDisableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_TEXTURE_2D);
}
