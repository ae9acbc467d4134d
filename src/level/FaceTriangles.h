#pragma once

#include "level/LevelData.h"

// The triangles a face covers, as the loader checked them: a polygon's or mesh's from its mesh
// vertices, a curved face's from each patch's control grid, two a cell (its shape near enough
// for a map or a pick, without tessellating). Billboards and other types have none.
class FaceTriangles {
public:
    // Calls visit(a, b, c) with the three `Vertex`es of each triangle.
    template <typename Visit>
    static void forEach(const LevelData& level, const Face& face, Visit&& visit)
    {
        if (face.drawnFromMeshVertices()) {
            const Vertex* first = level.vertices.data() + face.firstVertex;
            const int32_t* offsets = level.meshVertices.data() + face.firstMeshVertex;
            for (int32_t i = 0; i + 2 < face.meshVertexCount; i += 3)
                visit(first[offsets[i]], first[offsets[i + 1]], first[offsets[i + 2]]);
        }
        for (const BezierPatch& patch : face.patches)
            for (int row = 0; row < 2; ++row)
                for (int column = 0; column < 2; ++column) {
                    const Vertex* corner = patch.controls + 3 * row + column;
                    visit(corner[0], corner[3], corner[1]);
                    visit(corner[1], corner[3], corner[4]);
                }
    }
};
