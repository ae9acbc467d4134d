#include "DesignedScene.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>


using leveltest::FaceRecord;
using leveltest::LevelWriter;
using leveltest::VertexRecord;
using testsupport::readPixel;
using testsupport::Rgb;
using testsupport::TempDir;

using designedscene::addSquare;
using designedscene::DesignedScene;
using designedscene::finishLevel;
using designedscene::leftOfCentre;
using designedscene::middle;
using designedscene::near;
using designedscene::rightOfCentre;

namespace {
// A fog volume of the material textures/fog (texture record 1): a box of six sides facing out,
// each a normal in the file's axes and its distance, as the level's brush number `brush` (after
// `brush` boxes of six sides each).
void addFogBox(LevelWriter& writer, const std::pair<leveltest::Triple, float> (&sides)[6], int32_t brush = 0)
{
    for (int32_t i = 0; i < 6; ++i) {
        writer.addPlane(sides[i].first, sides[i].second);
        writer.addBrushSide(1 + 6 * brush + i, 1);
    }
    writer.addBrush(6 * brush, 6, 1);
    writer.addEffect("textures/fog", brush, -1);
}
} // namespace

TEST(DesignedFrameTest, AWallShowsItsLightmapAtFourTimesItsStoredValueTimesTheBrightnessInTheDesignedFrameOnly)
{
    DesignedScene files;
    files.image("textures/wall.jpg", {255, 255, 255});
    LevelWriter writer;
    writer.addTexture("textures/wall");
    addSquare(writer, 0, 100.0f, 20.0f, 0, {32, 32, 32, 255});
    // One lightmap page, stored at a quarter of its light: 32 on its left half, 60 on its right.
    testimages::Bytes& page = writer.lump(LevelFormat::Lightmaps);
    for (int texel = 0; texel < LevelFormat::lightmapSide * LevelFormat::lightmapSide; ++texel) {
        const unsigned char level = texel % LevelFormat::lightmapSide < LevelFormat::lightmapSide / 2 ? 32 : 60;
        page.insert(page.end(), {level, level, level});
    }
    finishLevel(writer);

    files.open(writer, true);
    files.scene->frame(true, true);
    EXPECT_TRUE(near(readPixel(leftOfCentre, middle), {128, 128, 128}, 2)) << "a texel of 32 under a white image";
    EXPECT_TRUE(near(readPixel(rightOfCentre, middle), {240, 240, 240}, 2));

    files.scene->frame(false, true); // textures off: the neutral grey (160), still lit
    EXPECT_TRUE(near(readPixel(leftOfCentre, middle), {80, 80, 80}, 3));
    EXPECT_TRUE(near(readPixel(rightOfCentre, middle), {151, 151, 151}, 3));

    files.scene->viewer->pressKey('m'); // lightmaps off: the vertex colours (32) light it, as brightened
    files.scene->frame(true, true);
    EXPECT_TRUE(near(readPixel(leftOfCentre, middle), {128, 128, 128}, 2));
    EXPECT_TRUE(near(readPixel(rightOfCentre, middle), {128, 128, 128}, 2));

    files.open(writer, true, 0.5); // "brightness = 0.5" halves the light
    files.scene->frame(true, true);
    EXPECT_TRUE(near(readPixel(leftOfCentre, middle), {64, 64, 64}, 2));
    EXPECT_TRUE(near(readPixel(rightOfCentre, middle), {120, 120, 120}, 2));
    files.scene->viewer->pressKey('m');
    files.scene->frame(true, true);
    EXPECT_TRUE(near(readPixel(leftOfCentre, middle), {64, 64, 64}, 2)) << "vertex colours halved too";

    files.open(writer, false); // the plain frame knows no lightmap: one even wall
    files.scene->frame(true, false);
    EXPECT_TRUE(near(readPixel(leftOfCentre, middle), readPixel(rightOfCentre, middle), 4));
}

TEST(DesignedFrameTest, AFaceNamingAMissingLightmapIsDrawnWithItsVertexColoursAndSaidOnce)
{
    DesignedScene files;
    files.image("textures/wall.jpg", {255, 255, 255});
    LevelWriter writer;
    writer.addTexture("textures/wall");
    addSquare(writer, 0, 100.0f, 20.0f, 7); // the level has no lightmap at all
    addSquare(writer, 0, 120.0f, 60.0f, 7);
    finishLevel(writer);
    files.open(writer, true);
    EXPECT_NE(files.scene->transcript.find(": 2 faces name a lightmap the level does not have (first "
                                           "faces[0].lightmapIndex 7, of 0 lightmaps); they are drawn without one\n"),
              std::string::npos)
        << files.scene->transcript;
    files.scene->frame(true, true);
    const Rgb wall = readPixel(testsupport::contextWidth / 2, middle);
    EXPECT_GT(wall.r + wall.g + wall.b, 3 * 240) << "white image, white vertex colours";
}

