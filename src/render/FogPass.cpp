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
    if (!empty())
        ramp = makeRamp();
}

FogPass::~FogPass()
{
    if (ramp != 0)
        glDeleteTextures(1, &ramp);
}

namespace {
constexpr int rampTexels = 256;

// Texel i holds the share at i / (rampTexels - 1) of the fog distance: s is mapped onto the
// texel centres, so s = 0 reads exactly no fog and s = 1 full fog under linear filtering.
float rampCoordinate(float lengthOverDistance)
{
    const float x = std::clamp(lengthOverDistance, 0.0f, 1.0f);
    return (0.5f + x * float(rampTexels - 1)) / float(rampTexels);
}

// Whether the box around the segment from `from` to `to` meets the volume's box.
bool boxesMeet(const std::array<float, 3>& from, const std::array<float, 3>& to, const FogVolume& volume)
{
    for (std::size_t axis = 0; axis < 3; ++axis)
        if (std::max(from[axis], to[axis]) < volume.mins[axis] || std::min(from[axis], to[axis]) > volume.maxs[axis])
            return false;
    return true;
}

float dot(const std::array<float, 3>& a, const std::array<float, 3>& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
} // namespace

GLuint FogPass::makeRamp()
{
    std::array<unsigned char, rampTexels * 4> texels{};
    for (int i = 0; i < rampTexels; ++i) {
        const float share = FogFactor::of(float(i) / float(rampTexels - 1), 1.0f);
        texels[std::size_t(i) * 4 + 0] = texels[std::size_t(i) * 4 + 1] = texels[std::size_t(i) * 4 + 2] = 255;
        texels[std::size_t(i) * 4 + 3] = static_cast<unsigned char>(std::lround(share * 255.0f));
    }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, rampTexels, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texture;
}

void FogPass::reserveFor(const LevelData& level, const BatchedLevel& batches)
{
    if (empty())
        return;
    vertices.resize(batches.indexTotal());
    std::array<std::size_t, 3> sizes{};
    for (std::size_t face = 0; face < level.faces.size(); ++face) {
        if (batches.faceIndexCount(int(face)) == 0) // not drawn: in no group
            continue;
        std::size_t& size = sizes[std::size_t(batches.sourceOf(int(face)))];
        const GLuint* indices = batches.faceIndices(int(face));
        for (uint32_t k = 0; k < batches.faceIndexCount(int(face)); ++k)
            size = std::max(size, std::size_t(indices[k]) + 1);
    }
    for (std::size_t source = 0; source < sizes.size(); ++source)
        fogCoordinates[source].assign(sizes[source], 0.0f);
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

FogPass::Seen FogPass::seenThrough(const float* position, const View& view) const
{
    Seen seen;
    const std::array<float, 3> to{position[0], position[1], position[2]};
    const std::array<float, 3> offset{to[0] - view.position[0], to[1] - view.position[1], to[2] - view.position[2]};
    const float rayLength = std::sqrt(dot(offset, offset));
    if (!(rayLength > 0.0f))
        return seen;
    const float depthPerUnit = std::max(dot(offset, view.forward), 0.0f) / rayLength; // the ray's length to its depth
    for (const Volume& volume : volumes) {
        if (!boxesMeet(view.position, to, volume.shape)) // most volumes lie nowhere near the ray
            continue;
        const float x = volume.shape.lengthInside(view.position, to) * depthPerUnit / volume.distance;
        if (x <= seen.lengthOverDistance)
            continue;
        seen.lengthOverDistance = x;
        seen.color = &volume.color;
    }
    return seen;
}

FogPass::HazeVertex FogPass::haze(const float* position, const View& view) const
{
    const Seen seen = seenThrough(position, view);
    HazeVertex vertex{{position[0], position[1], position[2]}, {0, 0, 0, 255}, {rampCoordinate(seen.lengthOverDistance), 0.5f}};
    if (seen.color != nullptr)
        for (std::size_t c = 0; c < 3; ++c)
            vertex.color[c] = static_cast<unsigned char>(std::lround(std::clamp((*seen.color)[c], 0.0f, 1.0f) * 255.0f));
    return vertex;
}

bool FogPass::hazy(const HazeVertex& vertex) { return vertex.texCoord[0] > rampCoordinate(0.0f); }

// The face's triangles from `at` on, or nothing when no vertex of it is seen through fog.
std::size_t FogPass::addFace(const LevelData& level, const BatchedLevel& batches, int face, const View& view,
                             std::size_t at)
{
    const BatchedLevel::VertexSource source = batches.sourceOf(face);
    const GLuint* indices = batches.faceIndices(face);
    const uint32_t count = batches.faceIndexCount(face);
    bool hazy = false;
    for (uint32_t k = 0; k < count; ++k) {
        vertices[at + k] = haze(positionOf(level, batches, source, indices[k]), view);
        hazy = hazy || FogPass::hazy(vertices[at + k]);
    }
    return hazy ? count : 0;
}

// The eye looks along up x right (GL's eye space looks down its -z).
FogPass::View FogPass::viewOf(const FrameVertices::Eye& eye)
{
    return {eye.position,
            {eye.up[1] * eye.right[2] - eye.up[2] * eye.right[1], eye.up[2] * eye.right[0] - eye.up[0] * eye.right[2],
             eye.up[0] * eye.right[1] - eye.up[1] * eye.right[0]}};
}

bool FogPass::beginBlendedGroup(const LevelData& level, const BatchedLevel& batches, std::size_t g,
                                const FrameVertices::Eye& eye)
{
    if (empty())
        return false;
    const View view = viewOf(eye);
    const BatchedLevel::VertexSource source = batches.group(g).source;
    std::vector<float>& shares = fogCoordinates[std::size_t(source)];
    float thickest = 0.0f;
    for (std::size_t f = 0; f < batches.faceCount(g); ++f) {
        const int face = batches.faces(g)[f];
        const GLuint* indices = batches.faceIndices(face);
        for (uint32_t k = 0; k < batches.faceIndexCount(face); ++k) {
            const Seen seen = seenThrough(positionOf(level, batches, source, indices[k]), view);
            const float share = FogFactor::of(seen.lengthOverDistance, 1.0f);
            shares[indices[k]] = share;
            if (share > thickest) {
                thickest = share;
                groupColor = *seen.color;
            }
        }
    }
    if (!(thickest > 0.0f))
        return false;
    // Linear fog from 0 to 1 over the coordinate: the fragment keeps 1 - share of its colour.
    glEnable(GL_FOG);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, 0.0f);
    glFogf(GL_FOG_END, 1.0f);
    glFogi(GL_FOG_COORD_SRC, GL_FOG_COORD);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glFogCoordPointer(GL_FLOAT, 0, shares.data());
    glEnableClientState(GL_FOG_COORD_ARRAY);
    return true;
}

void FogPass::endBlendedGroup()
{
    glDisable(GL_FOG);
    glDisableClientState(GL_FOG_COORD_ARRAY);
}

std::array<float, 4> FogPass::passFogColor(const Material::Blend& blend, const std::array<float, 3>& color)
{
    const bool adds = blend.destinationFactor == BlendFactor::one;
    const bool multiplies = blend.sourceFactor == BlendFactor::destinationColor
                         || (blend.sourceFactor == BlendFactor::zero && blend.destinationFactor == BlendFactor::sourceColor);
    if (adds)
        return {0.0f, 0.0f, 0.0f, 1.0f};
    if (multiplies)
        return {1.0f, 1.0f, 1.0f, 1.0f};
    return {color[0], color[1], color[2], 1.0f};
}

void FogPass::draw(const LevelData& level, const BatchedLevel& batches, std::size_t end, const FrameVertices::Eye& eye)
{
    drawnVertices = 0;
    if (empty())
        return;
    const View view = viewOf(eye);
    TextureManager::switchOffLightmapUnit();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, ramp);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
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
            drawnVertices += addFace(level, batches, batches.faces(g)[f], view, drawnVertices);
        if (drawnVertices == first)
            continue;
        PassState::applyCulling(batches.style(g), batches.group(g).source == BatchedLevel::VertexSource::patchVertices);
        glVertexPointer(3, GL_FLOAT, sizeof(HazeVertex), vertices[first].position);
        glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(HazeVertex), vertices[first].color);
        glTexCoordPointer(2, GL_FLOAT, sizeof(HazeVertex), vertices[first].texCoord);
        glDrawArrays(GL_TRIANGLES, 0, GLsizei(drawnVertices - first));
    }
    glDisableClientState(GL_COLOR_ARRAY);
}
