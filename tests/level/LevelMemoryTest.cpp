#include "LevelWriter.h"

#include "../../fuzz/HeapPeak.h"

#include "level/BezierPatch.h"
#include "level/LevelFormatError.h"
#include "level/LevelLoader.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

// Loading a level must peak at no more than four times its file size plus 16 MiB: the file
// itself, its fixed-size records and the patches cut from its grids. Each case is a level
// built to make one kind of array as large as a file of its size allows.

using namespace leveltest;

namespace {

constexpr std::size_t mebibyte = std::size_t(1) << 20;

struct Load {
    std::size_t peak = 0;
    std::string refusal; // empty when the level loaded
};

// The file's own bytes count: the map holds them, read in one piece, while it parses.
Load measure(const Bytes& bytes)
{
    Load load;
    {
        const HeapPeak heap;
        std::ostringstream log;
        try {
            parseLevel("big.bsp", bytes, log);
        } catch (const LevelFormatError& error) {
            load.refusal = error.what();
        }
        load.peak = heap.bytes();
    }
    load.peak += bytes.size();
    return load;
}

// The small level's tree and textures, so that only the added records decide the size.
LevelWriter withVertices(int count)
{
    LevelWriter level = smallLevel();
    for (int i = 0; i < count; ++i) {
        VertexRecord v;
        v.position = {float(i % 1000), float(i / 1000), 0.0f};
        level.addVertex(v);
    }
    return level;
}

LevelWriter withGrid(int side)
{
    LevelWriter level = withVertices(side * side);
    FaceRecord grid;
    grid.type = LevelFormat::Patch;
    grid.firstVertex = 13; // after the small level's own vertices
    grid.vertexCount = side * side;
    grid.patchSize = {side, side};
    level.addFace(grid);
    return level;
}

void expectWithinBound(const std::string& name, const LevelWriter& writer, const std::string& refusalPart)
{
    const Bytes bytes = writer.bytes();
    const std::size_t fileSize = bytes.size();
    const Load load = measure(bytes);
    const std::size_t bound = 4 * fileSize + 16 * mebibyte;
    std::cout << name << ": file " << fileSize << " bytes, peak " << load.peak << " bytes ("
              << double(load.peak) / double(fileSize) << " x file), bound " << bound << "\n";
    EXPECT_LE(load.peak, bound) << name;
    if (refusalPart.empty())
        EXPECT_EQ(load.refusal, "") << name;
    else
        EXPECT_NE(load.refusal.find(refusalPart), std::string::npos) << name << ": " << load.refusal;
}

} // namespace

TEST(LevelMemoryTest, LoadingPeaksWithinFourTimesTheFileSizePlus16MiB)
{
    if (!HeapPeak::available())
        GTEST_SKIP() << "heap peaks are counted through AddressSanitizer's allocator hooks";

    // The most patches the grid rule allows, each copying nine control vertices: refused.
    expectWithinBound("one 739 x 739 grid", withGrid(739), "bytes of patches");
    // A large grid whose patches fit the file's budget loads.
    expectWithinBound("one 289 x 289 grid", withGrid(289), "");

    // Records that grow most in memory: brushes and brush sides take twice their file size.
    LevelWriter brushes = smallLevel();
    for (int i = 0; i < 1000000; ++i) {
        brushes.addBrush(0, 1, 0);
        brushes.addBrushSide(0, 0);
    }
    expectWithinBound("a million brushes and sides", brushes, "");

    // Full-length texture names each need a heap block beside their record.
    LevelWriter textures = smallLevel();
    for (int i = 0; i < 200000; ++i)
        textures.addTexture(std::string(63, 'a') + std::to_string(i % 10));
    expectWithinBound("200000 long texture names", textures, "");

    // Every lump over the same bytes would decode the file once per lump: refused up front.
    LevelWriter overlapping = withVertices(400000);
    const auto offsets = overlapping.offsets();
    for (int lump : {LevelFormat::Planes, LevelFormat::Nodes, LevelFormat::Leaves, LevelFormat::Brushes,
                     LevelFormat::BrushSides, LevelFormat::MeshVertices, LevelFormat::Faces})
        overlapping.directoryOverride[std::size_t(lump)] =
            std::array<int32_t, 2>{offsets[LevelFormat::Vertices], int32_t(overlapping.lumps[LevelFormat::Vertices].size())};
    expectWithinBound("seven lumps over the vertices", overlapping, "overlaps");
}

TEST(LevelMemoryTest, PatchBudgetMessageNamesTheNumbers)
{
    const LevelWriter level = withGrid(739);
    std::ostringstream log;
    const Bytes bytes = level.bytes();
    try {
        parseLevel("big.bsp", bytes, log);
        FAIL() << "accepted";
    } catch (const LevelFormatError& error) {
        const std::size_t patches = 369 * 369;
        EXPECT_EQ(std::string(error.what()),
            "big.bsp: faces[2] brings the patch count to " + std::to_string(patches + 1) + ", needing "
                + std::to_string((patches + 1) * sizeof(BezierPatch)) + " bytes of patches; a "
                + std::to_string(bytes.size()) + "-byte file allows " + std::to_string(bytes.size() + 8 * mebibyte));
    }
}
