#include "level/Face.h"

#include "level/LevelBytes.h"
#include "level/LevelFormat.h"

#include <stdexcept>

using namespace LevelBytes;

Face::Face(const unsigned char* record)
    : texture(readInt32(record)),
      effect(readInt32(record + 4)),
      type(readInt32(record + 8)),
      firstVertex(readInt32(record + 12)),
      vertexCount(readInt32(record + 16)),
      firstMeshVertex(readInt32(record + 20)),
      meshVertexCount(readInt32(record + 24)),
      lightmapIndex(readInt32(record + 28))
{
    readInts(record + 32, lightmapStart, 2);
    readInts(record + 40, lightmapSize, 2);
    readFloats(record + 48, lightmapOrigin, 3);
    readFloats(record + 60, lightmapVectors[0], 3);
    readFloats(record + 72, lightmapVectors[1], 3);
    readFloatsYUp(record + 84, normal);
    readInts(record + 96, patchSize, 2);
}

int64_t Face::patchCount() const
{
    if (type != LevelFormat::Patch || patchSize[0] < 3 || patchSize[1] < 3)
        return 0;
    return int64_t((patchSize[0] - 1) / 2) * ((patchSize[1] - 1) / 2);
}

void Face::buildPatches(const std::vector<Vertex>& vertices)
{
    if (patchCount() == 0)
        return;
    const int64_t width = patchSize[0];
    const int64_t across = (patchSize[0] - 1) / 2;
    const int64_t down = (patchSize[1] - 1) / 2;
    const int64_t lastIndex = int64_t(firstVertex) + 2 * down * width + 2 * across;
    if (firstVertex < 0 || lastIndex >= int64_t(vertices.size()))
        throw std::out_of_range("patch control grid outside the vertex array");

    patches.reserve(patches.size() + std::size_t(across * down));
    for (int64_t y = 0; y < down; ++y) {
        for (int64_t x = 0; x < across; ++x) {
            std::array<Vertex, 9> controls;
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 3; ++c)
                    controls[std::size_t(3 * r + c)] =
                        vertices[std::size_t(firstVertex + (2 * y + r) * width + 2 * x + c)];
            patches.emplace_back(controls);
        }
    }
}

void Face::flipTexCoordT(std::vector<Vertex>& vertices) const
{
    const int64_t end = int64_t(firstVertex) + vertexCount;
    if (firstVertex < 0 || vertexCount < 0 || end > int64_t(vertices.size()))
        throw std::out_of_range("face vertex range outside the vertex array");
    for (int64_t i = firstVertex; i < end; ++i)
        vertices[std::size_t(i)].texCoord[1] = 1.0f - vertices[std::size_t(i)].texCoord[1];
}
