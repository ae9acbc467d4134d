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
    std::vector<GroupKey> keys;
    std::vector<uint32_t> faceKey(level.faces.size(), noGroup);
    faceStart.assign(level.faces.size(), 0);
    faceIndexCounts.assign(level.faces.size(), 0);
    readFaces(level, keys, faceKey, log, levelName);
    assignGroups(keys, faceKey);
    frameFaces.assign(level.faces.size(), 0);
    uploadLevelVertices(level);
    rebuildPatches(level, false);
}

BatchedLevel::~BatchedLevel()
{
    glDeleteBuffers(1, &staticBuffer);
    glDeleteBuffers(1, &patchBuffer);
}

// ---- load --------------------------------------------------------------------------------------

// The faces are read in one sweep: a large level's faces fill many megabytes, and each extra
// sweep over them costs as much as the work it does. Each drawn face gets its key (image,
// lightmap, source), and its triangles when it has mesh vertices; patches are listed.
void BatchedLevel::readFaces(const LevelData& level, std::vector<GroupKey>& keys, std::vector<uint32_t>& faceKey,
                             std::ostream& log, const std::string& levelName)
{
    std::unordered_map<uint64_t, uint32_t> keyIndex;
    uint64_t lastPacked = UINT64_MAX; // neighbouring faces mostly share their key
    uint32_t lastKey = 0;
    std::size_t badLightmaps = 0;
    std::string firstBad;
    allIndices.reserve(level.meshVertices.size());
    for (std::size_t f = 0; f < level.faces.size(); ++f) {
        const Face& face = level.faces[f];
        if (!isDrawnFace(face))
            continue;
        int lightmap = face.lightmapIndex < 0 ? -1 : face.lightmapIndex;
        if (face.lightmapIndex >= level.lightmapCount) {
            if (badLightmaps++ == 0)
                firstBad = "faces[" + std::to_string(f) + "].lightmapIndex " + std::to_string(face.lightmapIndex);
            lightmap = -1;
        }
        const VertexSource source = sourceFor(face);
        const uint64_t packed = uint64_t(uint32_t(face.texture)) << 32 | uint64_t(uint32_t(lightmap + 1)) << 2
                              | uint64_t(source);
        if (packed != lastPacked) {
            auto entry = keyIndex.find(packed);
            if (entry == keyIndex.end()) {
                entry = keyIndex.emplace(packed, uint32_t(keys.size())).first;
                keys.push_back({0, face.texture, lightmap, source});
            }
            lastPacked = packed;
            lastKey = entry->second;
        }
        faceKey[f] = lastKey;
        if (face.type == LevelFormat::Patch)
            patchFaces.push_back(uint32_t(f));
        else
            appendMeshFace(level, f, source);
    }
    staticIndexCount = allIndices.size();
    frame.finishAppending();
    if (badLightmaps > 0)
        log << levelName << ": " << badLightmaps << " faces name a lightmap the level does not have (first "
            << firstBad << ", of " << level.lightmapCount << " lightmaps); they are drawn without one\n";
}

