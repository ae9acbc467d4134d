#include "render/FrameVertices.h"

#include "image/Overbright.h"
#include "surface/Autosprite.h"
#include "surface/EnvironmentMap.h"
#include "surface/StageColor.h"
#include "surface/VertexDeform.h"

#include <algorithm>
#include <cmath>

namespace {
using Vector = FrameVertices::Vector;

Vector positionOf(const GpuVertex& vertex) { return {vertex.position[0], vertex.position[1], vertex.position[2]}; }

unsigned char toByte(float unit) { return static_cast<unsigned char>(std::lround(std::clamp(unit, 0.0f, 1.0f) * 255.0f)); }
} // namespace

FrameVertices::FrameVertices(std::size_t faceCount, const Overbright& light) : light(light), faceRanges(faceCount) {}

void FrameVertices::append(const GpuVertex& vertex, const Vector& normal)
{
    loaded.push_back(vertex);
    normals.push_back(normal);
    stored.push_back({vertex.color[0], vertex.color[1], vertex.color[2], vertex.color[3]});
}

void FrameVertices::beginPatches()
{
    if (patchesStart == SIZE_MAX)
        patchesStart = loaded.size();
    loaded.resize(patchesStart);
    normals.resize(patchesStart);
    stored.resize(patchesStart);
    brightened = std::min(brightened, patchesStart);
}

void FrameVertices::finishAppending()
{
    if (loaded.size() > brightened)
        light.brighten(loaded[brightened].color, loaded.size() - brightened, sizeof(GpuVertex));
    brightened = loaded.size();
    deformed = loaded;
    deformedNormals = normals;
    texCoords.assign(loaded.size(), {0.0f, 0.0f});
    colors.assign(loaded.size(), {255, 255, 255, 255});
}

void FrameVertices::placeFace(std::size_t face, uint32_t first, uint32_t count) { faceRanges[face] = {first, count}; }

// ---- frame ---------------------------------------------------------------------------------

void FrameVertices::deform(const Material& material, const int* faces, std::size_t count, double seconds,
                           const Eye& eye)
{
    for (std::size_t f = 0; f < count; ++f) {
        const Range range = faceRanges[std::size_t(faces[f])];
        std::copy_n(loaded.begin() + range.first, range.count, deformed.begin() + range.first);
        std::copy_n(normals.begin() + range.first, range.count, deformedNormals.begin() + range.first);
        for (const Material::Deform& deform : material.deforms) {
            if (deform.kind == DeformKind::autosprite || deform.kind == DeformKind::autosprite2) {
                turnQuads(deform, range, eye);
                continue;
            }
            for (uint32_t v = range.first; v < range.first + range.count; ++v) {
                GpuVertex& vertex = deformed[v];
                const Vector place = positionOf(vertex);
                const Vector offset = VertexDeform::offset(deform, place, normals[v], vertex.texCoord[0], seconds);
                for (std::size_t axis = 0; axis < 3; ++axis)
                    vertex.position[axis] += offset[axis];
                deformedNormals[v] = VertexDeform::normal(deform, place, deformedNormals[v], seconds);
            }
        }
    }
}

// Each run of four vertices is one quad; a face whose vertices do not make whole quads stays as
// it is.
void FrameVertices::turnQuads(const Material::Deform& deform, const Range& range, const Eye& eye)
{
    if (range.count % 4 != 0)
        return;
    for (uint32_t quad = range.first; quad < range.first + range.count; quad += 4) {
        Autosprite::Corners corners;
        Autosprite::TexCoords texCoords;
        for (uint32_t k = 0; k < 4; ++k) {
            corners[k] = positionOf(deformed[quad + k]);
            texCoords[k] = {deformed[quad + k].texCoord[0], deformed[quad + k].texCoord[1]};
        }
        const Autosprite::Corners turned = deform.kind == DeformKind::autosprite
                                             ? Autosprite::facingEye(corners, texCoords, eye.right, eye.up)
                                             : Autosprite::aboutLongAxis(corners, texCoords, eye.position);
        for (uint32_t k = 0; k < 4; ++k)
            std::copy_n(turned[k].begin(), 3, deformed[quad + k].position);
    }
}

void FrameVertices::mapEnvironment(const int* faces, std::size_t count, const Eye& eye)
{
    for (std::size_t f = 0; f < count; ++f) {
        const Range range = faceRanges[std::size_t(faces[f])];
        for (uint32_t v = range.first; v < range.first + range.count; ++v)
            texCoords[v] = EnvironmentMap::texCoord(eye.position, positionOf(deformed[v]), deformedNormals[v]);
    }
}

void FrameVertices::colour(const Material::Stage& stage, const int* faces, std::size_t count, double seconds,
                           const Eye& eye, bool lighting)
{
    StageColor::Inputs inputs;
    inputs.seconds = seconds;
    inputs.eye = eye.position;
    for (std::size_t f = 0; f < count; ++f) {
        const Range range = faceRanges[std::size_t(faces[f])];
        for (uint32_t v = range.first; v < range.first + range.count; ++v) {
            for (std::size_t c = 0; c < 4; ++c)
                inputs.storedColor[c] = stored[v][c] / 255.0f;
            for (std::size_t c = 0; c < 3; ++c)
                inputs.litColor[c] = lighting ? loaded[v].color[c] / 255.0f : 1.0f;
            inputs.position = positionOf(deformed[v]);
            inputs.normal = deformedNormals[v];
            const std::array<float, 4> rgba = StageColor::of(stage, inputs);
            for (std::size_t c = 0; c < 4; ++c)
                colors[v][c] = toByte(rgba[c]);
        }
    }
}
