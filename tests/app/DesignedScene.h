#pragma once

// Small levels for the designed frame's picture tests: squares facing the eye at the origin,
// in one leaf that sees itself, with images and scripts in a data root of their own, opened
// by a viewer built as start-up builds it.

#include "../image/TestImages.h"
#include "../level/LevelWriter.h"

#include "GLContext.h"
#include "TestFiles.h"
#include "ViewerScene.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace designedscene {

using leveltest::FaceRecord;
using leveltest::LevelWriter;
using leveltest::VertexRecord;
using testsupport::Rgb;

constexpr int middle = testsupport::contextHeight / 2;
constexpr int leftOfCentre = 22; // both inside a 40-unit wall 100 units ahead
constexpr int rightOfCentre = 42;

// A square facing the eye at the origin, `distance` ahead along world -Z (file +Y), `half`
// units either way; texture and lightmap coordinates run 0..1 from its left to its right.
inline void addSquare(LevelWriter& writer, int32_t texture, float distance, float half, int32_t lightmap = -1,
                      std::array<unsigned char, 4> color = {255, 255, 255, 255})
{
    const int32_t firstVertex = int32_t(writer.lump(LevelFormat::Vertices).size() / 44);
    const int32_t firstMesh = int32_t(writer.lump(LevelFormat::MeshVertices).size() / 4);
    const float corners[4][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}};
    for (const auto& corner : corners) {
        VertexRecord vertex;
        vertex.position = {corner[0] * half, distance, corner[1] * half};
        vertex.texCoord = {(corner[0] + 1) / 2, (1 - corner[1]) / 2};
        vertex.lightmapCoord = vertex.texCoord;
        vertex.normal = {0.0f, -1.0f, 0.0f};
        vertex.color = color;
        writer.addVertex(vertex);
    }
    for (int32_t index : {0, 1, 2, 0, 2, 3})
        writer.addMeshVertex(index);
    FaceRecord face;
    face.texture = texture;
    face.firstVertex = firstVertex;
    face.vertexCount = 4;
    face.firstMeshVertex = firstMesh;
    face.meshVertexCount = 6;
    face.lightmapIndex = lightmap;
    writer.addFace(face);
}

// Every face in one leaf that the eye's leaf sees.
inline void finishLevel(LevelWriter& writer)
{
    writer.addPlane({0.0f, 0.0f, 1.0f}, -1000.0f);
    writer.addNode(0, -1, -2, {-500, -500, -500}, {500, 500, 500});
    const int32_t faces = int32_t(writer.lump(LevelFormat::Faces).size() / LevelFormat::faceRecordSize);
    writer.addLeaf(0, 0, faces, 0, 0, {-500, -500, -500}, {500, 500, 500});
    writer.addLeaf(0, 0, faces, 0, 0, {-500, -500, -500}, {500, 500, 500});
    for (int32_t face = 0; face < faces; ++face)
        writer.addLeafFace(face);
}

inline testimages::Bytes solid(int side, std::initializer_list<unsigned char> texel)
{
    testimages::Bytes pixels;
    for (int i = 0; i < side * side; ++i)
        pixels.insert(pixels.end(), texel);
    return pixels;
}

// A data root holding the level, its images and scripts, and a viewer on it.
struct DesignedScene {
    testsupport::TempDir directory;
    std::unique_ptr<testsupport::ViewerScene> scene;

    void image(const std::string& name, std::initializer_list<unsigned char> rgb)
    {
        std::filesystem::create_directories(std::filesystem::path(directory.path() + name).parent_path());
        testimages::writeJpeg(directory.path() + name, 8, 8, 3, JCS_RGB, solid(8, rgb));
    }

    // 8 x 8, exact: the left half `left`, the right half `right`.
    void halves(const std::string& name, std::array<unsigned char, 3> left, std::array<unsigned char, 3> right)
    {
        testimages::Bytes tga = testimages::tgaHeader(2, 8, 8, 24);
        for (int i = 0; i < 64; ++i) {
            const auto& rgb = i % 8 < 4 ? left : right;
            tga.insert(tga.end(), {rgb[2], rgb[1], rgb[0]});
        }
        std::filesystem::create_directories(std::filesystem::path(directory.path() + name).parent_path());
        directory.write(name, tga);
    }

    void open(const LevelWriter& writer, bool designed, std::optional<double> brightness = std::nullopt)
    {
        directory.write("level.bsp", writer.bytes());
        directory.write("level.lights", "1 a b 0 1 0 1 1 1\n");
        scene = std::make_unique<testsupport::ViewerScene>(directory.path(), directory.path() + "level.bsp",
                                                           directory.path() + "level.lights", Point(0, 0, 0), designed,
                                                           brightness);
    }
};

inline bool near(const Rgb& a, const Rgb& b, int tolerance)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

} // namespace designedscene
