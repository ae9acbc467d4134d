#include "Shapes.h"

#include <cmath>

namespace {

Vector3 corner(const std::array<int, 3>& point)
{
    return {static_cast<float>(point[0]), static_cast<float>(point[1]), static_cast<float>(point[2])};
}

// A ramp's frame: `along` the horizontal unit vector it rises towards, `across` the other
// horizontal axis (positive), and the box's extent on each as [from, to] of the foot and top.
struct RampFrame {
    Vector3 along;
    Vector3 across;
    float foot = 0.0f; // along . p at the foot edge
    float top = 0.0f;  // along . p at the high end
    float side0 = 0.0f;
    float side1 = 0.0f;
    float z0 = 0.0f;
    float z1 = 0.0f;

    Vector3 at(float u, float s, float z) const { return along * u + across * s + Vector3{0.0f, 0.0f, z}; }
};

RampFrame rampFrame(const PlanShape& shape)
{
    const Vector3 low = corner(shape.low);
    const Vector3 high = corner(shape.high);
    RampFrame frame;
    const bool northSouth = shape.rises == Heading::north || shape.rises == Heading::south;
    const bool positive = shape.rises == Heading::north || shape.rises == Heading::east;
    frame.along = northSouth ? Vector3{0.0f, positive ? 1.0f : -1.0f, 0.0f} : Vector3{positive ? 1.0f : -1.0f, 0.0f, 0.0f};
    frame.across = northSouth ? Vector3{1.0f, 0.0f, 0.0f} : Vector3{0.0f, 1.0f, 0.0f};
    const float lowAlong = northSouth ? low.y : low.x;
    const float highAlong = northSouth ? high.y : high.x;
    frame.foot = positive ? lowAlong : -highAlong;
    frame.top = positive ? highAlong : -lowAlong;
    frame.side0 = northSouth ? low.x : low.y;
    frame.side1 = northSouth ? high.x : high.y;
    frame.z0 = low.z;
    frame.z1 = high.z;
    return frame;
}

std::vector<ShapePlane> boxPlanes(const PlanShape& shape)
{
    const Vector3 low = corner(shape.low);
    const Vector3 high = corner(shape.high);
    return {{{1, 0, 0}, high.x}, {{-1, 0, 0}, -low.x}, {{0, 1, 0}, high.y},
            {{0, -1, 0}, -low.y}, {{0, 0, 1}, high.z}, {{0, 0, -1}, -low.z}};
}

Geometry::Mapping mappingFor(Vector3 normal)
{
    Geometry::Mapping mapping;
    if (std::abs(normal.z) > 0.5f) {
        mapping.sAxis = {1.0f, 0.0f, 0.0f};
        mapping.tAxis = {0.0f, -1.0f, 0.0f};
    } else {
        mapping.sAxis = normalized(cross(normal * -1.0f, {0.0f, 0.0f, 1.0f}));
        mapping.tAxis = {0.0f, 0.0f, -1.0f};
    }
    return mapping;
}

void addQuad(const std::vector<Vector3>& corners, Vector3 normal, int texture, Geometry& geometry)
{
    geometry.addPolygon(corners, normal, texture, mappingFor(normal));
}

void addBoxFaces(const PlanShape& shape, int texture, Geometry& geometry)
{
    const Vector3 l = corner(shape.low);
    const Vector3 h = corner(shape.high);
    addQuad({{l.x, l.y, h.z}, {h.x, l.y, h.z}, {h.x, h.y, h.z}, {l.x, h.y, h.z}}, {0, 0, 1}, texture, geometry);
    if (l.z > 0.0f)
        addQuad({{l.x, l.y, l.z}, {h.x, l.y, l.z}, {h.x, h.y, l.z}, {l.x, h.y, l.z}}, {0, 0, -1}, texture, geometry);
    addQuad({{l.x, l.y, l.z}, {h.x, l.y, l.z}, {h.x, l.y, h.z}, {l.x, l.y, h.z}}, {0, -1, 0}, texture, geometry);
    addQuad({{l.x, h.y, l.z}, {h.x, h.y, l.z}, {h.x, h.y, h.z}, {l.x, h.y, h.z}}, {0, 1, 0}, texture, geometry);
    addQuad({{l.x, l.y, l.z}, {l.x, h.y, l.z}, {l.x, h.y, h.z}, {l.x, l.y, h.z}}, {-1, 0, 0}, texture, geometry);
    addQuad({{h.x, l.y, l.z}, {h.x, h.y, l.z}, {h.x, h.y, h.z}, {h.x, l.y, h.z}}, {1, 0, 0}, texture, geometry);
}

Vector3 slopeNormal(const RampFrame& r)
{
    // In the plane of `along` and up, the slope runs (top - foot, z1 - z0); out of it is
    // (-(z1 - z0), top - foot).
    return normalized(r.along * -(r.z1 - r.z0) + Vector3{0.0f, 0.0f, r.top - r.foot});
}

void addRampFaces(const RampFrame& r, int texture, Geometry& geometry)
{
    const Vector3 foot0 = r.at(r.foot, r.side0, r.z0);
    const Vector3 foot1 = r.at(r.foot, r.side1, r.z0);
    const Vector3 top0 = r.at(r.top, r.side0, r.z1);
    const Vector3 top1 = r.at(r.top, r.side1, r.z1);
    const Vector3 base0 = r.at(r.top, r.side0, r.z0);
    const Vector3 base1 = r.at(r.top, r.side1, r.z0);
    addQuad({foot0, foot1, top1, top0}, slopeNormal(r), texture, geometry);
    addQuad({base0, base1, top1, top0}, r.along, texture, geometry);
    addQuad({foot0, base0, top0}, r.across * -1.0f, texture, geometry);
    addQuad({foot1, base1, top1}, r.across, texture, geometry);
}

// A 3 x 3 control grid: rows from the foot to the top, the middle row at the foot's height, so
// the surface leaves the floor flat and steepens towards the top.
void addCurveFaces(const RampFrame& r, int texture, Geometry& geometry)
{
    const float middle = (r.foot + r.top) * 0.5f;
    const float rows[3][2] = {{r.foot, r.z0}, {middle, r.z0}, {r.top, r.z1}};
    const Geometry::Mapping mapping = mappingFor({0.0f, 0.0f, 1.0f});
    std::vector<VertexRecord> controls;
    for (const auto& [u, z] : rows) {
        for (int column = 0; column < 3; ++column) {
            VertexRecord v;
            v.position = r.at(u, r.side0 + (r.side1 - r.side0) * 0.5f * static_cast<float>(column), z);
            v.normal = {0.0f, 0.0f, 1.0f};
            v.texCoord[0] = dot(v.position, mapping.sAxis) / 128.0f;
            v.texCoord[1] = dot(v.position, mapping.tAxis) / 128.0f;
            controls.push_back(v);
        }
    }
    geometry.addPatch(controls, 3, 3, texture, {0.0f, 0.0f, 1.0f});
}

} // namespace