TEST(DesignedFrameTest, AnAlphaTestedGrateShowsWhatIsBehindIt)
{
    DesignedScene files;
    files.image("textures/wall.jpg", {230, 20, 20});
    // 8 x 8, 32-bit: the left half transparent, the right half opaque blue.
    testimages::Bytes grate = testimages::tgaHeader(2, 8, 8, 32);
    for (int i = 0; i < 64; ++i)
        grate.insert(grate.end(), {230, 20, 20, static_cast<unsigned char>(i % 8 < 4 ? 0 : 255)}); // B, G, R, A
    files.directory.write("textures/grate.tga", grate);
    files.directory.write("scripts/test.shader",
                          "textures/grate\n{\n  cull none\n  {\n    map textures/grate.tga\n    alphaFunc GE128\n  }\n}\n");
    LevelWriter writer;
    writer.addTexture("textures/wall");
    writer.addTexture("textures/grate");
    addSquare(writer, 0, 100.0f, 40.0f);
    addSquare(writer, 1, 50.0f, 10.0f);
    finishLevel(writer);
    files.open(writer, true);
    files.scene->frame(true, true);
    const Rgb throughTheHoles = readPixel(leftOfCentre, middle);
    const Rgb bars = readPixel(rightOfCentre, middle);
    EXPECT_GT(throughTheHoles.r, 180);
    EXPECT_LT(throughTheHoles.b, 60);
    EXPECT_GT(bars.b, 180);
    EXPECT_LT(bars.r, 60);
}

TEST(DesignedFrameTest, ASkySurfaceShowsTheFarBoxAndIsNotDrawnItself)
{
    DesignedScene files;
    files.image("textures/sky.jpg", {255, 0, 255}); // drawn only if the sky face were drawn as a wall
    const struct {
        const char* side;
        std::initializer_list<unsigned char> rgb;
    } sides[] = {{"_ft", {200, 200, 0}}, {"_bk", {0, 0, 200}},  {"_lf", {20, 200, 40}},
                 {"_rt", {200, 0, 0}},   {"_up", {0, 200, 200}}, {"_dn", {90, 60, 30}}};
    for (const auto& side : sides)
        files.image(std::string("env/test") + side.side + ".jpg", side.rgb);
    files.directory.write("scripts/sky.shader", "textures/sky\n{\n  surfaceparm sky\n  skyParms env/test - -\n}\n");
    LevelWriter writer;
    writer.addTexture("textures/sky", LevelFormat::surfaceSky);
    addSquare(writer, 0, 100.0f, 40.0f);
    finishLevel(writer);
    files.open(writer, true);
    files.scene->frame(true, true);
    const Rgb ahead = readPixel(testsupport::contextWidth / 2, middle);
    EXPECT_TRUE(near(ahead, {20, 200, 40}, 12)) << ahead.r << " " << ahead.g << " " << ahead.b
                                                 << ": the side toward the file's +Y";
    files.scene->camera->turnRight(90); // now toward the file's +X
    files.scene->frame(true, true);
    const Rgb right = readPixel(testsupport::contextWidth / 2, middle);
    EXPECT_TRUE(near(right, {200, 200, 0}, 12)) << right.r << " " << right.g << " " << right.b;
}

