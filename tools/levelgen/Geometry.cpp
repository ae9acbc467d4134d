#include "Geometry.h"

#include "level/LevelFormat.h"

#include <cmath>

Vector3 operator+(Vector3 a, Vector3 b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

Vector3 operator-(Vector3 a, Vector3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vector3 operator*(Vector3 a, float f)
{
    return {a.x * f, a.y * f, a.z * f};
}

float dot(Vector3 a, Vector3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vector3 cross(Vector3 a, Vector3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vector3 normalized(Vector3 v)
{
    const float length = std::sqrt(dot(v, v));
    return length > 0.0f ? v * (1.0f / length) : v;
}

FaceRecord& Geometry::beginFace(int type, int texture, Vector3 normal)
{
    FaceRecord face;
    face.type = type;
    face.texture = texture;
    face.normal = normal;
    face.firstVertex = static_cast<int32_t>(level.vertices.size());
    face.firstMeshVertex = static_cast<int32_t>(level.meshVertices.size());
    level.faces.push_back(face);
    return level.faces.back();
}

VertexRecord Geometry::makeVertex(Vector3 position, Vector3 normal, const Mapping& mapping) const
{
    VertexRecord vertex;
    vertex.position = position;
    vertex.normal = normal;
    vertex.texCoord[0] = dot(position, mapping.sAxis) / textureScale + mapping.sOffset;
    vertex.texCoord[1] = dot(position, mapping.tAxis) / textureScale + mapping.tOffset;
    return vertex;
}

void Geometry::addPolygon(const std::vector<Vector3>& corners, Vector3 normal, int texture, const Mapping& mapping)
{
    FaceRecord& face = beginFace(LevelFormat::Polygon, texture, normal);
    for (const Vector3& corner : corners)
        level.vertices.push_back(makeVertex(corner, normal, mapping));
    // Counter-clockwise seen from the front means the fan's cross product points along
    // the normal; then the fan is emitted the other way round.
    const bool counterClockwise = dot(cross(corners[1] - corners[0], corners[2] - corners[0]), normal) > 0.0f;
    for (size_t i = 1; i + 1 < corners.size(); ++i) {
        level.meshVertices.push_back(0);
        level.meshVertices.push_back(static_cast<int32_t>(counterClockwise ? i + 1 : i));
        level.meshVertices.push_back(static_cast<int32_t>(counterClockwise ? i : i + 1));
    }
    face.vertexCount = static_cast<int32_t>(corners.size());
    face.meshVertexCount = static_cast<int32_t>(level.meshVertices.size()) - face.firstMeshVertex;
}

void Geometry::addWall(Vector3 a, Vector3 b, float height, Vector3 normal, int texture)
{
    const Vector3 up{0.0f, 0.0f, 1.0f};
    // Seen from the open side the viewer looks along -normal; its right hand points
    // along -normal x up, so s runs left to right and the picture is not mirrored.
    Mapping mapping;
    mapping.sAxis = cross(normal * -1.0f, up);
    mapping.tAxis = {0.0f, 0.0f, -1.0f};
    mapping.tOffset = height / textureScale; // the picture's top row at the ceiling
    addPolygon({a, b, b + up * height, a + up * height}, normal, texture, mapping);
}

void Geometry::addMesh(const std::vector<Triangle>& triangles, int texture)
{
    FaceRecord& face = beginFace(LevelFormat::Mesh, texture, {0.0f, 0.0f, 1.0f});
    for (const Triangle& triangle : triangles) {
        Vector3 normal = normalized(cross(triangle.corners[1] - triangle.corners[0],
                                          triangle.corners[2] - triangle.corners[0]));
        const bool counterClockwise = dot(normal, triangle.outward) > 0.0f;
        if (!counterClockwise)
            normal = normal * -1.0f;
        Mapping mapping;
        mapping.sAxis = std::abs(normal.z) > 0.9f ? Vector3{1.0f, 0.0f, 0.0f}
                                                  : normalized(cross(normal * -1.0f, {0.0f, 0.0f, 1.0f}));
        mapping.tAxis = std::abs(normal.z) > 0.9f ? Vector3{0.0f, 1.0f, 0.0f} : Vector3{0.0f, 0.0f, -1.0f};
        const int32_t base = static_cast<int32_t>(level.vertices.size()) - face.firstVertex;
        for (const Vector3& corner : triangle.corners)
            level.vertices.push_back(makeVertex(corner, normal, mapping));
        level.meshVertices.push_back(base);
        level.meshVertices.push_back(counterClockwise ? base + 2 : base + 1);
        level.meshVertices.push_back(counterClockwise ? base + 1 : base + 2);
    }
    face.vertexCount = static_cast<int32_t>(level.vertices.size()) - face.firstVertex;
    face.meshVertexCount = static_cast<int32_t>(level.meshVertices.size()) - face.firstMeshVertex;
}

void Geometry::addPatch(const std::vector<VertexRecord>& controls, int width, int height, int texture,
                        Vector3 normal)
{
    FaceRecord& face = beginFace(LevelFormat::Patch, texture, normal);
    level.vertices.insert(level.vertices.end(), controls.begin(), controls.end());
    face.vertexCount = width * height;
    face.patchSize = {width, height};
}

void Geometry::addBillboard(const std::vector<Vector3>& corners, Vector3 normal, int texture)
{
    Mapping mapping;
    mapping.sAxis = cross(normal * -1.0f, {0.0f, 0.0f, 1.0f});
    mapping.tAxis = {0.0f, 0.0f, -1.0f};
    addPolygon(corners, normal, texture, mapping);
    level.faces.back().type = LevelFormat::Billboard;
}
