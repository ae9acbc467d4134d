#include "Decorations.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float pi = 3.14159265f;
constexpr float panelLift = 2.0f; // units between a panel and its wall: no depth fighting

} // namespace

Decorations::Decorations(const Plan& plan, Geometry& geometry)
    : plan(plan), geometry(geometry), size(static_cast<float>(plan.cellSize)),
      height(static_cast<float>(plan.height))
{
}

void Decorations::addPillar(Vector3 centre, int texture)
{
    const float radius = size * 0.22f;
    const float ring[9][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}, {1, 0}};
    const float repeats = std::max(1.0f, std::round(2.0f * pi * radius / plan.textureScale));
    std::vector<VertexRecord> controls;
    for (int i = 0; i < 3; ++i) {
        const float z = height * 0.5f * static_cast<float>(i);
        for (int j = 0; j < 9; ++j) {
            VertexRecord v;
            v.position = {centre.x + ring[j][0] * radius, centre.y + ring[j][1] * radius, z};
            v.normal = normalized({ring[j][0], ring[j][1], 0.0f});
            v.texCoord[0] = repeats * static_cast<float>(j) / 8.0f;
            v.texCoord[1] = (height - z) / plan.textureScale;
            controls.push_back(v);
        }
    }
    geometry.addPatch(controls, 9, 3, texture, {0.0f, 0.0f, 1.0f});
}

// The curved underside (a 5 x 3 grid across the doorway and along the passage) and the two
// flat faces that close the space between the curve and the ceiling.
void Decorations::addArch(int column, int row, Vector3 corner, int texture)
{
    const bool passageAlongY = isSolid(plan.at(column - 1, row));
    const Vector3 across = passageAlongY ? Vector3{1.0f, 0.0f, 0.0f} : Vector3{0.0f, 1.0f, 0.0f};
    const Vector3 along = passageAlongY ? Vector3{0.0f, 1.0f, 0.0f} : Vector3{1.0f, 0.0f, 0.0f};
    const Vector3 up{0.0f, 0.0f, 1.0f};
    const float crown = height - std::max(4.0f, size / 8.0f);
    // Half an ellipse: as wide as the doorway, and at least a third of the room high
    // so that it reads as an arch rather than a lintel.
    const float radius = std::min(std::max(size * 0.5f, height * 0.35f), crown * 0.6f);
    const float spring = crown - radius;
    const float acrossAt[5] = {0.0f, 0.0f, size * 0.5f, size, size};
    const float zAt[5] = {spring, crown, crown, crown, spring};
    const Vector3 inward[5] = {across, normalized(across - up), up * -1.0f, normalized(across * -1.0f - up),
                               across * -1.0f};
    const float arcLength = pi * 0.5f * (size * 0.5f + radius);

    std::vector<VertexRecord> underside;
    for (int i = 0; i < 3; ++i) {
        for (int k = 0; k < 5; ++k) {
            VertexRecord v;
            v.position = corner + across * acrossAt[k] + along * (size * 0.5f * static_cast<float>(i)) + up * zAt[k];
            v.normal = inward[k];
            v.texCoord[0] = arcLength * static_cast<float>(k) / 4.0f / plan.textureScale;
            v.texCoord[1] = size * 0.5f * static_cast<float>(i) / plan.textureScale;
            underside.push_back(v);
        }
    }
    geometry.addPatch(underside, 5, 3, texture, {0.0f, 0.0f, -1.0f});

    for (const float side : {0.0f, 1.0f}) {
        const Vector3 normal = side == 0.0f ? along * -1.0f : along;
        std::vector<VertexRecord> face;
        for (int i = 0; i < 3; ++i) {
            for (int k = 0; k < 5; ++k) {
                const float z = zAt[k] + (height - zAt[k]) * 0.5f * static_cast<float>(i);
                VertexRecord v;
                v.position = corner + across * acrossAt[k] + along * (size * side) + up * z;
                v.normal = normal;
                v.texCoord[0] = acrossAt[k] / plan.textureScale;
                v.texCoord[1] = (height - z) / plan.textureScale;
                face.push_back(v);
            }
        }
        geometry.addPatch(face, 5, 3, texture, normal);
    }
}

