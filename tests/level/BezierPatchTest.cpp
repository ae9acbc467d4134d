#include "level/BezierPatch.h"
#include "level/Face.h"

#include "PatchGrids.h"

#include <gtest/gtest.h>

using patchtest::raisedGrid;

namespace {


void expectSameReals(const Vertex& a, const Vertex& b)
{
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(a.position[i], b.position[i]);
        EXPECT_EQ(a.normal[i], b.normal[i]);
    }
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(a.texCoord[i], b.texCoord[i]);
        EXPECT_EQ(a.lightmapCoord[i], b.lightmapCoord[i]);
    }
}

} // namespace

TEST(BezierPatchTest, StartsUntessellatedAtLevelTwo)
{
    const BezierPatch patch(raisedGrid());
    EXPECT_EQ(patch.level, 2);
    EXPECT_EQ(patch.rowIndexCount, 6);
    EXPECT_TRUE(patch.vertices.empty());
    EXPECT_TRUE(patch.indices.empty());
    EXPECT_EQ(patch.controls[4].position[2], 16.0f);
}

TEST(BezierPatchTest, LevelTwoGivesNineVerticesAndTwoStripsOfSix)
{
    BezierPatch patch(raisedGrid());
    patch.tessellate(2);
    ASSERT_EQ(patch.vertices.size(), 9u);
    EXPECT_EQ(patch.indices, (std::vector<unsigned>{0, 3, 1, 4, 2, 5, 3, 6, 4, 7, 5, 8}));
    EXPECT_EQ(patch.rowIndexCount, 6);
    const Vertex& middle = patch.vertices[4]; // a = b = 1/2
    EXPECT_FLOAT_EQ(middle.position[0], 10.0f);
    EXPECT_FLOAT_EQ(middle.position[1], 10.0f);
    EXPECT_FLOAT_EQ(middle.position[2], 4.0f); // 16 x 1/2 x 1/2
    EXPECT_FLOAT_EQ(middle.texCoord[0], 0.5f);
    EXPECT_FLOAT_EQ(middle.lightmapCoord[1], 0.25f);
    const Vertex& edge = patch.vertices[1]; // i = 0, j = 1
    EXPECT_FLOAT_EQ(edge.position[0], 10.0f);
    EXPECT_FLOAT_EQ(edge.position[1], 0.0f);
    EXPECT_FLOAT_EQ(edge.position[2], 0.0f);
}

TEST(BezierPatchTest, LevelTenGivesTenStripsAcrossElevenRows)
{
    BezierPatch patch(raisedGrid());
    patch.tessellate(10);
    ASSERT_EQ(patch.vertices.size(), 121u);
    ASSERT_EQ(patch.indices.size(), 220u);
    EXPECT_EQ(patch.rowIndexCount, 22);
    EXPECT_EQ(patch.level, 10);
    for (unsigned r = 0; r < 10; ++r)
        for (unsigned k = 0; k <= 10; ++k) {
            EXPECT_EQ(patch.indices[22 * r + 2 * k], r * 11 + k);
            EXPECT_EQ(patch.indices[22 * r + 2 * k + 1], (r + 1) * 11 + k);
        }
    const Vertex& v = patch.vertices[3 * 11 + 7]; // a = 0.3 along rows, b = 0.7 along columns
    EXPECT_NEAR(v.position[0], 14.0f, 1e-4);
    EXPECT_NEAR(v.position[1], 6.0f, 1e-4);
    EXPECT_NEAR(v.position[2], 16.0f * 0.42f * 0.42f, 1e-4);
    EXPECT_NEAR(v.texCoord[0], 0.7f, 1e-6);
    EXPECT_NEAR(v.texCoord[1], 0.3f, 1e-6);
}

TEST(BezierPatchTest, CornersMatchTheirControlsAndColourAndNormalsAreNotBlendedAway)
{
    BezierPatch patch(raisedGrid());
    for (int level : {2, 7, 10}) {
        patch.tessellate(level);
        const std::size_t side = std::size_t(level) + 1;
        expectSameReals(patch.vertices[0], patch.controls[0]);
        expectSameReals(patch.vertices[side - 1], patch.controls[2]);
        expectSameReals(patch.vertices[side * (side - 1)], patch.controls[6]);
        expectSameReals(patch.vertices[side * side - 1], patch.controls[8]);
        for (const Vertex& v : patch.vertices) {
            EXPECT_EQ(v.color[0], 0); // controls[0]'s, although the others differ
            EXPECT_EQ(v.color[3], 200);
            EXPECT_NEAR(v.normal[1], 2.0f, 1e-5); // blended, not renormalised
        }
    }
}

TEST(BezierPatchTest, TessellatingAgainReplacesRatherThanAppends)
{
    BezierPatch patch(raisedGrid());
    patch.tessellate(10);
    const std::vector<unsigned> indices = patch.indices;
    patch.tessellate(10);
    EXPECT_EQ(patch.vertices.size(), 121u);
    EXPECT_EQ(patch.indices, indices);
    patch.tessellate(3);
    EXPECT_EQ(patch.vertices.size(), 16u);
    EXPECT_EQ(patch.indices.size(), 24u);
    EXPECT_EQ(patch.rowIndexCount, 8);
    const BezierPatch copy = patch;
    EXPECT_EQ(copy.vertices.size(), 16u);
    EXPECT_EQ(copy.level, 3);
}

TEST(BezierPatchTest, FaceCutsItsGridAndRefusesOneOutsideTheVertices)
{
    std::vector<Vertex> vertices;
    for (int i = 0; i < 15; ++i)
        vertices.emplace_back(float(i), 0, 0, 0, 0.25f, 0, 0, 0, 1, 0, std::array<unsigned char, 4>{});
    Face face;
    face.type = LevelFormat::Patch;
    face.vertexCount = 15;
    face.patchSize[0] = 5;
    face.patchSize[1] = 3;
    face.buildPatches(vertices);
    ASSERT_EQ(face.patches.size(), 2u);
    EXPECT_EQ(face.patches[1].controls[0].position[0], face.patches[0].controls[2].position[0]);
    vertices[0].position[0] = 99; // copies, not references
    EXPECT_EQ(face.patches[0].controls[0].position[0], 0.0f);

    Face outside = face;
    outside.patches.clear();
    outside.firstVertex = 1;
    EXPECT_THROW(outside.buildPatches(vertices), std::out_of_range);
    EXPECT_TRUE(outside.patches.empty());

    face.firstVertex = 12;
    face.vertexCount = 4;
    EXPECT_THROW(face.flipTexCoordT(vertices), std::out_of_range);
    face.vertexCount = 3;
    face.flipTexCoordT(vertices);
    EXPECT_EQ(vertices[14].texCoord[1], 0.75f);
    EXPECT_EQ(vertices[11].texCoord[1], 0.25f);
}