bool isTriggerShape(ShapeKind kind)
{
    return kind == ShapeKind::pad || kind == ShapeKind::teleporter || kind == ShapeKind::hurt
        || kind == ShapeKind::trigger;
}

bool isModelShape(ShapeKind kind)
{
    return isTriggerShape(kind) || kind == ShapeKind::button;
}

std::vector<ShapePlane> shapePlanes(const PlanShape& shape)
{
    if (shape.kind == ShapeKind::curve)
        return {};
    if (shape.kind != ShapeKind::ramp)
        return boxPlanes(shape);
    const RampFrame r = rampFrame(shape);
    const Vector3 slope = slopeNormal(r);
    std::vector<ShapePlane> planes = {{slope, dot(slope, r.at(r.foot, r.side0, r.z0))},
                                      {r.along, r.top},
                                      {{0, 0, -1}, -r.z0},
                                      {r.across, r.side1},
                                      {r.across * -1.0f, -r.side0},
                                      {{0, 0, 1}, r.z1},        // bevel along the top edge
                                      {r.along * -1.0f, -r.foot}}; // bevel along the foot edge
    return planes;
}

void addShapeFaces(const PlanShape& shape, int texture, Geometry& geometry)
{
    switch (shape.kind) {
    case ShapeKind::solid:
        addBoxFaces(shape, texture, geometry);
        break;
    case ShapeKind::ramp:
        addRampFaces(rampFrame(shape), texture, geometry);
        break;
    case ShapeKind::curve:
        addCurveFaces(rampFrame(shape), texture, geometry);
        break;
    case ShapeKind::water: {
        const Vector3 l = corner(shape.low);
        const Vector3 h = corner(shape.high);
        addQuad({{l.x, l.y, h.z}, {h.x, l.y, h.z}, {h.x, h.y, h.z}, {l.x, h.y, h.z}}, {0, 0, 1}, texture, geometry);
        break;
    }
    default:
        break;
    }
}
