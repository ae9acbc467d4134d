#include "LevelWriter.h"

#include "level/FogVolume.h"
#include "level/LevelLoader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

using namespace leveltest;

namespace {

// The small level with a second brush, a file-axes box x 0..64, y 0..32, z 0..16 (Y up: x 0..64,
// y 0..16, z -32..0) whose sides face out, top side last; brush 0 of the small level has one side.
LevelWriter levelWithFogBox()
{
    LevelWriter writer = smallLevel();
    const int32_t firstPlane = int32_t(writer.lump(LevelFormat::Planes).size() / LevelFormat::planeRecordSize);
    const int32_t firstSide = int32_t(writer.lump(LevelFormat::BrushSides).size() / LevelFormat::brushSideRecordSize);
    const std::pair<Triple, float> sides[] = {{{1, 0, 0}, 64}, {{-1, 0, 0}, 0}, {{0, 1, 0}, 32}, {{0, -1, 0}, 0},
        {{0, 0, -1}, 0}, {{0, 0, 1}, 16}};
    for (int32_t i = 0; i < 6; ++i) {
        writer.addPlane(sides[i].first, sides[i].second);
        writer.addBrushSide(firstPlane + i, 0);
    }
    writer.addBrush(firstSide, 6, 0);
    return writer;
}

// Face 0 of the small level is the quad; face 1 the patch.
void setFaceEffect(LevelWriter& writer, int face, int32_t effect)
{
    overwriteInt(writer.lump(LevelFormat::Faces), std::size_t(face) * LevelFormat::faceRecordSize + 4, effect);
}

LevelData load(const LevelWriter& writer, std::string* transcript = nullptr)
{
    std::ostringstream log;
    LevelData level = parseLevel("level.bsp", writer.bytes(), log);
    if (transcript)
        *transcript = log.str();
    return level;
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

} // namespace

TEST(FogVolumeTest, EffectsAreReadWithoutATranscriptLineAndTheirFacesKeepThem)
{
    LevelWriter writer = levelWithFogBox();
    writer.addEffect("textures/fog/pit", 1, 5);
    setFaceEffect(writer, 0, 0);
    std::string transcript;
    const LevelData level = load(writer, &transcript);
    EXPECT_EQ(transcript.find("effect"), std::string::npos) << transcript;
    EXPECT_TRUE(level.notices.empty()) << joined(level.notices);
    ASSERT_EQ(level.effects.size(), 1u);
    EXPECT_EQ(level.effects[0].material, "textures/fog/pit");
    EXPECT_EQ(level.faces[0].effect, 0);
    EXPECT_EQ(level.faces[1].effect, -1);

    const std::vector<FogVolume> volumes = FogVolume::allOf(level);
    ASSERT_EQ(volumes.size(), 1u);
    EXPECT_EQ(volumes[0].material, "textures/fog/pit");
    EXPECT_EQ(volumes[0].planes.size(), 6u);
    EXPECT_EQ(volumes[0].visibleSide, 5);
    EXPECT_EQ(volumes[0].planes[5].normal.getY(), 1.0f) << "the top side faces up, Y up";
    EXPECT_EQ(volumes[0].mins, (std::array<float, 3>{0, 0, -32}));
    EXPECT_EQ(volumes[0].maxs, (std::array<float, 3>{64, 16, 0}));
}

TEST(FogVolumeTest, ABadEffectOrFaceIndexIsDroppedWithALineAndTheLevelGoesOn)
{
    struct Case {
        const char* name;
        std::vector<std::pair<int32_t, int32_t>> effects; // brush, visible side
        std::vector<int32_t> faceEffects;                // faces 0 and 1
        std::vector<int32_t> keptBrushes;                // after the load, -1 where dropped
        std::vector<int32_t> faceEffectsAfter;
        std::string notices;
    };
    const Case cases[] = {
        {"valid", {{1, -1}, {1, 0}}, {1, 0}, {1, 1}, {1, 0}, ""},
        {"brush past the end", {{2, 0}, {1, 0}}, {0, 1}, {-1, 1}, {-1, 1},
         "level.bsp: effects[0].brush 2 is not an index into 2 brushes; the fog is dropped\n"},
        {"negative brush", {{-5, 0}}, {-1, 0}, {-1}, {-1, -1},
         "level.bsp: effects[0].brush -5 is not an index into 2 brushes; the fog is dropped\n"},
        {"visible side past the brush", {{1, 6}}, {0, -1}, {-1}, {-1, -1},
         "level.bsp: effects[0].visibleSide 6 is not one of brushes[1]'s 6 sides; the fog is dropped\n"},
        {"faces naming effects the level lacks", {{1, 0}}, {3, -2}, {1}, {-1, -1},
         "level.bsp: 2 faces name an effect the level does not have (first faces[0].effect 3, of 1 effects); "
         "they are drawn without one\n"},
        {"no effects at all", {}, {0, -1}, {}, {-1, -1},
         "level.bsp: 1 faces name an effect the level does not have (first faces[0].effect 0, of 0 effects); "
         "they are drawn without one\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LevelWriter writer = levelWithFogBox();
        for (const auto& [brush, side] : c.effects)
            writer.addEffect("textures/fog/pit", brush, side);
        setFaceEffect(writer, 0, c.faceEffects[0]);
        setFaceEffect(writer, 1, c.faceEffects[1]);
        const LevelData level = load(writer);
        EXPECT_EQ(joined(level.notices), c.notices);
        std::vector<int32_t> brushes;
        for (const Effect& effect : level.effects)
            brushes.push_back(effect.brush);
        EXPECT_EQ(brushes, c.keptBrushes);
        EXPECT_EQ((std::vector<int32_t>{level.faces[0].effect, level.faces[1].effect}), c.faceEffectsAfter);
        EXPECT_EQ(FogVolume::allOf(level).size(), std::size_t(std::count_if(
                                                      brushes.begin(), brushes.end(), [](int32_t b) { return b >= 0; })));
    }
}

TEST(FogVolumeTest, ABrushThatCannotBoundAFogIsDropped)
{
    struct Case {
        const char* name;
        std::array<int32_t, 3> brush; // first side, side count, texture
        int32_t planeOfFirstSide;
        std::string notice;
    };
    const Case cases[] = {
        {"sides past the end", {1, 7, 0}, 1, "effects[0] names brushes[2], whose sides 1 + 7 are not within 7 brush sides"},
        {"no sides", {1, 0, 0}, 1, "effects[0] names brushes[2], whose sides 1 + 0 are not within 7 brush sides"},
        {"too many sides", {0, 65, 0}, 1, "effects[0] names brushes[2], whose 65 sides are more than a fog volume may have (64)"},
        {"a side naming no plane", {1, 6, 0}, 99, "effects[0] names brushes[2], whose side 0 names plane 99 of 7 planes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LevelWriter writer = levelWithFogBox();
        writer.addBrush(c.brush[0], c.brush[1], c.brush[2]);
        overwriteInt(writer.lump(LevelFormat::BrushSides), LevelFormat::brushSideRecordSize, c.planeOfFirstSide);
        writer.addEffect("textures/fog/pit", 2, -1);
        const LevelData level = load(writer);
        EXPECT_EQ(joined(level.notices), "level.bsp: " + c.notice + "; the fog is dropped\n");
        EXPECT_TRUE(FogVolume::allOf(level).empty());
    }
}

TEST(FogVolumeTest, ManyEffectsAreCappedWithOneLineForTheRest)
{
    LevelWriter writer = levelWithFogBox();
    for (int i = 0; i < 1030; ++i)
        writer.addEffect("fog", i < 1020 ? 1 : 9, -1);
    const LevelData level = load(writer);
    EXPECT_EQ(level.effects.size(), 1030u);
    EXPECT_EQ(FogVolume::allOf(level).size(), 1020u);
    ASSERT_EQ(level.notices.size(), 5u); // four bad records, then the cap
    EXPECT_EQ(level.notices.back(), "level.bsp: 1030 effects, more than 1024 fog volumes; the rest are dropped");
}

// The box x 0..64, y 0..16, z -32..0 (Y up).
TEST(FogVolumeTest, TheLengthOfASegmentInsideTheBox)
{
    const std::vector<FogVolume> volumes = FogVolume::allOf([] {
        LevelWriter writer = levelWithFogBox();
        writer.addEffect("fog", 1, -1);
        return load(writer);
    }());
    ASSERT_EQ(volumes.size(), 1u);
    const FogVolume& fog = volumes[0];
    struct Case {
        const char* name;
        std::array<float, 3> from, to;
        float length;
    };
    const Case cases[] = {
        {"wholly inside", {10, 5, -10}, {20, 5, -10}, 10},
        {"wholly outside", {-10, 5, -10}, {-1, 5, -10}, 0},
        {"through, along x", {-100, 8, -16}, {100, 8, -16}, 64},
        {"from inside out through the top", {32, 8, -16}, {32, 40, -16}, 8},
        {"from above down in", {32, 40, -16}, {32, 4, -16}, 12},
        {"diagonal in through a side", {-8, 8, -24}, {8, 8, -8}, 8 * std::sqrt(2.0f)},
        {"passing beside it", {-10, 20, -10}, {100, 20, -10}, 0},
        {"a point", {1, 1, -1}, {1, 1, -1}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(fog.lengthInside(c.from, c.to), c.length, 1e-4f);
    }
    EXPECT_TRUE(fog.contains({1, 1, -1}));
    EXPECT_FALSE(fog.contains({1, 17, -1}));
}
