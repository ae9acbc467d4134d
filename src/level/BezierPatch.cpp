#include "level/BezierPatch.h"


BezierPatch::BezierPatch(const std::array<Vertex, 9>& controlVertices)
{
    for (int i = 0; i < 9; ++i)
        controls[i] = controlVertices[i];
}

BezierPatch::Tessellation BezierPatch::tessellated(int newLevel) const
{
    Tessellation result;
    const int steps = newLevel < 1 ? 1 : newLevel;
    const int side = steps + 1;
    result.level = steps;
    result.vertices.reserve(std::size_t(side) * side);
    for (int i = 0; i <= steps; ++i) {
        const double a = double(i) / steps;
        const double rowWeights[3] = {(1 - a) * (1 - a), 2 * a * (1 - a), a * a};
        for (int j = 0; j <= steps; ++j) {
            const double b = double(j) / steps;
            const double columnWeights[3] = {(1 - b) * (1 - b), 2 * b * (1 - b), b * b};
            Vertex blended = controls[0] * float(rowWeights[0]) * float(columnWeights[0]);
            for (int term = 1; term < 9; ++term) {
                const int r = term / 3;
                const int c = term % 3;
                blended = blended + controls[term] * float(rowWeights[r]) * float(columnWeights[c]);
            }
            result.vertices.push_back(blended);
        }
    }

    result.indices.resize(std::size_t(steps) * 2 * side);
    for (int r = 0; r < steps; ++r) {
        for (int k = 0; k <= steps; ++k) {
            result.indices[std::size_t(2 * side * r + 2 * k)] = unsigned(r * side + k);
            result.indices[std::size_t(2 * side * r + 2 * k + 1)] = unsigned((r + 1) * side + k);
        }
    }
    result.rowIndexCount = 2 * steps + 2;
    return result;
}

std::size_t BezierPatch::tessellationBytes(int level)
{
    const std::size_t steps = std::size_t(level < 1 ? 1 : level);
    return (steps + 1) * (steps + 1) * sizeof(Vertex) + steps * (2 * steps + 2) * sizeof(unsigned int);
}

void BezierPatch::adopt(Tessellation&& tessellation) noexcept
{
    level = tessellation.level;
    vertices.swap(tessellation.vertices);
    indices.swap(tessellation.indices);
    rowIndexCount = tessellation.rowIndexCount;
}
