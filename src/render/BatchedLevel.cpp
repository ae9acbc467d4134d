#include "render/BatchedLevel.h"

#include "image/Overbright.h"
#include "level/LevelFormat.h"
#include "render/TextureManager.h"

#include <algorithm>
#include <cstddef>
#include <unordered_map>

namespace {

constexpr GLsizei stride = sizeof(GpuVertex);

} // namespace

BatchedLevel::BatchedLevel(const LevelData& level, const std::vector<SurfaceStyle>& styles,
                           const Overbright& light, const std::string& levelName, std::ostream& log)
    : styles(styles), light(light), frame(level.faces.size(), light)
{
    glGenBuffers(1, &staticBuffer);
    glGenBuffers(1, &patchBuffer);
    assignGroups(level, log, levelName);
    buildStaticFaces(level);
    rebuildPatches(level, false);
}

BatchedLevel::~BatchedLevel()
{
    glDeleteBuffers(1, &staticBuffer);
    glDeleteBuffers(1, &patchBuffer);
}

// ---- load --------------------------------------------------------------------------------------

// One group per (style, image, lightmap, source) that some drawn face uses, sorted so that the
// passes come in order and faces sharing state sit side by side.
void BatchedLevel::assignGroups(const LevelData& level, std::ostream& log, const std::string& levelName)
{
    // The styles faces are drawn with, ranked in drawing order; equal styles share a rank, so
    // their faces sort together. Records no face uses are left out: a level may have millions.
    std::vector<bool> shown(styles.size(), false);
    for (const Face& face : level.faces)
        shown[std::size_t(face.texture)] = shown[std::size_t(face.texture)] || isDrawnFace(face);
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
    // Each face's key found once through a hash of (image, lightmap, source): a level has far
    // fewer groups than faces, and only the groups are sorted.
    std::unordered_map<uint64_t, uint32_t> keyIndex;
    keyIndex.reserve(distinct.size() * 4);
    std::vector<GroupKey> keys;
    std::vector<uint32_t> faceKey(level.faces.size(), noGroup);
    std::size_t badLightmaps = 0;
    std::string firstBad;
    for (std::size_t f = 0; f < level.faces.size(); ++f) {
        const Face& face = level.faces[f];
        if (!isDrawnFace(face))
            continue;
        if (face.lightmapIndex >= level.lightmapCount) {
            if (badLightmaps++ == 0)
                firstBad = "faces[" + std::to_string(f) + "].lightmapIndex " + std::to_string(face.lightmapIndex);
        } else {
            faceLightmaps[f] = face.lightmapIndex < 0 ? -1 : face.lightmapIndex;
        }
        const VertexSource source = sourceFor(face);
        const uint64_t packed = uint64_t(uint32_t(face.texture)) << 32 | uint64_t(uint32_t(faceLightmaps[f] + 1)) << 2
                              | uint64_t(source);
        const auto [entry, added] = keyIndex.emplace(packed, uint32_t(keys.size()));
        if (added)
            keys.push_back({rankOf(styles[std::size_t(face.texture)]), face.texture, faceLightmaps[f], source});
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
        groups.push_back({key.texture, key.lightmap, key.source});
    }
    blendedStart = groups.size();
    for (std::size_t g = groups.size(); g-- > 0;)
        if (style(g).pass == SurfaceStyle::Pass::blended)
            blendedStart = g;
    faceGroup.assign(level.faces.size(), noGroup);
    for (std::size_t f = 0; f < level.faces.size(); ++f)
        if (faceKey[f] != noGroup)
            faceGroup[f] = groupOfKey[faceKey[f]];
    groupFill.assign(groups.size(), 0);
    groupStart.assign(groups.size(), 0);
    groupFaceFill.assign(groups.size(), 0);
    groupFaceStart.assign(groups.size(), 0);
    frameFaces.assign(level.faces.size(), 0);
}

bool BatchedLevel::isDrawnFace(const Face& face) const
{
    return styles[std::size_t(face.texture)].drawn && face.isDrawnType();
}

BatchedLevel::VertexSource BatchedLevel::sourceFor(const Face& face) const
{
    if (styles[std::size_t(face.texture)].frameVertices)
        return VertexSource::frameVertices;
    return face.type == LevelFormat::Patch ? VertexSource::patchVertices : VertexSource::levelVertices;
}

