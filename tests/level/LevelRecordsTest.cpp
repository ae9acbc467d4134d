#include "LevelWriter.h"

#include "level/Brush.h"
#include "level/BrushSide.h"
#include "level/DirectoryEntry.h"
#include "level/Face.h"
#include "level/Leaf.h"
#include "level/Model.h"
#include "level/Node.h"
#include "level/Plane.h"
#include "level/Vertex.h"
#include "level/VisData.h"

#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>

using namespace leveltest;

TEST(LevelRecordsTest, VertexTurnsZUpIntoYUpAndKeepsSurfaceData)
{
    LevelWriter writer;
    writer.addVertex({{1, 2, 3}, {0.5f, 0.25f}, {0.75f, 0.125f}, {0, 0, 1}, {1, 2, 3, 4}});
    const Vertex v(writer.lump(LevelFormat::Vertices).data());
    EXPECT_EQ(v.position[0], 1.0f);
    EXPECT_EQ(v.position[1], 3.0f);
    EXPECT_EQ(v.position[2], -2.0f);
    EXPECT_EQ(v.normal[0], 0.0f);
    EXPECT_EQ(v.normal[1], 1.0f);
    EXPECT_EQ(v.normal[2], -0.0f);
    EXPECT_EQ(v.texCoord[0], 0.5f);
    EXPECT_EQ(v.texCoord[1], 0.25f);
    EXPECT_EQ(v.lightmapCoord[0], 0.75f);
    EXPECT_EQ(v.lightmapCoord[1], 0.125f);
    EXPECT_EQ(v.color[0], 1);
    EXPECT_EQ(v.color[3], 4);
    // Vertex arrays walk the objects in place: the reals follow each other without gaps.
    EXPECT_EQ(&v.texCoord[0], &v.position[0] + 3);
    EXPECT_EQ(&v.normal[0], &v.position[0] + 7);
}

TEST(LevelRecordsTest, VertexArithmeticBlendsRealsAndKeepsTheLeftColour)
{
    const Vertex a(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, {1, 2, 3, 4});
    const Vertex b(10, 20, 30, 40, 50, 60, 70, 80, 90, 100, {9, 9, 9, 9});
    const Vertex scaled = a * 0.5f;
    EXPECT_EQ(scaled.position[2], 1.5f);
    EXPECT_EQ(scaled.lightmapCoord[1], 3.5f);
    EXPECT_EQ(scaled.normal[2], 5.0f);
    EXPECT_EQ(scaled.color[1], 2);
    const Vertex sum = a + b;
    EXPECT_EQ(sum.position[0], 11.0f);
    EXPECT_EQ(sum.texCoord[1], 55.0f);
    EXPECT_EQ(sum.normal[1], 99.0f);
    EXPECT_EQ(sum.color[0], 1);
    const Vertex zero;
    EXPECT_EQ(zero.position[1], 0.0f);
    EXPECT_EQ(zero.color[3], 0);
}

TEST(LevelRecordsTest, PlaneConvertsItsNormalButNotItsDistance)
{
    LevelWriter writer;
    writer.addPlane({0, 1, 0}, 64);
    const Plane plane(writer.lump(LevelFormat::Planes).data());
    EXPECT_EQ(plane.getNormal().getX(), 0.0f);
    EXPECT_EQ(plane.getNormal().getY(), 0.0f);
    EXPECT_EQ(plane.getNormal().getZ(), -1.0f);
    EXPECT_EQ(plane.getNormal().length(), 1.0f);
    EXPECT_EQ(plane.getDistance(), 64.0f);
}

TEST(LevelRecordsTest, BoxesAreConvertedCornerByCornerWithoutResorting)
{
    LevelWriter writer;
    writer.addLeaf(7, 3, 4, 5, 6, {-8, -16, -24}, {8, 16, 24}, 2);
    writer.addLeaf(0, 0, 0, 0, 0, {0, INT32_MIN, 0}, {0, INT32_MAX, 0});
    const unsigned char* leaves = writer.lump(LevelFormat::Leaves).data();
    const Leaf leaf(leaves);
    EXPECT_EQ(leaf.cluster, 7);
    EXPECT_EQ(leaf.area, 2);
    EXPECT_EQ(leaf.mins[0], -8);
    EXPECT_EQ(leaf.mins[1], -24);
    EXPECT_EQ(leaf.mins[2], 16);
    EXPECT_EQ(leaf.maxs[0], 8);
    EXPECT_EQ(leaf.maxs[1], 24);
    EXPECT_EQ(leaf.maxs[2], -16);
    EXPECT_EQ(leaf.firstLeafFace, 3);
    EXPECT_EQ(leaf.leafFaceCount, 4);
    EXPECT_EQ(leaf.firstLeafBrush, 5);
    EXPECT_EQ(leaf.leafBrushCount, 6);
    // The smallest int32 has no negation in int32: it saturates instead of overflowing.
    const Leaf extreme(leaves + Leaf::recordSize);
    EXPECT_EQ(extreme.mins[2], INT32_MAX);
    EXPECT_EQ(extreme.maxs[2], -INT32_MAX);

    writer.addNode(3, 5, -7, {1, 2, 3}, {4, 5, 6});
    const Node node(writer.lump(LevelFormat::Nodes).data());
    EXPECT_EQ(node.plane, 3);
    EXPECT_EQ(node.children[0], 5);
    EXPECT_EQ(node.children[1], -7);
    EXPECT_EQ(node.mins[1], 3);
    EXPECT_EQ(node.mins[2], -2);
    EXPECT_EQ(node.maxs[1], 6);
    EXPECT_EQ(node.maxs[2], -5);

    writer.addModel({1.5f, 2.5f, 3.5f}, {4, 5, 6}, 10, 11, 12, 13);
    const Model model(writer.lump(LevelFormat::Models).data());
    EXPECT_EQ(model.mins[1], 3.5f);
    EXPECT_EQ(model.mins[2], -2.5f);
    EXPECT_EQ(model.maxs[2], -5.0f);
    EXPECT_EQ(model.firstFace, 10);
    EXPECT_EQ(model.faceCount, 11);
    EXPECT_EQ(model.firstBrush, 12);
    EXPECT_EQ(model.brushCount, 13);
}