// The sky above and below the horizon, past a sky face, for each kind of sky material; a small
// wall straight ahead stays as it is whatever the sky lays over the window. The near box's image
// ahead (env/hills_lf, its only side) is a dark band of hills below the horizon, transparent white
// above it.
TEST(DesignedFrameTest, TheSkyIsTheSkyMaterials)
{
    const Rgb farBox = {0, 0, 200};
    const Rgb hills = {30, 30, 30};
    const Rgb background = {26, 26, 26}; // the designed look's dark grey
    const struct {
        const char* name;
        const char* script; // the material textures/sky; none when empty
        Rgb above, below;
        bool stockSky; // the stock sky's image exists
    } cases[] = {
        {"two cloud layers, the second added",
         "skyParms - 128 -\n{ map textures/red.jpg }\n{ map textures/green.jpg\n blendFunc add }", {220, 200, 0},
         {220, 200, 0}, true},
        {"a cloud layer added over the far box", "skyParms env/test - -\n{ map textures/green.jpg\n blendFunc add }",
         {0, 200, 200}, {0, 200, 200}, true},
        {"a cloud layer tinted by its rgbGen", "skyParms - 512 -\n{ map textures/green.jpg\n rgbGen const ( 0 0.5 0 ) }",
         {0, 100, 0}, {0, 100, 0}, true},
        {"neither: the editor image", "qer_editorimage textures/red.jpg", {220, 0, 0}, {220, 0, 0}, true},
        {"no material: the stock sky", "", {200, 0, 200}, {200, 0, 200}, true},
        {"a near box over the far box", "skyParms env/test - env/hills", farBox, hills, true},
        {"a near box over a cloud layer", "skyParms - 128 env/hills\n{ map textures/green.jpg }", {0, 200, 0}, hills, true},
        {"a near box none of whose images exist", "skyParms env/test - env/none", farBox, farBox, true},
        {"a constant colour under an added layer, no far box image",
         "skyParms env/none 512 -\n{ map $whiteimage\n rgbGen const ( 0.14 0.17 0.23 ) }\n"
         "{ map textures/green.jpg\n blendFunc add\n rgbGen const ( 0 0.25 0 ) }",
         {36, 93, 59}, {36, 93, 59}, true},
        {"no sky image at all: the background", "", background, background, false},
    };
    const unsigned char hillsTexel[4] = {30, 30, 30, 255}, openTexel[4] = {255, 255, 255, 0}; // B, G, R, A
    testimages::Bytes hillsImage = testimages::tgaHeader(2, 8, 8, 32); // rows from the bottom up
    for (int texel = 0; texel < 64; ++texel) {
        const unsigned char* bgra = texel < 32 ? hillsTexel : openTexel;
        hillsImage.insert(hillsImage.end(), bgra, bgra + 4);
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DesignedScene files;
        files.image("textures/red.jpg", {220, 0, 0});
        files.image("textures/green.jpg", {0, 200, 0});
        files.image("textures/wall.jpg", {250, 250, 250});
        if (c.stockSky)
            files.image("textures/skies/intelredclouds.jpg", {200, 0, 200});
        for (const char* side : {"_ft", "_bk", "_lf", "_rt", "_up", "_dn"})
            files.image(std::string("env/test") + side + ".jpg", {0, 0, 200});
        files.directory.write("env/hills_lf.tga", hillsImage);
        if (*c.script != '\0')
            files.directory.write("scripts/sky.shader",
                                  std::string("textures/sky\n{\n  surfaceparm sky\n") + c.script + "\n}\n");
        LevelWriter writer;
        writer.addTexture("textures/sky", LevelFormat::surfaceSky);
        writer.addTexture("textures/wall");
        addSquare(writer, 0, 100.0f, 40.0f);
        addSquare(writer, 1, 50.0f, 3.0f);
        finishLevel(writer);
        files.open(writer, true);
        files.scene->frame(true, true);
        const int centre = testsupport::contextWidth / 2;
        const Rgb above = readPixel(centre, middle + 14);
        const Rgb below = readPixel(3, middle - 14); // clear of the gun and left of the status line's band
        const Rgb wall = readPixel(centre, middle);
        EXPECT_TRUE(near(above, c.above, 14)) << above.r << " " << above.g << " " << above.b;
        EXPECT_TRUE(near(below, c.below, 14)) << below.r << " " << below.g << " " << below.b;
        EXPECT_TRUE(near(wall, {250, 250, 250}, 14)) << wall.r << " " << wall.g << " " << wall.b;
    }
}

