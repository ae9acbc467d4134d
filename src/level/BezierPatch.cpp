#include "level/BezierPatch.h"


BezierPatch::BezierPatch(const std::array<Vertex, 9>& controlVertices)
{
    for (int i = 0; i < 9; ++i)
        controls[i] = controlVertices[i];
}

void BezierPatch::tessellate(int newLevel)
{
    level = newLevel < 1 ? 1 : newLevel;
    const int side = level + 1;
    vertices.clear();
    indices.clear();
    vertices.reserve(std::size_t(side) * side);

    for (int i = 0; i <= level; ++i) {
        const double a = double(i) / level;
        const double rowWeights[3] = {(1 - a) * (1 - a), 2 * a * (1 - a), a * a};
        for (int j = 0; j <= level; ++j) {
            const double b = double(j) / level;
            const double columnWeights[3] = {(1 - b) * (1 - b), 2 * b * (1 - b), b * b};
            Vertex blended = controls[0] * float(rowWeights[0]) * float(columnWeights[0]);
            for (int term = 1; term < 9; ++term) {
                const int r = term / 3;
                const int c = term % 3;
                blended = blended + controls[term] * float(rowWeights[r]) * float(columnWeights[c]);
            }
            vertices.push_back(blended);
        }
    }

    indices.resize(std::size_t(level) * 2 * side);
    for (int r = 0; r < level; ++r) {
        for (int k = 0; k <= level; ++k) {
            indices[std::size_t(2 * side * r + 2 * k)] = unsigned(r * side + k);
            indices[std::size_t(2 * side * r + 2 * k + 1)] = unsigned((r + 1) * side + k);
        }
    }
    rowIndexCount = 2 * level + 2;
}