// The colour as stored: brightenColours brings a whole array up in one pass.
GpuVertex BatchedLevel::gpuVertex(const Vertex& vertex)
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
// into indices of the whole array (the loader checked every one against the face); a face
// whose material works its vertices out every frame gets its own copy in FrameVertices.
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
    faceIndexCounts.assign(level.faces.size(), 0);
    std::size_t indexCount = 0;
    for (std::size_t f = 0; f < level.faces.size(); ++f)
        if (faceGroup[f] != noGroup && level.faces[f].drawnFromMeshVertices())
            indexCount += std::size_t(level.faces[f].meshVertexCount);
    allIndices.reserve(indexCount);
    for (std::size_t f = 0; f < level.faces.size(); ++f) {
        const Face& face = level.faces[f];
        if (faceGroup[f] == noGroup || !face.drawnFromMeshVertices())
            continue;
        faceStart[f] = uint32_t(allIndices.size());
        faceIndexCounts[f] = uint32_t(face.meshVertexCount);
        uint32_t first = uint32_t(face.firstVertex);
        if (groups[faceGroup[f]].source == VertexSource::frameVertices) {
            first = frame.size();
            for (int32_t v = face.firstVertex; v < face.firstVertex + face.vertexCount; ++v) {
                const Vertex& vertex = level.vertices[std::size_t(v)];
                frame.append(gpuVertex(vertex), {vertex.normal[0], vertex.normal[1], vertex.normal[2]});
            }
            frame.placeFace(f, first, uint32_t(face.vertexCount));
        }
        for (int32_t k = 0; k < face.meshVertexCount; ++k)
            allIndices.push_back(GLuint(first + uint32_t(level.meshVertices[std::size_t(face.firstMeshVertex + k)])));
    }
    staticIndexCount = allIndices.size();
    frame.finishAppending();
}

void BatchedLevel::rebuildPatches(const LevelData& level, bool tessellated)
{
    allIndices.resize(staticIndexCount);
    std::size_t patchVertices = 0;
    for (std::size_t f = 0; f < level.faces.size(); ++f)
        if (faceGroup[f] != noGroup && level.faces[f].type == LevelFormat::Patch)
            for (const BezierPatch& patch : level.faces[f].patches) {
                const std::size_t side = std::size_t(tessellated && !patch.vertices.empty() ? patch.level : 2) + 1;
                patchVertices += side * side;
            }
    std::vector<GpuVertex> vertices;
    std::vector<FrameVertices::Vector> normals; // only the frame vertices keep them
    std::vector<GpuVertex> framed;
    vertices.reserve(patchVertices);
    allIndices.reserve(staticIndexCount + patchVertices * 6);
    frame.beginPatches();
    for (std::size_t f = 0; f < level.faces.size(); ++f) {
        const Face& face = level.faces[f];
        if (faceGroup[f] == noGroup || face.type != LevelFormat::Patch)
            continue;
        faceStart[f] = uint32_t(allIndices.size());
        if (groups[faceGroup[f]].source == VertexSource::frameVertices) {
            framed.clear();
            normals.clear();
            appendPatchFace(face, tessellated, framed, normals);
            const uint32_t first = frame.size();
            for (std::size_t v = 0; v < framed.size(); ++v)
                frame.append(framed[v], normals[v]);
            frame.placeFace(f, first, uint32_t(framed.size()));
            for (std::size_t k = faceStart[f]; k < allIndices.size(); ++k)
                allIndices[k] += first;
        } else {
            appendPatchFace(face, tessellated, vertices, normals);
            normals.clear();
        }
        faceIndexCounts[f] = uint32_t(allIndices.size() - faceStart[f]);
    }
    frame.finishAppending();
    brightenColours(vertices);
    patchBytes = upload(patchBuffer, vertices);
    patchCopy = std::move(vertices);
    frameIndices.assign(allIndices.size(), 0);
}

