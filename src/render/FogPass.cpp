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
    if (empty())
        return;
    joinTouchingVolumes();
    ramp = makeRamp();
}

// Volumes of one material whose boxes touch (or overlap) join one fog; the volumes are put in
// order fog after fog. A level's fog volumes are few hundred at most, so pairs are simply tried.
void FogPass::joinTouchingVolumes()
{
    constexpr float touching = 1.0f; // units between boxes that still touch
    std::vector<std::size_t> root(volumes.size());
    for (std::size_t i = 0; i < root.size(); ++i)
        root[i] = i;
    const auto find = [&root](std::size_t i) {
        while (root[i] != i)
            i = root[i] = root[root[i]];
        return i;
    };
    for (std::size_t a = 0; a < volumes.size(); ++a)
        for (std::size_t b = a + 1; b < volumes.size(); ++b) {
            const FogVolume& first = volumes[a].shape;
            const FogVolume& second = volumes[b].shape;
            bool meet = first.material == second.material;
            for (std::size_t axis = 0; axis < 3 && meet; ++axis)
                meet = first.mins[axis] <= second.maxs[axis] + touching && second.mins[axis] <= first.maxs[axis] + touching;
            if (meet)
                root[find(a)] = find(b);
        }
    std::vector<std::size_t> order(volumes.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return find(a) < find(b); });
    std::vector<Volume> sorted;
    sorted.reserve(volumes.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i == 0 || find(order[i]) != find(order[i - 1]))
            fogs.push_back({volumes[order[i]].shape.mins, volumes[order[i]].shape.maxs, uint32_t(i), 0});
        Fog& fog = fogs.back();
        for (std::size_t axis = 0; axis < 3; ++axis) {
            fog.mins[axis] = std::min(fog.mins[axis], volumes[order[i]].shape.mins[axis]);
            fog.maxs[axis] = std::max(fog.maxs[axis], volumes[order[i]].shape.maxs[axis]);
        }
        ++fog.volumeCount;
        sorted.push_back(std::move(volumes[order[i]]));
    }
    volumes = std::move(sorted);
    candidates.resize(fogs.size());
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

using Triple = std::array<float, 3>;

// Whether the box from `low` to `high` meets the one from `mins` to `maxs`.
bool boxesMeet(const Triple& low, const Triple& high, const Triple& mins, const Triple& maxs)
{
    for (std::size_t axis = 0; axis < 3; ++axis)
        if (high[axis] < mins[axis] || low[axis] > maxs[axis])
            return false;
    return true;
}

// A ray from the eye to a vertex, set up once for the boxes it is tried against.
struct Segment {
    Triple from;
    Triple inverse; // of the offset to its end, per axis; unused where the offset is 0
    std::array<bool, 3> level{}; // whether the offset is 0 along the axis
};

Segment segmentOf(const Triple& from, const Triple& to)
{
    Segment segment{from, {}, {}};
    for (std::size_t axis = 0; axis < 3; ++axis) {
        const float offset = to[axis] - from[axis];
        segment.level[axis] = offset == 0.0f;
        segment.inverse[axis] = segment.level[axis] ? 0.0f : 1.0f / offset;
    }
    return segment;
}

// Whether the segment passes within `margin` of the box from `mins` to `maxs`. A volume lies in
// its box, so a segment that misses the box by the margin runs no length inside the volume:
// the margin keeps rounding from ever dropping a ray that grazes it.
bool segmentMeetsBox(const Segment& segment, const Triple& mins, const Triple& maxs)
{
    constexpr float margin = 0.125f;
    float enter = 0.0f;
    float leave = 1.0f;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        const float low = mins[axis] - margin - segment.from[axis];
        const float high = maxs[axis] + margin - segment.from[axis];
        if (segment.level[axis]) {
            if (low > 0.0f || high < 0.0f)
                return false;
            continue;
        }
        const float a = low * segment.inverse[axis];
        const float b = high * segment.inverse[axis];
        enter = std::max(enter, std::min(a, b));
        leave = std::min(leave, std::max(a, b));
        if (enter > leave)
            return false;
    }
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
    const Segment ray = segmentOf(view.position, to);
    for (std::size_t c = 0; c < candidateCount; ++c) {
        const Fog& fog = fogs[candidates[c]];
        if (!segmentMeetsBox(ray, fog.mins, fog.maxs))
            continue;
        float length = 0.0f;
        for (uint32_t v = fog.firstVolume; v < fog.firstVolume + fog.volumeCount; ++v)
            if (segmentMeetsBox(ray, volumes[v].shape.mins, volumes[v].shape.maxs))
                length += volumes[v].shape.lengthInside(view.position, to);
        const Volume& kind = volumes[fog.firstVolume];
        const float x = length * depthPerUnit / kind.distance;
        if (x <= seen.lengthOverDistance)
            continue;
        seen.lengthOverDistance = x;
        seen.color = &kind.color;
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

bool FogPass::selectFogs(const LevelData& level, const BatchedLevel& batches, int face, const View& view)
{
    const BatchedLevel::VertexSource source = batches.sourceOf(face);
    const GLuint* indices = batches.faceIndices(face);
    Triple low = view.position, high = view.position;
    for (uint32_t k = 0; k < batches.faceIndexCount(face); ++k) {
        const float* at = positionOf(level, batches, source, indices[k]);
        for (std::size_t axis = 0; axis < 3; ++axis) {
            low[axis] = std::min(low[axis], at[axis]);
            high[axis] = std::max(high[axis], at[axis]);
        }
    }
    candidateCount = 0;
    for (std::size_t f = 0; f < fogs.size(); ++f)
        if (boxesMeet(low, high, fogs[f].mins, fogs[f].maxs))
            candidates[candidateCount++] = uint32_t(f);
    return candidateCount > 0;
}

// The face's triangles from `at` on, or nothing when no vertex of it is seen through fog.
std::size_t FogPass::addFace(const LevelData& level, const BatchedLevel& batches, int face, const View& view,
                             std::size_t at)
{
    if (!selectFogs(level, batches, face, view))
        return 0;
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
        selectFogs(level, batches, face, view); // none: every share comes out 0
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
