#include "DesignedScene.h"

#include "render/BSPMap.h"
#include "render/DesignedLook.h"

#include <gtest/gtest.h>

using designedscene::addSquare;
using designedscene::DesignedScene;
using designedscene::finishLevel;
using designedscene::leftOfCentre;
using designedscene::middle;
using designedscene::near;
using designedscene::rightOfCentre;
using leveltest::LevelWriter;
using testsupport::readPixel;
using testsupport::Rgb;

namespace {

// A square with the material textures/square in front of a blue wall without a script, lit
// by a lightmap page that is red at the square and by white vertex colours at the wall.
struct StageCase {
    const char* name;
    const char* stages; // the body of the material textures/square
    float seconds;      // on the material clock
    Rgb left;           // expected a little left and right of the centre
    Rgb right;
    std::size_t draws;  // in the frame: the wall's one and one per pass of the square's
    std::array<unsigned char, 4> vertexColor = {255, 255, 255, 255};
};

const StageCase stageCases[] = {
    {"an added stage adds to the one before",
     "{ map textures/red.jpg }\n{ map textures/green.jpg\n blendFunc add }", 0, {220, 200, 0}, {220, 200, 0}, 3},
    {"an image times the lightmap is one pass with the lightmap on a second unit",
     "{ map textures/white.jpg }\n{ map $lightmap\n blendFunc filter }", 0, {255, 0, 0}, {255, 0, 0}, 2},
    {"the lightmap first, then an image multiplied onto it, is one pass too",
     "{ map $lightmap }\n{ map textures/green.jpg\n blendFunc GL_DST_COLOR GL_ZERO }", 0, {0, 0, 0}, {0, 0, 0}, 2},
    {"the lightmap then an added image is two passes",
     "{ map $lightmap }\n{ map textures/green.jpg\n blendFunc add }", 0, {255, 200, 0}, {255, 200, 0}, 3},
    {"a first stage that blends mixes with what is behind it",
     "{ map textures/red.jpg\n blendFunc blend\n alphaGen const 0.5 }", 0, {110, 0, 100}, {110, 0, 100}, 2},
    {"rgbGen const tints the image", "{ map textures/white.jpg\n rgbGen const ( 0 0.5 1 ) }", 0, {0, 128, 255},
     {0, 128, 255}, 2},
    {"$whiteimage takes a wave's colour at the clock's time",
     "{ map $whiteimage\n rgbGen wave square 0.5 0.25 0 1 }", 0.75f, {64, 64, 64}, {64, 64, 64}, 2},
    {"tcMod scroll at time 0", "{ map textures/halves.tga\n tcMod scroll 0.5 0 }", 0, {220, 0, 0}, {0, 200, 0}, 2},
    {"tcMod scroll half a repeat later", "{ map textures/halves.tga\n tcMod scroll 0.5 0 }", 1, {0, 200, 0},
     {220, 0, 0}, 2},
    {"animMap shows the frame of the clock's time", "{ animMap 2 textures/red.jpg textures/green.jpg }", 0.75f,
     {0, 200, 0}, {0, 200, 0}, 2},
    {"tcGen vector maps the world's x across the image",
     "{ map textures/halves.tga\n tcGen vector ( 0.0125 0 0 ) ( 0 0 0.0125 ) }", 0, {0, 200, 0}, {220, 0, 0}, 2},
    {"rgbGen vertex is the vertex colour brightened fourfold", "{ map textures/white.jpg\n rgbGen vertex }", 0,
     {0, 128, 0}, {0, 128, 0}, 2, {0, 32, 0, 255}},
    {"the vertex colours of faces worked out every frame are brightened fourfold too",
     "deformVertexes wave 100 sin 0 0 0 1\n{ map textures/white.jpg\n rgbGen vertex }", 0, {0, 128, 0}, {0, 128, 0}, 2,
     {0, 32, 0, 255}},
    {"rgbGen exactVertex is the vertex colour as stored", "{ map textures/white.jpg\n rgbGen exactVertex }", 0,
     {0, 64, 0}, {0, 64, 0}, 2, {0, 64, 0, 255}},
    {"alphaGen oneMinusVertex blends by the stored alpha",
     "{ map textures/red.jpg\n blendFunc blend\n alphaGen oneMinusVertex }", 0, {165, 0, 50}, {165, 0, 50}, 2,
     {255, 255, 255, 64}},
    {"deformVertexes move shifts the square to the right",
     "deformVertexes move 25 0 0 sawtooth 1 0 0 0\n{ map textures/red.jpg }", 0, {0, 0, 200}, {220, 0, 0}, 2},
    {"cull back hides the side that faces the eye", "cull back\n{ map textures/red.jpg }", 0, {0, 0, 200},
     {0, 0, 200}, 2},
    {"a later stage whose image is missing is left out",
     "{ map textures/red.jpg }\n{ map textures/absent.jpg\n blendFunc add }", 0, {220, 0, 0}, {220, 0, 0}, 2},
};

class MaterialStagesTest : public testing::TestWithParam<StageCase> {};

} // namespace

TEST_P(MaterialStagesTest, EveryStageIsDrawnAsItsMaterialSays)
{
    const StageCase& c = GetParam();
    DesignedScene files;
    files.image("textures/wall.jpg", {0, 0, 200});
    files.image("textures/red.jpg", {220, 0, 0});
    files.image("textures/green.jpg", {0, 200, 0});
    files.image("textures/white.jpg", {255, 255, 255});
    files.halves("textures/halves.tga", {220, 0, 0}, {0, 200, 0});
    files.directory.write("scripts/square.shader", std::string("textures/square\n{\n") + c.stages + "\n}\n");
    LevelWriter writer;
    writer.addTexture("textures/wall");
    writer.addTexture("textures/square");
    addSquare(writer, 0, 120.0f, 60.0f);
    addSquare(writer, 1, 100.0f, 20.0f, 0, c.vertexColor);
    // The page is red at 128 of its stored range: brought up, full red.
    testimages::Bytes& page = writer.lump(LevelFormat::Lightmaps);
    for (int texel = 0; texel < LevelFormat::lightmapSide * LevelFormat::lightmapSide; ++texel)
        page.insert(page.end(), {128, 0, 0});
    finishLevel(writer);
    files.open(writer, true);

    files.scene->frame(true, true);
    files.scene->frame(true, true, c.seconds);
    const Rgb left = readPixel(leftOfCentre, middle);
    const Rgb right = readPixel(rightOfCentre, middle);
    EXPECT_TRUE(near(left, c.left, 14)) << left.r << " " << left.g << " " << left.b;
    EXPECT_TRUE(near(right, c.right, 14)) << right.r << " " << right.g << " " << right.b;
    EXPECT_EQ(dynamic_cast<const DesignedLook&>(*files.scene->map->look).materialRenderer().drawCalls(), c.draws);
}

INSTANTIATE_TEST_SUITE_P(Stages, MaterialStagesTest, testing::ValuesIn(stageCases),
                         [](const testing::TestParamInfo<StageCase>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c != '\0'; ++c)
                                 if (std::isalnum(static_cast<unsigned char>(*c)))
                                     name += *c;
                             return name;
                         });