// A patch as a grid of (side x side) vertices in rows, drawn as two triangles per cell, its
// indices counted from the start of `vertices`. The tessellation gives every vertex one colour;
// here the colours are blended like the positions, so baked light shades across the curve.
void BatchedLevel::appendPatchFace(const Face& face, bool tessellated, std::vector<GpuVertex>& vertices,
                                   std::vector<FrameVertices::Vector>& normals)
{
    for (const BezierPatch& patch : face.patches) {
        const bool useTessellation = tessellated && !patch.vertices.empty();
        const int steps = useTessellation ? patch.level : 2;
        const int side = steps + 1;
        if (useTessellation && weightsSteps != steps) {
            weightsForSteps = BezierPatch::gridWeights(steps);
            weightsSteps = steps;
        }
        const GLuint first = GLuint(vertices.size());
        const float* weights = weightsForSteps.data();
        for (int v = 0; v < side * side; ++v) {
            const Vertex& source = useTessellation ? patch.vertices[std::size_t(v)] : patch.controls[v];
            normals.push_back({source.normal[0], source.normal[1], source.normal[2]});
            if (!useTessellation) {
                vertices.push_back(gpuVertex(source));
                continue;
            }
            GpuVertex gpu = gpuVertex(source);
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
                    allIndices.push_back(index);
            }
    }
}

// ---- frame -------------------------------------------------------------------------------------

void BatchedLevel::appendStaticIndices(const std::vector<int>& visibleFaces, std::vector<GLuint>& out) const
{
    for (const int face : visibleFaces) {
        const std::size_t f = std::size_t(face);
        if (faceGroup[f] != noGroup && groups[faceGroup[f]].source == VertexSource::levelVertices)
            out.insert(out.end(), allIndices.begin() + faceStart[f], allIndices.begin() + faceStart[f] + faceIndexCounts[f]);
    }
}

// The visible faces and their indices, group after group, into arrays sized at load.
void BatchedLevel::gather(const std::vector<int>& visibleFaces)
{
    std::fill(groupFill.begin(), groupFill.end(), 0);
    std::fill(groupFaceFill.begin(), groupFaceFill.end(), 0);
    for (const int face : visibleFaces) {
        const uint32_t group = faceGroup[std::size_t(face)];
        if (group != noGroup) {
            groupFill[group] += faceIndexCounts[std::size_t(face)];
            groupFaceFill[group] += 1;
        }
    }
    std::size_t start = 0;
    std::size_t faceStartHere = 0;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        groupStart[g] = start;
        start += groupFill[g];
        groupFill[g] = 0;
        groupFaceStart[g] = faceStartHere;
        faceStartHere += groupFaceFill[g];
        groupFaceFill[g] = 0;
    }
    for (const int face : visibleFaces) {
        const std::size_t f = std::size_t(face);
        const uint32_t group = faceGroup[f];
        if (group == noGroup)
            continue;
        std::copy_n(allIndices.begin() + faceStart[f], faceIndexCounts[f],
                    frameIndices.begin() + std::ptrdiff_t(groupStart[group] + groupFill[group]));
        groupFill[group] += faceIndexCounts[f];
        frameFaces[groupFaceStart[group] + groupFaceFill[group]++] = face;
    }
}

// With a buffer bound, the arrays' "pointers" are byte offsets into one vertex; from memory,
// addresses. Binds the source's buffer, or none.
const GLvoid* BatchedLevel::bindField(VertexSource source, std::size_t offset) const
{
    if (source == VertexSource::frameVertices) {
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        return reinterpret_cast<const char*>(frame.drawn()) + offset;
    }
    glBindBuffer(GL_ARRAY_BUFFER, source == VertexSource::patchVertices ? patchBuffer : staticBuffer);
    return reinterpret_cast<const GLvoid*>(offset);
}

void BatchedLevel::pointUnit0AtLightmapCoords(VertexSource source) const
{
    glTexCoordPointer(2, GL_FLOAT, stride, bindField(source, offsetof(GpuVertex, lightmapCoord)));
}

void BatchedLevel::pointArraysAt(VertexSource source) const
{
    const auto field = [this, source](std::size_t offset) { return bindField(source, offset); };
    glVertexPointer(3, GL_FLOAT, stride, field(offsetof(GpuVertex, position)));
    glClientActiveTexture(GL_TEXTURE1);
    glTexCoordPointer(2, GL_FLOAT, stride, field(offsetof(GpuVertex, lightmapCoord)));
    glClientActiveTexture(GL_TEXTURE0);
    glTexCoordPointer(2, GL_FLOAT, stride, field(offsetof(GpuVertex, texCoord)));
    glColorPointer(4, GL_UNSIGNED_BYTE, stride, field(offsetof(GpuVertex, color)));
}