// A red wall 100 units ahead seen through a slab of fog of colour (0.2, 0.4, 1) filling the file's
// y from NEAR to FAR (two touching volumes of the fog where it is split). The ray ahead runs 60
// units inside the slab 20..80.
TEST(DesignedFrameTest, AWallSeenThroughFogFadesTowardItsColourWithTheLengthInside)
{
    const struct {
        const char* name;
        float nearSide, farSide, distance;
        Rgb ahead;
        float split; // 0: one volume
    } cases[] = {
        {"fog thicker than its distance hides the wall", 20, 80, 40, {51, 102, 255}, 0},
        {"60 units of 139 cover two thirds", 20, 80, 139, {106, 69, 173}, 0},
        {"two touching volumes of one fog are one fog", 20, 80, 139, {106, 69, 173}, 50},
        {"fog behind the wall leaves it as it is", 120, 180, 40, {220, 0, 0}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DesignedScene files;
        files.image("textures/wall.jpg", {220, 0, 0});
        files.directory.write("scripts/fog.shader", "textures/fog\n{\n  surfaceparm fog\n  fogparms ( 0.2 0.4 1 ) "
                                                        + std::to_string(c.distance) + "\n}\n");
        LevelWriter writer;
        writer.addTexture("textures/wall");
        writer.addTexture("textures/fog");
        addSquare(writer, 0, 100.0f, 40.0f);
        finishLevel(writer);
        const auto slab = [&writer](float nearSide, float farSide, int32_t brush) {
            const std::pair<leveltest::Triple, float> sides[] = {{{1, 0, 0}, 500},  {{-1, 0, 0}, 500},
                                                                 {{0, 1, 0}, farSide}, {{0, -1, 0}, -nearSide},
                                                                 {{0, 0, 1}, 500},  {{0, 0, -1}, 500}};
            addFogBox(writer, sides, brush);
        };
        if (c.split > 0) {
            slab(c.nearSide, c.split, 0);
            slab(c.split, c.farSide, 1);
        } else {
            slab(c.nearSide, c.farSide, 0);
        }
        files.open(writer, true);
        files.scene->frame(true, true);
        const Rgb ahead = readPixel(testsupport::contextWidth / 2, middle);
        EXPECT_TRUE(near(ahead, c.ahead, 8)) << ahead.r << " " << ahead.g << " " << ahead.b;
    }
}

// A green panel 90 units ahead, in front of a black wall, behind a slab of fog of colour
// (0.2, 0.4, 1) 60 units thick and opaque at 40: blended surfaces behind fog are fogged by
// their blend. An added panel fades out, a mixed one takes the fog's colour: the view shows the
// fog's colour alone either way (unfogged, they would show (51, 255, 255) and (25, 178, 127)).
TEST(DesignedFrameTest, BlendedSurfacesBehindFogAreFoggedAsTheirBlendAllows)
{
    for (const char* blend : {"blendFunc add", "blendFunc blend\n    alphaGen const 0.5"}) {
        SCOPED_TRACE(blend);
        DesignedScene files;
        files.image("textures/wall.jpg", {0, 0, 0});
        files.image("textures/green.jpg", {0, 255, 0});
        files.directory.write("scripts/fog.shader",
                              "textures/fog\n{\n  fogparms ( 0.2 0.4 1 ) 40\n}\n"
                              "textures/panel\n{\n  {\n    map textures/green.jpg\n    "
                                  + std::string(blend) + "\n  }\n}\n");
        LevelWriter writer;
        writer.addTexture("textures/wall");
        writer.addTexture("textures/fog");
        writer.addTexture("textures/panel");
        addSquare(writer, 0, 100.0f, 40.0f);
        addSquare(writer, 2, 90.0f, 30.0f);
        finishLevel(writer);
        const std::pair<leveltest::Triple, float> sides[] = {{{1, 0, 0}, 500}, {{-1, 0, 0}, 500}, {{0, 1, 0}, 80},
                                                             {{0, -1, 0}, -20}, {{0, 0, 1}, 500}, {{0, 0, -1}, 500}};
        addFogBox(writer, sides);
        files.open(writer, true);
        files.scene->frame(true, true);
        const Rgb ahead = readPixel(testsupport::contextWidth / 2, middle);
        EXPECT_TRUE(near(ahead, {51, 102, 255}, 8)) << ahead.r << " " << ahead.g << " " << ahead.b;
    }
}

// A white wall, the eye and the wall inside black fog opaque at 2500 units: the wall leans away
// toward one corner (20 to 780 units deep), so its two triangles' corners lie at unequal
// distances. Cut along either diagonal, the haze must be the same at every pixel: a haze
// interpolated from the corners differs by 9 levels near the wall's centre, a brightness step
// along the edge; one that follows the depth per pixel does not depend on where edges lie.
TEST(DesignedFrameTest, FogOnALargeFlatWallDoesNotShowWhereItsTrianglesMeet)
{
    const auto picture = [](std::initializer_list<int32_t> triangles) {
        DesignedScene files;
        files.image("textures/wall.jpg", {255, 255, 255});
        files.directory.write("scripts/fog.shader", "textures/fog\n{\n  surfaceparm fog\n  fogparms ( 0 0 0 ) 2500\n}\n");
        LevelWriter writer;
        writer.addTexture("textures/wall");
        writer.addTexture("textures/fog");
        const float corners[4][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}};
        for (const auto& corner : corners) {
            VertexRecord vertex;
            vertex.position = {corner[0] * 400.0f, 400.0f + 190.0f * (corner[0] + corner[1]), corner[1] * 400.0f};
            vertex.texCoord = {(corner[0] + 1) / 2, (1 - corner[1]) / 2};
            writer.addVertex(vertex);
        }
        for (int32_t index : triangles)
            writer.addMeshVertex(index);
        FaceRecord face;
        face.texture = 0;
        face.vertexCount = 4;
        face.meshVertexCount = 6;
        writer.addFace(face);
        finishLevel(writer);
        const std::pair<leveltest::Triple, float> sides[] = {{{1, 0, 0}, 1000}, {{-1, 0, 0}, 1000},
                                                             {{0, 1, 0}, 1000}, {{0, -1, 0}, 100},
                                                             {{0, 0, 1}, 1000}, {{0, 0, -1}, 1000}};
        addFogBox(writer, sides);
        files.open(writer, true);
        files.scene->frame(true, true);
        std::vector<int> reds;
        for (int y = middle; y < testsupport::contextHeight; ++y) // clear of the status line
            for (int x = 0; x < testsupport::contextWidth; ++x)
                reds.push_back(readPixel(x, y).r);
        return reds;
    };
    const std::vector<int> oneWay = picture({0, 1, 2, 0, 2, 3});
    const std::vector<int> otherWay = picture({0, 1, 3, 1, 2, 3});
    const auto [darkest, brightest] = std::minmax_element(oneWay.begin(), oneWay.end());
    EXPECT_GT(*brightest - *darkest, 30) << "no haze to judge";
    int step = 0;
    for (std::size_t i = 0; i < oneWay.size(); ++i)
        step = std::max(step, std::abs(oneWay[i] - otherWay[i]));
    EXPECT_LE(step, 2);
}

