#pragma once

#include "image/Overbright.h"
#include "level/LevelData.h"
#include "level/SurfaceStyle.h"
#include "render/FrameVertices.h"
#include "render/GpuVertex.h"

#include <GL/glew.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

// The designed frame's faces, grouped for drawing. Every drawable face's triangles come from
// one of three sources: the level's vertices in a buffer object uploaded at load, the patches'
// in a second one (rebuilt when their tessellation changes), or, for materials that move or map
// their vertices every frame, FrameVertices in memory. Faces are grouped by how they are drawn:
// phase (opaque, alpha-tested, blended), surface style (sort order within a phase), image,
// lightmap and source. A frame gathers its visible faces' indices, and the faces themselves,
// group by group into arrays sized at load; MaterialRenderer draws each group's passes.
class BatchedLevel {
public:
    enum class VertexSource : uint8_t { levelVertices, patchVertices, frameVertices };
    struct Group {
        int texture;
        int lightmap; // -1: none
        VertexSource source;
    };

    // styles: one per texture of the level, kept by reference (they outlive this). `levelName` names the level in the one line that
    // reports faces naming a lightmap the level lacks (drawn with their vertex colours instead).
    // Needs a current GL context.
    // Vertex colours are brought up from their stored range by `light`.
    BatchedLevel(const LevelData& level, const std::vector<SurfaceStyle>& styles, const Overbright& light,
                 const std::string& levelName, std::ostream& log);
    ~BatchedLevel();
    BatchedLevel(const BatchedLevel&) = delete;
    BatchedLevel& operator=(const BatchedLevel&) = delete;

    // The patches' vertices again: their control grids, or their current tessellation.
    void rebuildPatches(const LevelData& level, bool tessellated);

    // ---- the frame -----------------------------------------------------------------------------
    // This frame's visible faces, and their indices, group after group (no allocation).
    void gather(const std::vector<int>& visibleFaces);
    std::size_t groupCount() const { return groups.size(); }
    const Group& group(std::size_t g) const { return groups[g]; }
    const SurfaceStyle& style(std::size_t g) const { return styles[std::size_t(groups[g].texture)]; }
    std::size_t firstBlendedGroup() const { return blendedStart; } // groups draw in order; these after fog
    // After gather: the group's indices into its source, and its faces.
    std::size_t indexCount(std::size_t g) const { return groupFill[g]; }
    const GLuint* indices(std::size_t g) const { return frameIndices.get() + groupStart[g]; }
    std::size_t faceCount(std::size_t g) const { return groupFaceFill[g]; }
    const int* faces(std::size_t g) const { return frameFaces.data() + groupFaceStart[g]; }

    // Points the vertex array, both units' texture coordinates (unit 0 the surface's, unit 1 the
    // lightmap's) and the colour array at `source`; leaves unit 0 client-active and, for the
    // buffers, the buffer bound (none for frame vertices).
    void pointArraysAt(VertexSource source) const;
    // Unit 0's coordinates at the lightmap's instead (a $lightmap stage, tcGen lightmap).
    void pointUnit0AtLightmapCoords(VertexSource source) const;
    FrameVertices& frameVertices() { return frame; }
    const FrameVertices& frameVertices() const { return frame; }

    // Where a face's vertices are: its source and, for the level's, the same index as in
    // LevelData::vertices; for the others, positions kept in memory.
    VertexSource sourceOf(int face) const { return groups[faceGroup[std::size_t(face)]].source; }
    bool isDrawn(int face) const { return faceGroup[std::size_t(face)] != noGroup; }
    const GLuint* faceIndices(int face) const { return allIndices.data() + faceStart[std::size_t(face)]; }
    uint32_t faceIndexCount(int face) const { return faceIndexCounts[std::size_t(face)]; }
    std::size_t indexTotal() const { return allIndices.size(); } // every drawn face's, at most a frame's
    const GpuVertex* patchVertices() const { return patchCopy.data(); }
    std::size_t patchVertexCount() const { return patchCopy.size(); }

    GLuint vertexBuffer() const { return staticBuffer; }
    std::size_t bufferBytes() const { return staticBytes + patchBytes; } // uploaded into both buffers
    // The frame's triangles as indices into vertexBuffer(), for a benchmark's single draw:
    // every visible face drawn from the level's vertices.
    void appendStaticIndices(const std::vector<int>& visibleFaces, std::vector<GLuint>& out) const;

    static constexpr uint32_t noGroup = UINT32_MAX;

private:
    // Sorting order of the groups: style rank (drawing order), image, lightmap, source.
    struct GroupKey {
        uint32_t rank = 0;
        int texture = 0;
        int lightmap = -1;
        VertexSource source = VertexSource::levelVertices;
        bool operator<(const GroupKey& other) const
        {
            return std::tie(rank, texture, lightmap, source) < std::tie(other.rank, other.texture, other.lightmap, other.source);
        }
    };

    void readFaces(const LevelData& level, std::vector<GroupKey>& keys, std::vector<uint32_t>& faceKey,
                   std::ostream& log, const std::string& levelName);
    void appendMeshFace(const LevelData& level, std::size_t f, VertexSource source);
    void assignGroups(std::vector<GroupKey>& keys, const std::vector<uint32_t>& faceKey);
    bool isDrawnFace(const Face& face) const;
    VertexSource sourceFor(const Face& face) const;
    const GLvoid* bindField(VertexSource source, std::size_t offset) const;
    void uploadLevelVertices(const LevelData& level);
    // `normals` are kept for frame vertices, whose colours FrameVertices brightens; null for the
    // patch buffer's, whose colours are brightened here.
    void appendPatchFace(const Face& face, bool tessellated, std::vector<GpuVertex>& vertices,
                         std::vector<FrameVertices::Vector>* normals);
    static GpuVertex gpuVertex(const Vertex& vertex);
    static void copyFields(const Vertex& vertex, GpuVertex& gpu);
    static std::size_t upload(GLuint buffer, const std::vector<GpuVertex>& vertices); // bytes

    const std::vector<SurfaceStyle>& styles; // by texture
    const Overbright light;
    std::vector<Group> groups;        // sorted: phase, style, image, lightmap, source
    std::size_t blendedStart = 0;
    std::vector<int> faceLightmaps;   // by face: the lightmap it is drawn with, -1 for none
    std::vector<uint32_t> faceGroup;  // by face: noGroup when the face is not drawn
    std::vector<uint32_t> faceStart;  // by face: its first index in allIndices
    std::vector<uint32_t> faceIndexCounts;
    std::vector<GLuint> allIndices;   // every drawn face's triangles; the patch faces' at the end
    std::size_t staticIndexCount = 0; // where the patch faces' indices begin
    std::vector<uint32_t> patchFaces; // the drawn patches, in face order
    std::unique_ptr<GLuint[]> frameIndices; // the frame's, group after group; sized with allIndices
    std::vector<int> frameFaces;      // the frame's faces, group after group; sized with the faces
    std::vector<std::size_t> groupFill; // per group, this frame: indices gathered
    std::vector<std::size_t> groupStart;
    std::vector<std::size_t> groupFaceFill;
    std::vector<std::size_t> groupFaceStart;
    std::vector<float> weightsForSteps; // BezierPatch::gridWeights(weightsSteps), kept between patches
    int weightsSteps = 0;
    FrameVertices frame;
    std::vector<GpuVertex> patchCopy; // the patch buffer's vertices, for the fog's haze
    GLuint staticBuffer = 0;
    GLuint patchBuffer = 0;
    std::size_t staticBytes = 0;
    std::size_t patchBytes = 0;
};
