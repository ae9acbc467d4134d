#include "render/BatchedLevel.h"

#include "image/Overbright.h"
#include "level/LevelFormat.h"
#include "render/TextureManager.h"

#include <algorithm>
#include <cstddef>
#include <unordered_map>

namespace {

constexpr GLsizei stride = sizeof(BatchedLevel::GpuVertex);

// With a buffer bound, the arrays' "pointers" are byte offsets into one vertex.
const GLvoid* offsetOf(std::size_t offset) { return reinterpret_cast<const GLvoid*>(offset); }
constexpr unsigned char neutralGrey[3] = {160, 160, 160};

GLenum glFactor(BlendFactor factor)
{
    switch (factor) {
    case BlendFactor::one: return GL_ONE;
    case BlendFactor::zero: return GL_ZERO;
    case BlendFactor::sourceColor: return GL_SRC_COLOR;
    case BlendFactor::oneMinusSourceColor: return GL_ONE_MINUS_SRC_COLOR;
    case BlendFactor::destinationColor: return GL_DST_COLOR;
    case BlendFactor::oneMinusDestinationColor: return GL_ONE_MINUS_DST_COLOR;
    case BlendFactor::sourceAlpha: return GL_SRC_ALPHA;
    case BlendFactor::oneMinusSourceAlpha: return GL_ONE_MINUS_SRC_ALPHA;
    case BlendFactor::destinationAlpha: return GL_DST_ALPHA;
    case BlendFactor::oneMinusDestinationAlpha: return GL_ONE_MINUS_DST_ALPHA;
    case BlendFactor::sourceAlphaSaturate: return GL_SRC_ALPHA_SATURATE;
    }
    return GL_ONE;
}

void applyAlphaFunction(AlphaFunction function)
{
    switch (function) {
    case AlphaFunction::always: glDisable(GL_ALPHA_TEST); return;
    case AlphaFunction::greaterThanZero: glAlphaFunc(GL_GREATER, 0.0f); break;
    case AlphaFunction::lessThan128: glAlphaFunc(GL_LESS, 0.5f); break;
    case AlphaFunction::greaterOrEqualTo128: glAlphaFunc(GL_GEQUAL, 0.5f); break;
    }
    glEnable(GL_ALPHA_TEST);
}

} // namespace

BatchedLevel::BatchedLevel(const LevelData& level, const std::vector<SurfaceStyle>& styles,
                           const TextureManager& textures, const Overbright& light, const std::string& levelName,
                           std::ostream& log)
    : styles(styles), textures(textures), light(light)
{
    glGenBuffers(1, &staticBuffer);
    glGenBuffers(1, &patchBuffer);
    glGenTextures(1, &greyTexture);
    glBindTexture(GL_TEXTURE_2D, greyTexture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, neutralGrey);

    assignGroups(level, log, levelName);
    buildStaticFaces(level);
    rebuildPatches(level, false);
}

BatchedLevel::~BatchedLevel()
{
    glDeleteBuffers(1, &staticBuffer);
    glDeleteBuffers(1, &patchBuffer);
    glDeleteTextures(1, &greyTexture);
}

// ---- load --------------------------------------------------------------------------------------

