#include "level/BezierPatch.h"

#include <algorithm>

BezierPatch::BezierPatch(const std::array<Vertex, 9>& controlVertices)
{
    for (int i = 0; i < 9; ++i)
        controls[i] = controlVertices[i];
}

namespace {
constexpr int realsPerVertex = 10; // position 3, texCoord 2, lightmapCoord 2, normal 3

void realsOf(const Vertex& vertex, float reals[realsPerVertex])
{
    std::copy_n(vertex.position, 3, reals);
    std::copy_n(vertex.texCoord, 2, reals + 3);
    std::copy_n(vertex.lightmapCoord, 2, reals + 5);
    std::copy_n(vertex.normal, 3, reals + 7);
}

void setReals(Vertex& vertex, const float reals[realsPerVertex])
{
    std::copy_n(reals, 3, vertex.position);
    std::copy_n(reals + 3, 2, vertex.texCoord);
    std::copy_n(reals + 5, 2, vertex.lightmapCoord);
    std::copy_n(reals + 7, 3, vertex.normal);
}

void floatWeights(double t, float weights[3])
{
    double exact[3];
    BezierPatch::quadraticWeights(t, exact);
    std::copy_n(exact, 3, weights);
}
} // namespace

void BezierPatch::quadraticWeights(double t, double weights[3])
{
    weights[0] = (1 - t) * (1 - t);
    weights[1] = 2 * t * (1 - t);
    weights[2] = t * t;
}

// Each real is blended as (control x row weight) x column weight, summed over the nine controls
// in order: exactly what scaling and adding whole vertices gives, without making a vertex per
// term (a level may re-tessellate tens of thousands of patches at a key press).
BezierPatch::Tessellation BezierPatch::tessellated(int newLevel) const
{
    Tessellation result;
    const int steps = newLevel < 1 ? 1 : newLevel;
    const int side = steps + 1;
    result.level = steps;
    float controlReals[9][realsPerVertex];
    for (int term = 0; term < 9; ++term)
        realsOf(controls[term], controlReals[term]);

    result.vertices.resize(std::size_t(side) * side, controls[0]); // controls[0]'s colour everywhere
    for (int i = 0; i <= steps; ++i) {
        float rowWeights[3];
        floatWeights(double(i) / steps, rowWeights);
        for (int j = 0; j <= steps; ++j) {
            float columnWeights[3];
            floatWeights(double(j) / steps, columnWeights);
            float blended[realsPerVertex];
            for (int k = 0; k < realsPerVertex; ++k)
                blended[k] = controlReals[0][k] * rowWeights[0] * columnWeights[0];
            for (int term = 1; term < 9; ++term) {
                const float rowWeight = rowWeights[term / 3];
                const float columnWeight = columnWeights[term % 3];
                for (int k = 0; k < realsPerVertex; ++k)
                    blended[k] = blended[k] + controlReals[term][k] * rowWeight * columnWeight;
            }
            setReals(result.vertices[std::size_t(i * side + j)], blended);
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

std::vector<float> BezierPatch::gridWeights(int steps)
{
    const int side = steps + 1;
    std::vector<float> weights(std::size_t(side) * side * 9);
    float* out = weights.data();
    for (int i = 0; i < side; ++i) {
        double rowWeights[3];
        quadraticWeights(double(i) / steps, rowWeights);
        for (int j = 0; j < side; ++j) {
            double columnWeights[3];
            quadraticWeights(double(j) / steps, columnWeights);
            for (int term = 0; term < 9; ++term)
                *out++ = float(rowWeights[term / 3] * columnWeights[term % 3]);
        }
    }
    return weights;
}
