#include "render/MarkerRenderer.h"

#include "render/SavedGLState.h"
#include "render/TextureManager.h"

#include <GL/glew.h>

#include <array>
#include <cmath>
#include <cstddef>

namespace {

constexpr float lowerShade = 0.6f;     // the diamond's lower half, as if lit from above
constexpr double pi = 3.14159265358979323846;

} // namespace

MarkerRenderer::MarkerRenderer(const std::vector<PointMarker>& markers)
{
    std::size_t triangles = 0;
    for (const PointMarker& marker : markers)
        triangles += marker.family == PointMarker::Family::playerStart ? 9 : 8;
    vertices.reserve(triangles * 3);
    for (const PointMarker& marker : markers) {
        addDiamond(marker);
        if (marker.family == PointMarker::Family::playerStart)
            addArrow(marker);
    }
}

void MarkerRenderer::addTriangle(const float (&a)[3], const float (&b)[3], const float (&c)[3],
                                 const unsigned char colour[4])
{
    for (const float* corner : {a, b, c})
        vertices.push_back({{corner[0], corner[1], corner[2]}, {colour[0], colour[1], colour[2], colour[3]}});
}

// Eight faces between the four horizontal tips and the top and bottom ones.
void MarkerRenderer::addDiamond(const PointMarker& marker)
{
    const std::array<unsigned char, 3> rgb = PointMarker::colour(marker.family);
    const unsigned char upper[4] = {rgb[0], rgb[1], rgb[2], 255};
    const unsigned char lower[4] = {static_cast<unsigned char>(rgb[0] * lowerShade),
                                    static_cast<unsigned char>(rgb[1] * lowerShade),
                                    static_cast<unsigned char>(rgb[2] * lowerShade), 255};
    const float x = marker.position.getX(), y = marker.position.getY(), z = marker.position.getZ();
    const float top[3] = {x, y + radius, z};
    const float bottom[3] = {x, y - radius, z};
    const float around[4][3] = {{x + radius, y, z}, {x, y, z - radius}, {x - radius, y, z}, {x, y, z + radius}};
    for (int i = 0; i < 4; ++i) {
        addTriangle(around[i], around[(i + 1) % 4], top, upper);
        addTriangle(around[i], around[(i + 1) % 4], bottom, lower);
    }
}

// Flat at the start's height, from its centre along its heading (counterclockwise from the file's
// +X seen from above: the world's +X toward -Z).
void MarkerRenderer::addArrow(const PointMarker& marker)
{
    const double radians = marker.heading * pi / 180.0;
    const float ahead[2] = {float(std::cos(radians)), float(-std::sin(radians))}; // world x, z
    const float x = marker.position.getX(), y = marker.position.getY(), z = marker.position.getZ();
    const float tip[3] = {x + ahead[0] * arrowLength, y, z + ahead[1] * arrowLength};
    const float left[3] = {x - ahead[1] * arrowHalfWidth, y, z + ahead[0] * arrowHalfWidth};
    const float right[3] = {x + ahead[1] * arrowHalfWidth, y, z - ahead[0] * arrowHalfWidth};
    const std::array<unsigned char, 3> rgb = PointMarker::colour(marker.family);
    const unsigned char colour[4] = {rgb[0], rgb[1], rgb[2], 255};
    addTriangle(left, right, tip, colour);
}

void MarkerRenderer::drawTriangles(const std::vector<Vertex>& vertices)
{
    if (vertices.empty())
        return;
    const SavedGLState saved(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_TEXTURE_BIT, GL_CLIENT_VERTEX_ARRAY_BIT);
    TextureManager::switchOffLightmapUnit();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), vertices.front().position);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(Vertex), vertices.front().colour);
    glDrawArrays(GL_TRIANGLES, 0, GLsizei(vertices.size()));
}
