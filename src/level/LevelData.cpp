#include "level/LevelData.h"

namespace {
template <typename Element>
std::size_t bytesOf(const std::vector<Element>& elements)
{
    return elements.size() * sizeof(Element);
}
} // namespace

std::size_t LevelData::footprintBytes() const
{
    std::size_t bytes = bytesOf(planes) + bytesOf(nodes) + bytesOf(leaves) + bytesOf(leafFaces)
                      + bytesOf(leafBrushes) + bytesOf(models) + bytesOf(brushes) + bytesOf(brushSides)
                      + bytesOf(vertices) + bytesOf(meshVertices) + bytesOf(faces) + bytesOf(effects)
                      + entityText.size();
    for (const Effect& effect : effects)
        bytes += effect.material.capacity();
    for (const Face& face : faces)
        bytes += bytesOf(face.patches);
    if (visData)
        bytes += visData->bits.size();
    return bytes;
}