TEST(DesignedFrameTest, RecordsShowingOneImageShareItsTextureAndUnusedRecordsCostNothing)
{
    DesignedScene files;
    files.image("textures/wall.jpg", {250, 250, 250});
    files.image("textures/spare.jpg", {0, 250, 0});
    files.directory.write("scripts/alias.shader", "textures/alias\n{\n  {\n    map textures/wall.jpg\n  }\n}\n");
    LevelWriter writer;
    writer.addTexture("textures/wall");
    writer.addTexture("textures/WALL"); // another record, the same name in another case
    writer.addTexture("textures/alias");
    writer.addTexture("textures/spare");   // no face shows it: never looked up
    writer.addTexture("textures/missing"); // no face either: not counted as missing
    addSquare(writer, 0, 100.0f, 10.0f);
    addSquare(writer, 1, 110.0f, 20.0f);
    addSquare(writer, 2, 120.0f, 40.0f);
    finishLevel(writer);
    files.open(writer, true);

    const TextureManager& textures = *files.scene->map->textureManager;
    const GLuint shared = textures.textureId(0);
    EXPECT_NE(shared, 0u);
    EXPECT_EQ(textures.textureId(1), shared);
    EXPECT_EQ(textures.textureId(2), shared);
    EXPECT_FALSE(textures.isTextureLoaded(3)) << "an image no face shows is never decoded";
    EXPECT_EQ(files.scene->viewer->textureReport()->summaryLine("drawn grey", 5), "textures: all 3 found");
    files.scene->frame(true, true);
    EXPECT_GT(readPixel(testsupport::contextWidth / 2, middle).g, 200);
}

// A scrolling square behind the wall (hidden: its pixels fail the depth test) asks for no more
// frames, though it stands in the view's leaf and frustum; before the wall it keeps them coming.
TEST(DesignedFrameTest, AnAnimatedFaceAnimatesTheViewOnlyWhereItIsSeen)
{
    for (const bool hidden : {true, false}) {
        SCOPED_TRACE(hidden ? "behind the wall" : "before it");
        DesignedScene files;
        files.image("textures/wall.jpg", {0, 0, 200});
        files.image("textures/red.jpg", {220, 0, 0});
        files.directory.write("scripts/square.shader", "textures/square\n{\n{ map textures/red.jpg\n tcMod scroll 1 0 }\n}\n");
        LevelWriter writer;
        writer.addTexture("textures/wall");
        writer.addTexture("textures/square");
        addSquare(writer, 0, 120.0f, 60.0f);
        addSquare(writer, 1, hidden ? 140.0f : 100.0f, 20.0f);
        finishLevel(writer);
        files.open(writer, true);
        files.scene->frame(true, true);
        files.scene->frame(true, true, 0.1f);
        EXPECT_EQ(files.scene->map->look->movesWithTime(), !hidden);
    }
}