// One group per (style, image, lightmap, patch) that some drawn face uses, sorted so that the
// passes come in order and faces sharing state sit side by side.
void BatchedLevel::assignGroups(const LevelData& level, std::ostream& log, const std::string& levelName)
{
    // The styles faces are drawn with, ranked in drawing order; equal styles share a rank, so
    // their faces sort together. Records no face uses are left out: a level may have millions.
    std::vector<bool> shown(styles.size(), false);
    for (const Face& face : level.faces)
        shown[std::size_t(face.texture)] = shown[std::size_t(face.texture)] || isDrawn(face);
    std::vector<SurfaceStyle> distinct;
    for (std::size_t t = 0; t < styles.size(); ++t)
        if (shown[t])
            distinct.push_back(styles[t]);
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    const auto rankOf = [&distinct](const SurfaceStyle& style) {
        return uint32_t(std::lower_bound(distinct.begin(), distinct.end(), style) - distinct.begin());
    };

    faceLightmaps.assign(level.faces.size(), -1);
    // Each face's key found once through a hash of (image, lightmap, patch): a level has far
    // fewer groups than faces, and only the groups are sorted.
    std::unordered_map<uint64_t, uint32_t> keyIndex;
    keyIndex.reserve(distinct.size() * 4);
    std::vector<GroupKey> keys;
    std::vector<uint32_t> faceKey(level.faces.size(), noGroup);
    std::size_t badLightmaps = 0;
    std::string firstBad;
    for (std::size_t f = 0; f < level.faces.size(); ++f) {
        const Face& face = level.faces[f];
        if (!isDrawn(face))
            continue;
        if (face.lightmapIndex >= level.lightmapCount) {
            if (badLightmaps++ == 0)
                firstBad = "faces[" + std::to_string(f) + "].lightmapIndex " + std::to_string(face.lightmapIndex);
        } else {
            faceLightmaps[f] = face.lightmapIndex < 0 ? -1 : face.lightmapIndex;
        }
        const bool patch = face.type == LevelFormat::Patch;
        const uint64_t packed = uint64_t(uint32_t(face.texture)) << 32 | uint64_t(uint32_t(faceLightmaps[f] + 1)) << 1
                              | uint64_t(patch);
        const auto [entry, added] = keyIndex.emplace(packed, uint32_t(keys.size()));
        if (added)
            keys.push_back({rankOf(styles[std::size_t(face.texture)]), face.texture, faceLightmaps[f], patch});
        faceKey[f] = entry->second;
    }
    if (badLightmaps > 0)
        log << levelName << ": " << badLightmaps << " faces name a lightmap the level does not have (first "
            << firstBad << ", of " << level.lightmapCount << " lightmaps); they are drawn without one\n";

    std::vector<uint32_t> order(keys.size());
    for (uint32_t k = 0; k < keys.size(); ++k)
        order[k] = k;
    std::sort(order.begin(), order.end(), [&keys](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });
    std::vector<uint32_t> groupOfKey(keys.size());
    for (uint32_t position = 0; position < order.size(); ++position) {
        const GroupKey& key = keys[order[position]];
        groupOfKey[order[position]] = position;
        groups.push_back({key.texture, key.lightmap, key.patch});
    }
    faceGroup.assign(level.faces.size(), noGroup);
    for (std::size_t f = 0; f < level.faces.size(); ++f)
        if (faceKey[f] != noGroup)
            faceGroup[f] = groupOfKey[faceKey[f]];
    groupFill.assign(groups.size(), 0);
    groupStart.assign(groups.size(), 0);
}

bool BatchedLevel::isDrawn(const Face& face) const
{
    return styles[std::size_t(face.texture)].drawn && face.isDrawnType();
}

// The colour as stored: brightenColours brings a whole array up in one pass.
BatchedLevel::GpuVertex BatchedLevel::gpuVertex(const Vertex& vertex)
{
    GpuVertex gpu;
    std::copy_n(vertex.position, 3, gpu.position);
    std::copy_n(vertex.texCoord, 2, gpu.texCoord);
    std::copy_n(vertex.lightmapCoord, 2, gpu.lightmapCoord);
    std::copy_n(vertex.color, 4, gpu.color);
    return gpu;
}

void BatchedLevel::brightenColours(std::vector<GpuVertex>& vertices) const
{
    if (!vertices.empty())
        light.brighten(vertices.front().color, vertices.size(), sizeof(GpuVertex));
}

std::size_t BatchedLevel::upload(GLuint buffer, const std::vector<GpuVertex>& vertices)
{
    const std::size_t bytes = vertices.size() * sizeof(GpuVertex);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(bytes), vertices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return bytes;
}

