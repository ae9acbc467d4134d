#pragma once

#include "level/LevelFormat.h"

#include "level/BezierPatch.h"
#include "level/Vertex.h"

#include <cstdint>
#include <vector>

// One drawable surface (104 bytes in the file). Its normal is held Y-up; the lightmap origin
// and vectors keep the file's axes. A face of type 2 (patch) owns the Bezier patches cut
// from its control grid.
class Face {
public:
    static constexpr int recordSize = LevelFormat::faceRecordSize; // bytes in the file

    Face() = default;
    explicit Face(const unsigned char* record); // reads one record of recordSize bytes
    virtual ~Face() = default;
    Face(const Face&) = default;
    Face& operator=(const Face&) = default;

    // Cuts the patchSize control grid into 3 x 3 patches. Raises std::out_of_range, building
    // nothing, when the grid reaches outside `vertices`.
    void buildPatches(const std::vector<Vertex>& vertices);

    // t becomes 1 - t for this face's vertices: TGA images keep their rows bottom-up.
    // Raises std::out_of_range, changing nothing, when the range lies outside `vertices`.
    void flipTexCoordT(std::vector<Vertex>& vertices) const;

    int64_t patchCount() const; // (w - 1) / 2 x (h - 1) / 2 for a type-2 face, else 0

    // Polygons and meshes are drawn as triangles of mesh vertices, offsets from firstVertex.
    bool drawnFromMeshVertices() const { return type == LevelFormat::Polygon || type == LevelFormat::Mesh; }
    // The types the viewer draws: those and patches; billboards and unknown types are not drawn.
    bool isDrawnType() const { return drawnFromMeshVertices() || type == LevelFormat::Patch; }

    int32_t texture = 0; // index into textures
    int32_t effect = -1; // index into effects (a fog volume), -1 for none; a bad one is made -1
    int32_t type = 0;    // 1 polygon, 2 patch, 3 mesh, 4 billboard
    int32_t firstVertex = 0;
    int32_t vertexCount = 0;
    int32_t firstMeshVertex = 0;
    int32_t meshVertexCount = 0;
    int32_t lightmapIndex = 0;
    int32_t lightmapStart[2] = {0, 0};
    int32_t lightmapSize[2] = {0, 0};
    float lightmapOrigin[3] = {0.0f, 0.0f, 0.0f};             // file axes
    float lightmapVectors[2][3] = {{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}}; // file axes
    float normal[3] = {0.0f, 0.0f, 0.0f};
    int32_t patchSize[2] = {0, 0}; // control grid width, height
    std::vector<BezierPatch> patches;
};