void Decorations::addPedestal(Vector3 centre, int texture)
{
    const float half = size * 0.18f;
    const float top = height * 0.3f;
    const float apex = top + half * 1.6f;
    const Vector3 corners[4] = {{centre.x - half, centre.y - half, 0.0f},
                                {centre.x + half, centre.y - half, 0.0f},
                                {centre.x + half, centre.y + half, 0.0f},
                                {centre.x - half, centre.y + half, 0.0f}};
    const Vector3 lift{0.0f, 0.0f, top};
    const Vector3 peak{centre.x, centre.y, apex};
    std::vector<Geometry::Triangle> triangles;
    for (int i = 0; i < 4; ++i) {
        const Vector3 a = corners[i];
        const Vector3 b = corners[(i + 1) % 4];
        const Vector3 outward = (a + b) * 0.5f - centre; // horizontal: both lie on the floor
        triangles.push_back({{a, b, b + lift}, outward});
        triangles.push_back({{a, b + lift, a + lift}, outward});
        triangles.push_back({{a + lift, b + lift, peak}, outward + Vector3{0.0f, 0.0f, half}});
    }
    geometry.addMesh(triangles, texture);
}

void Decorations::addBillboard(Vector3 centre, int texture)
{
    const float half = size * 0.25f;
    const float top = height * 0.6f;
    geometry.addBillboard({{centre.x - half, centre.y, 0.0f}, {centre.x + half, centre.y, 0.0f},
                           {centre.x + half, centre.y, top}, {centre.x - half, centre.y, top}},
                          {0.0f, 1.0f, 0.0f}, texture);
}

Decorations::Span Decorations::acrossCell(int column, int row) const
{
    const float x0 = static_cast<float>(column) * size;
    const float y0 = static_cast<float>(plan.rows - 1 - row) * size;
    if (spansWestToEast(plan, column, row))
        return {{x0, y0 + size * 0.5f, 0.0f}, {x0 + size, y0 + size * 0.5f, 0.0f}, {0.0f, 1.0f, 0.0f}};
    return {{x0 + size * 0.5f, y0, 0.0f}, {x0 + size * 0.5f, y0 + size, 0.0f}, {1.0f, 0.0f, 0.0f}};
}

void Decorations::addGrate(int column, int row, int texture)
{
    const Span span = acrossCell(column, row);
    geometry.addWall(span.a, span.b, height, span.normal, texture);
}

void Decorations::addScreen(int column, int row, int texture)
{
    const Span span = acrossCell(column, row);
    geometry.addWall(span.a, span.b, height, span.normal, texture);
    geometry.addWall(span.a, span.b, height, span.normal * -1.0f, texture);
}

void Decorations::addPanel(Vector3 a, Vector3 b, Vector3 normal, int texture, PanelShape shape)
{
    // Seen from the open side, the viewer's right hand points along -normal x up.
    const Vector3 right = cross(normal * -1.0f, {0.0f, 0.0f, 1.0f});
    const Vector3 left = dot(a, right) < dot(b, right) ? a : b;
    const float width = size * shape.width;
    const Vector3 start = left + normal * panelLift + right * ((size - width) * 0.5f);
    addUprightPicture(start, right, width, height * shape.bottom, height * shape.top, normal, texture);
}

void Decorations::addFlame(Vector3 centre, int texture)
{
    const float width = size * 0.4f;
    const Vector3 right{1.0f, 0.0f, 0.0f};
    addUprightPicture(centre - right * (width * 0.5f), right, width, height * 0.1f, height * 0.55f,
                      {0.0f, -1.0f, 0.0f}, texture);
}

void Decorations::addLevelSurface(int column, int row, float level, int texture)
{
    const float x0 = static_cast<float>(column) * size;
    const float y0 = static_cast<float>(plan.rows - 1 - row) * size;
    geometry.addPolygon({{x0, y0, level}, {x0 + size, y0, level}, {x0 + size, y0 + size, level}, {x0, y0 + size, level}},
                        {0.0f, 0.0f, 1.0f}, texture, {{1.0f, 0.0f, 0.0f}, {0.0f, -1.0f, 0.0f}, 0.0f, 0.0f});
}

void Decorations::addUprightPicture(Vector3 start, Vector3 right, float width, float bottom, float top, Vector3 normal,
                                    int texture)
{
    const Vector3 end = start + right * width;
    const float scale = static_cast<float>(plan.textureScale);
    Geometry::Mapping mapping;
    mapping.sAxis = right * (scale / width);
    mapping.sOffset = -dot(start, right) / width;
    mapping.tAxis = Vector3{0.0f, 0.0f, -1.0f} * (scale / (top - bottom));
    mapping.tOffset = top / (top - bottom);
    geometry.addPolygon({{start.x, start.y, bottom}, {end.x, end.y, bottom}, {end.x, end.y, top},
                         {start.x, start.y, top}},
                        normal, texture, mapping);
}