// Polygons and meshes: the level's vertices as they are, and each face's mesh vertices made
// into indices of the whole array (the loader checked every one against the face).
void BatchedLevel::buildStaticFaces(const LevelData& level)
{
    // Converted a slice at a time and copied into the buffer: the level's largest array gets no
    // second full-size copy on its way to the GPU.
    constexpr std::size_t sliceVertices = 4096;
    staticBytes = level.vertices.size() * sizeof(GpuVertex);
    glBindBuffer(GL_ARRAY_BUFFER, staticBuffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(staticBytes), nullptr, GL_STATIC_DRAW);
    std::vector<GpuVertex> slice;
    slice.reserve(sliceVertices);
    for (std::size_t first = 0; first < level.vertices.size(); first += sliceVertices) {
        slice.clear();
        const std::size_t end = std::min(first + sliceVertices, level.vertices.size());
        for (std::size_t v = first; v < end; ++v)
            slice.push_back(gpuVertex(level.vertices[v]));
        brightenColours(slice);
        glBufferSubData(GL_ARRAY_BUFFER, GLintptr(first * sizeof(GpuVertex)), GLsizeiptr(slice.size() * sizeof(GpuVertex)),
                        slice.data());
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    faceStart.assign(level.faces.size(), 0);
    faceCount.assign(level.faces.size(), 0);
    std::size_t indexCount = 0;
    for (std::size_t f = 0; f < level.faces.size(); ++f)
        if (faceGroup[f] != noGroup && level.faces[f].drawnFromMeshVertices())
            indexCount += std::size_t(level.faces[f].meshVertexCount);
    faceIndices.reserve(indexCount);
    for (std::size_t f = 0; f < level.faces.size(); ++f) {
        const Face& face = level.faces[f];
        if (faceGroup[f] == noGroup || !face.drawnFromMeshVertices())
            continue;
        faceStart[f] = uint32_t(faceIndices.size());
        faceCount[f] = uint32_t(face.meshVertexCount);
        for (int32_t k = 0; k < face.meshVertexCount; ++k)
            faceIndices.push_back(GLuint(face.firstVertex + level.meshVertices[std::size_t(face.firstMeshVertex + k)]));
    }
    staticIndexCount = faceIndices.size();
}

void BatchedLevel::rebuildPatches(const LevelData& level, bool tessellated)
{
    faceIndices.resize(staticIndexCount);
    std::size_t patchVertices = 0;
    for (std::size_t f = 0; f < level.faces.size(); ++f)
        if (faceGroup[f] != noGroup && level.faces[f].type == LevelFormat::Patch)
            for (const BezierPatch& patch : level.faces[f].patches) {
                const std::size_t side = std::size_t(tessellated && !patch.vertices.empty() ? patch.level : 2) + 1;
                patchVertices += side * side;
            }
    std::vector<GpuVertex> vertices;
    vertices.reserve(patchVertices);
    faceIndices.reserve(staticIndexCount + patchVertices * 6);
    for (std::size_t f = 0; f < level.faces.size(); ++f) {
        const Face& face = level.faces[f];
        if (faceGroup[f] == noGroup || face.type != LevelFormat::Patch)
            continue;
        faceStart[f] = uint32_t(faceIndices.size());
        appendPatchFace(face, tessellated, vertices);
        faceCount[f] = uint32_t(faceIndices.size() - faceStart[f]);
    }
    brightenColours(vertices);
    patchBytes = upload(patchBuffer, vertices);
    frameIndices.assign(faceIndices.size(), 0);
}

// For each vertex of a (steps + 1)-square grid, the weight of each of the nine controls.
std::vector<float> BatchedLevel::controlWeights(int steps)
{
    const int side = steps + 1;
    std::vector<float> weights(std::size_t(side) * side * 9);
    float* out = weights.data();
    for (int i = 0; i < side; ++i) {
        double rowWeights[3];
        BezierPatch::quadraticWeights(double(i) / steps, rowWeights);
        for (int j = 0; j < side; ++j) {
            double columnWeights[3];
            BezierPatch::quadraticWeights(double(j) / steps, columnWeights);
            for (int term = 0; term < 9; ++term)
                *out++ = float(rowWeights[term / 3] * columnWeights[term % 3]);
        }
    }
    return weights;
}

// A patch as a grid of (side x side) vertices in rows, drawn as two triangles per cell. The
// tessellation gives every vertex one colour; here the colours are blended like the positions,
// so baked light shades across the curve.
void BatchedLevel::appendPatchFace(const Face& face, bool tessellated, std::vector<GpuVertex>& vertices)
{
    for (const BezierPatch& patch : face.patches) {
        const bool useTessellation = tessellated && !patch.vertices.empty();
        const int steps = useTessellation ? patch.level : 2;
        const int side = steps + 1;
        if (useTessellation && weightsSteps != steps) {
            weightsForSteps = controlWeights(steps);
            weightsSteps = steps;
        }
        const GLuint first = GLuint(vertices.size());
        const float* weights = weightsForSteps.data();
        for (int v = 0; v < side * side; ++v) {
            if (!useTessellation) {
                vertices.push_back(gpuVertex(patch.controls[v]));
                continue;
            }
            GpuVertex gpu = gpuVertex(patch.vertices[std::size_t(v)]);
            for (int c = 0; c < 4; ++c) {
                float blended = 0.5f;
                for (int term = 0; term < 9; ++term)
                    blended += weights[term] * float(patch.controls[term].color[c]);
                gpu.color[c] = static_cast<unsigned char>(std::min(blended, 255.0f));
            }
            vertices.push_back(gpu);
            weights += 9;
        }
        for (int i = 0; i < steps; ++i)
            for (int j = 0; j < steps; ++j) {
                const GLuint corner = first + GLuint(i * side + j);
                for (const GLuint index : {corner, corner + GLuint(side), corner + 1, corner + 1,
                                           corner + GLuint(side), corner + GLuint(side) + 1})
                    faceIndices.push_back(index);
            }
    }
}

// ---- frame -------------------------------------------------------------------------------------

void BatchedLevel::appendStaticIndices(const std::vector<int>& visibleFaces, std::vector<GLuint>& out) const
{
    for (const int face : visibleFaces) {
        const std::size_t f = std::size_t(face);
        if (faceGroup[f] != noGroup && !groups[faceGroup[f]].patch)
            out.insert(out.end(), faceIndices.begin() + faceStart[f], faceIndices.begin() + faceStart[f] + faceCount[f]);
    }
}

// The visible faces' indices, group after group, into frameIndices (sized at load: no allocation).
void BatchedLevel::gather(const std::vector<int>& visibleFaces)
{
    std::fill(groupFill.begin(), groupFill.end(), 0);
    for (const int face : visibleFaces) {
        const uint32_t group = faceGroup[std::size_t(face)];
        if (group != noGroup)
            groupFill[group] += faceCount[std::size_t(face)];
    }
    std::size_t start = 0;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        groupStart[g] = start;
        start += groupFill[g];
        groupFill[g] = 0;
    }
    for (const int face : visibleFaces) {
        const std::size_t f = std::size_t(face);
        const uint32_t group = faceGroup[f];
        if (group == noGroup)
            continue;
        std::copy_n(faceIndices.begin() + faceStart[f], faceCount[f],
                    frameIndices.begin() + std::ptrdiff_t(groupStart[group] + groupFill[group]));
        groupFill[group] += faceCount[f];
    }
}