TEST(LevelRecordsTest, FaceKeepsLightmapAxesAndConvertsOnlyItsNormal)
{
    FaceRecord record;
    record.texture = 1;
    record.effect = 2;
    record.type = LevelFormat::Mesh;
    record.firstVertex = 4;
    record.vertexCount = 5;
    record.firstMeshVertex = 6;
    record.meshVertexCount = 7;
    record.lightmapIndex = 8;
    record.lightmapStart = {9, 10};
    record.lightmapSize = {11, 12};
    record.lightmapOrigin = {1, 2, 3};
    record.lightmapVectors = {Triple{4, 5, 6}, Triple{7, 8, 9}};
    record.normal = {0, 1, 0};
    record.patchSize = {13, 14};
    LevelWriter writer;
    writer.addFace(record);
    const Face face(writer.lump(LevelFormat::Faces).data());
    EXPECT_EQ(face.texture, 1);
    EXPECT_EQ(face.effect, 2);
    EXPECT_EQ(face.type, 3);
    EXPECT_EQ(face.firstVertex, 4);
    EXPECT_EQ(face.vertexCount, 5);
    EXPECT_EQ(face.firstMeshVertex, 6);
    EXPECT_EQ(face.meshVertexCount, 7);
    EXPECT_EQ(face.lightmapIndex, 8);
    EXPECT_EQ(face.lightmapStart[1], 10);
    EXPECT_EQ(face.lightmapSize[1], 12);
    EXPECT_EQ(face.lightmapOrigin[1], 2.0f);
    EXPECT_EQ(face.lightmapOrigin[2], 3.0f);
    EXPECT_EQ(face.lightmapVectors[0][1], 5.0f);
    EXPECT_EQ(face.lightmapVectors[1][2], 9.0f);
    EXPECT_EQ(face.normal[1], 0.0f);
    EXPECT_EQ(face.normal[2], -1.0f);
    EXPECT_EQ(face.patchSize[0], 13);
    EXPECT_EQ(face.patchSize[1], 14);
    EXPECT_TRUE(face.patches.empty());
}

TEST(LevelRecordsTest, SmallRecordsReadTheirFieldsInTableOrder)
{
    Bytes bytes;
    putInts(bytes, {3, 4, 5});
    const Brush brush(bytes.data());
    EXPECT_EQ(brush.firstSide, 3);
    EXPECT_EQ(brush.sideCount, 4);
    EXPECT_EQ(brush.texture, 5);
    const BrushSide side(bytes.data());
    EXPECT_EQ(side.plane, 3);
    EXPECT_EQ(side.texture, 4);
    const DirectoryEntry entry(bytes.data());
    EXPECT_EQ(entry.getOffset(), 3);
    EXPECT_EQ(entry.getLength(), 4);
}

TEST(LevelRecordsTest, VisDataCopiesItsBitsAndRefusesAHeaderThatDoesNotFit)
{
    Bytes lump;
    putInts(lump, {2, 3});
    lump.insert(lump.end(), {1, 2, 3, 4, 5, 6, 99});
    const VisData vis(lump.data(), lump.size());
    EXPECT_EQ(vis.clusterCount, 2);
    EXPECT_EQ(vis.bytesPerCluster, 3);
    EXPECT_EQ(vis.bits, (Bytes{1, 2, 3, 4, 5, 6}));
    EXPECT_THROW(VisData(lump.data(), 13), std::length_error);
    EXPECT_THROW(VisData(lump.data(), 7), std::length_error);
    overwriteInt(lump, 0, INT32_MAX);
    overwriteInt(lump, 4, INT32_MAX);
    EXPECT_THROW(VisData(lump.data(), lump.size()), std::length_error);
}