// A polygon's or mesh's mesh vertices made into indices of the whole array (the loader checked
// every one against the face); a face whose material works its vertices out every frame gets
// its own copy in FrameVertices.
void BatchedLevel::appendMeshFace(const LevelData& level, std::size_t f, VertexSource source)
{
    const Face& face = level.faces[f];
    faceStart[f] = uint32_t(allIndices.size());
    faceIndexCounts[f] = uint32_t(face.meshVertexCount);
    uint32_t first = uint32_t(face.firstVertex);
    if (source == VertexSource::frameVertices) {
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

// One group per key, sorted so that the phases come in order and faces sharing state sit side
// by side: by style rank (drawing order; equal styles share a rank, so their faces sort
// together), image, lightmap, source. A level has far fewer keys than faces: only they are sorted.
void BatchedLevel::assignGroups(std::vector<GroupKey>& keys, const std::vector<uint32_t>& faceKey)
{
    std::vector<SurfaceStyle> distinct;
    for (const GroupKey& key : keys)
        distinct.push_back(styles[std::size_t(key.texture)]);
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    for (GroupKey& key : keys)
        key.rank = uint32_t(std::lower_bound(distinct.begin(), distinct.end(), styles[std::size_t(key.texture)])
                            - distinct.begin());

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
        if (style(g).phase == SurfaceStyle::Phase::blended)
            blendedStart = g;
    faceGroup.resize(faceKey.size());
    for (std::size_t f = 0; f < faceKey.size(); ++f)
        faceGroup[f] = faceKey[f] == noGroup ? noGroup : groupOfKey[faceKey[f]];
    groupFill.assign(groups.size(), 0);
    groupStart.assign(groups.size(), 0);
    groupFaceFill.assign(groups.size(), 0);
    groupFaceStart.assign(groups.size(), 0);
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

// The colour as stored.
GpuVertex BatchedLevel::gpuVertex(const Vertex& vertex)
{
    GpuVertex gpu;
    copyFields(vertex, gpu);
    return gpu;
}

// Written in place: a level's vertices are too many to copy each through a temporary.
void BatchedLevel::copyFields(const Vertex& vertex, GpuVertex& gpu)
{
    std::copy_n(vertex.position, 3, gpu.position);
    std::copy_n(vertex.texCoord, 2, gpu.texCoord);
    std::copy_n(vertex.lightmapCoord, 2, gpu.lightmapCoord);
    std::copy_n(vertex.color, 4, gpu.color);
}

std::size_t BatchedLevel::upload(GLuint buffer, const std::vector<GpuVertex>& vertices)
{
    const std::size_t bytes = vertices.size() * sizeof(GpuVertex);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(bytes), vertices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return bytes;
}

// The level's vertices as they are, converted a slice at a time and copied into the buffer: the
// level's largest array gets no second full-size copy on its way to the GPU.
void BatchedLevel::uploadLevelVertices(const LevelData& level)
{
    constexpr std::size_t sliceVertices = 4096;
    staticBytes = level.vertices.size() * sizeof(GpuVertex);
    glBindBuffer(GL_ARRAY_BUFFER, staticBuffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(staticBytes), nullptr, GL_STATIC_DRAW);
    std::vector<GpuVertex> slice(sliceVertices);
    for (std::size_t first = 0; first < level.vertices.size(); first += sliceVertices) {
        const std::size_t count = std::min(sliceVertices, level.vertices.size() - first);
        // Brightened as they are copied: the copy waits on memory, and the arithmetic fits in
        // the wait.
        for (std::size_t k = 0; k < count; ++k) {
            copyFields(level.vertices[first + k], slice[k]);
            light.brighten(slice[k].color);
        }
        glBufferSubData(GL_ARRAY_BUFFER, GLintptr(first * sizeof(GpuVertex)), GLsizeiptr(count * sizeof(GpuVertex)),
                        slice.data());
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void BatchedLevel::rebuildPatches(const LevelData& level, bool tessellated)
{
    allIndices.resize(staticIndexCount);
    std::size_t patchVertices = 0;
    for (const uint32_t f : patchFaces)
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
    for (const uint32_t f : patchFaces) {
        const Face& face = level.faces[f];
        faceStart[f] = uint32_t(allIndices.size());
        if (groups[faceGroup[f]].source == VertexSource::frameVertices) {
            framed.clear();
            normals.clear();
            appendPatchFace(face, tessellated, framed, &normals);
            const uint32_t first = frame.size();
            for (std::size_t v = 0; v < framed.size(); ++v)
                frame.append(framed[v], normals[v]);
            frame.placeFace(f, first, uint32_t(framed.size()));
            for (std::size_t k = faceStart[f]; k < allIndices.size(); ++k)
                allIndices[k] += first;
        } else {
            appendPatchFace(face, tessellated, vertices, nullptr);
        }
        faceIndexCounts[f] = uint32_t(allIndices.size() - faceStart[f]);
    }
    frame.finishAppending();
    patchBytes = upload(patchBuffer, vertices);
    patchCopy = std::move(vertices);
    // Written by every frame before it is read: left uninitialised, so no page of it is touched
    // at load.
    frameIndices.reset(new GLuint[allIndices.size()]);
}

// A patch as a grid of (side x side) vertices in rows, drawn as two triangles per cell, its
// indices counted from the start of `vertices`. The tessellation gives every vertex one colour;
// here the colours are blended like the positions, so baked light shades across the curve.
void BatchedLevel::appendPatchFace(const Face& face, bool tessellated, std::vector<GpuVertex>& vertices,
                                   std::vector<FrameVertices::Vector>* normals)
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
        vertices.resize(vertices.size() + std::size_t(side * side));
        GpuVertex* out = vertices.data() + first;
        const float* weights = weightsForSteps.data();
        for (int v = 0; v < side * side; ++v, ++out) {
            const Vertex& source = useTessellation ? patch.vertices[std::size_t(v)] : patch.controls[v];
            if (normals != nullptr)
                normals->push_back({source.normal[0], source.normal[1], source.normal[2]});
            copyFields(source, *out);
            if (useTessellation) {
                for (int c = 0; c < 4; ++c) {
                    float blended = 0.5f;
                    for (int term = 0; term < 9; ++term)
                        blended += weights[term] * float(patch.controls[term].color[c]);
                    out->color[c] = static_cast<unsigned char>(std::min(blended, 255.0f));
                }
                weights += 9;
            }
            if (normals == nullptr)
                light.brighten(out->color);
        }
        std::size_t next = allIndices.size();
        allIndices.resize(next + std::size_t(steps * steps) * 6);
        for (int i = 0; i < steps; ++i)
            for (int j = 0; j < steps; ++j) {
                const GLuint corner = first + GLuint(i * side + j);
                for (const GLuint index : {corner, corner + GLuint(side), corner + 1, corner + 1,
                                           corner + GLuint(side), corner + GLuint(side) + 1})
                    allIndices[next++] = index;
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
                    frameIndices.get() + groupStart[group] + groupFill[group]);
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