void BatchedLevel::draw(const std::vector<int>& visibleFaces, const Switches& switches)
{
    gather(visibleFaces);
    glDisable(GL_LIGHTING);
    glDisableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glClientActiveTexture(GL_TEXTURE0);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    boundBuffer = 0;
    lastStyle = nullptr;
    boundImage = 0;
    lastLight = Light::unset;
    boundLightmap = 0;
    lastDrawCalls = 0;
    for (std::size_t g = 0; g < groups.size(); ++g)
        if (groupFill[g] > 0)
            drawGroup(g, switches);

    // What the rest of the frame and the next one expect; see the header.
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDisableClientState(GL_COLOR_ARRAY);
    TextureManager::switchOffLightmapUnit();
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDepthMask(GL_TRUE);
    glBlendFunc(GL_ONE, GL_ZERO);
    glAlphaFunc(GL_ALWAYS, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void BatchedLevel::drawGroup(std::size_t g, const Switches& switches)
{
    const Group& group = groups[g];
    const SurfaceStyle& style = styles[std::size_t(group.texture)];
    useBuffer(group.patch ? patchBuffer : staticBuffer);
    if (lastStyle == nullptr || !(*lastStyle == style) || lastPatch != group.patch)
        applyStyle(style, group.patch);
    lastStyle = &style;
    lastPatch = group.patch;
    const bool image = switches.textures && textures.isTextureLoaded(group.texture);
    const GLuint texture = image ? textures.textureId(group.texture) : greyTexture;
    if (texture != boundImage) {
        glActiveTextureARB(GL_TEXTURE0_ARB);
        glBindTexture(GL_TEXTURE_2D, texture);
        boundImage = texture;
    }
    applyLight(group, style, switches);
    glDrawElements(GL_TRIANGLES, GLsizei(groupFill[g]), GL_UNSIGNED_INT, frameIndices.data() + groupStart[g]);
    ++lastDrawCalls;
}

void BatchedLevel::useBuffer(GLuint buffer)
{
    if (buffer == boundBuffer)
        return;
    boundBuffer = buffer;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glVertexPointer(3, GL_FLOAT, stride, offsetOf(offsetof(GpuVertex, position)));
    glClientActiveTexture(GL_TEXTURE0);
    glTexCoordPointer(2, GL_FLOAT, stride, offsetOf(offsetof(GpuVertex, texCoord)));
    glClientActiveTexture(GL_TEXTURE1);
    glTexCoordPointer(2, GL_FLOAT, stride, offsetOf(offsetof(GpuVertex, lightmapCoord)));
    glClientActiveTexture(GL_TEXTURE0);
    glColorPointer(4, GL_UNSIGNED_BYTE, stride, offsetOf(offsetof(GpuVertex, color)));
}

void BatchedLevel::applyStyle(const SurfaceStyle& style, bool patch)
{
    // Blended surfaces show what is behind them and must not hide what is drawn after them.
    glDepthMask(style.pass == SurfaceStyle::Pass::blended ? GL_FALSE : GL_TRUE);
    if (style.blend.blends) {
        glEnable(GL_BLEND);
        glBlendFunc(glFactor(style.blend.sourceFactor), glFactor(style.blend.destinationFactor));
    } else {
        glDisable(GL_BLEND);
    }
    applyAlphaFunction(style.alphaFunction);
    if (style.twoSided || patch) {
        glDisable(GL_CULL_FACE);
    } else {
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CW);
    }
}

// Lit by the lightmap (unit 1 multiplies it in), by the vertex colours, or not at all. Groups
// come sorted, so neighbours mostly light alike: only what changes is set.
void BatchedLevel::applyLight(const Group& group, const SurfaceStyle& style, const Switches& switches)
{
    const bool lit = switches.lighting && style.takesLightmap;
    const bool lightmapped = lit && switches.lightmaps && textures.isLightmapLoaded(group.lightmap);
    const Light light = lightmapped ? Light::lightmap : lit ? Light::vertexColours : Light::none;
    if (lightmapped && textures.lightmapId(group.lightmap) != boundLightmap) {
        glActiveTextureARB(GL_TEXTURE1_ARB);
        boundLightmap = textures.lightmapId(group.lightmap);
        glBindTexture(GL_TEXTURE_2D, boundLightmap);
        glActiveTextureARB(GL_TEXTURE0_ARB);
    }
    if (light == lastLight)
        return;
    lastLight = light;
    if (lightmapped) {
        glActiveTextureARB(GL_TEXTURE1_ARB);
        glClientActiveTexture(GL_TEXTURE1);
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glClientActiveTexture(GL_TEXTURE0);
        glActiveTextureARB(GL_TEXTURE0_ARB);
    } else {
        TextureManager::switchOffLightmapUnit();
    }
    if (light == Light::vertexColours) {
        glEnableClientState(GL_COLOR_ARRAY);
    } else {
        glDisableClientState(GL_COLOR_ARRAY);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    }
}
