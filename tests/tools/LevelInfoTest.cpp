#include "../level/StepRoom.h"
#include "DataSet.h"
#include "LevelBuilder.h"
#include "Plan.h"

#include "TestFiles.h"
#include "ViewerProcess.h"

#include "level/LevelLoader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

using testsupport::shellOutput;

namespace {
std::string run(const std::string& arguments)
{
    return shellOutput(std::string(LEVELINFO_PROGRAM) + " " + arguments + " 2>&1; echo \"exit $?\"");
}
} // namespace

TEST(LevelInfoTest, SummarisesTheDemoAsTheViewerLoadsIt)
{
    const std::string demo = testsupport::buildDir() + "/demo/demo.bsp";
    std::ifstream file(demo, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::ostringstream quiet;
    const LevelData level = parseLevel(demo, bytes, quiet);

    const std::string output = run(demo);
    EXPECT_NE(output.find("magic IBSP, version 46\n"), std::string::npos) << output;
    EXPECT_NE(output.find("nodes: " + std::to_string(level.nodes.size()) + ", leaves: "
                          + std::to_string(level.leaves.size())),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("faces: " + std::to_string(level.faces.size()) + " ("), std::string::npos) << output;
    EXPECT_NE(output.find("visibility: " + std::to_string(level.visData->clusterCount) + " clusters"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("texture " + level.textureNames.at(0) + "\n"), std::string::npos) << output;
    EXPECT_EQ(output.substr(output.size() - 6), "exit 0");
}

TEST(LevelInfoTest, ReportsWhyTheViewerWouldRefuseAFile)
{
    const std::string corpus = testsupport::sourceDir() + "/tests/data/malformed/";
    const std::string output = run(corpus + "node_plane_minus_one.bsp");
    EXPECT_EQ(output.rfind("levelinfo: " + corpus + "node_plane_minus_one.bsp: nodes[", 0), 0u) << output;
    EXPECT_EQ(output.substr(output.size() - 6), "exit 1");
    EXPECT_EQ(run(""), "usage: levelinfo [--data DIR] LEVEL_FILE [--movement | --entities [TEXT]]\n"
                       "       levelinfo --data DIR NAME [--materials | --movement | --entities [TEXT]]\nexit 2");
    EXPECT_EQ(run(testsupport::sourceDir()), "levelinfo: " + testsupport::sourceDir() + ": is a folder, not a level file\nexit 1");
}

// The archived demo: every image is inside demo.pk3; the material-only wall resolves through its
// script's stage (written .tga, stored .jpg); the cloud sky and the fog are surfaces never drawn
// with an image and need none, and the foliage is shown only by billboards, which are never
// drawn.
TEST(LevelInfoTest, SaysWhereEachTextureIsFoundUnderADataRoot)
{
    const std::string output = run("--data " + testsupport::buildDir() + "/demo-archive demo");
    for (const char* line : {"texture textures/verdanth/bricks: demo.pk3\n", "texture textures/demo/panelwall: demo.pk3\n",
                             "texture textures/demo/grate: demo.pk3\n",
                             "texture textures/demo/fog: sky, fog or nodraw surface, needs no image\n",
                             "texture textures/demo/clouds: sky, fog or nodraw surface, needs no image\n",
                             "texture textures/verdanth/foliage: no face shows it (demo.pk3)\n", "textures: all 16 found\n"})
        EXPECT_NE(output.find(line), std::string::npos) << line << "\n" << output;
    const std::string courtyard = run("--data " + testsupport::buildDir() + "/demo courtyard");
    EXPECT_NE(courtyard.find("texture textures/courtyard/sky: sky, fog or nodraw surface, needs no image\n"),
              std::string::npos)
        << "the far-box sky is drawn by its box, not an image of its own\n" << courtyard;
    const std::string materials = run("--data " + testsupport::buildDir() + "/demo demo --materials");
    EXPECT_NE(materials.find("; not drawn: 0 faces, 0 stages\n"), std::string::npos)
        << "the fogged water and lava draw their surfaces\n" << materials;
    EXPECT_EQ(run("--data " + testsupport::buildDir() + "/demo-archive nosuch"),
              "levelinfo: " + testsupport::buildDir() + "/demo-archive: no level nosuch, loose or in an archive\nexit 1");
}

// A generated level of six open cells (floors of tiles, ceilings of plaster, ten brick walls)
// and one grate, with a script read before the level's own that redefines the tiles and the
// grate (in that lump order) with keywords the viewer cannot show, and keywords only tools read.
TEST(LevelInfoTest, ListsWhatTheViewerSkipsOfTheLevelsMaterials)
{
    const testsupport::TempDir directory;
    const Plan plan = parsePlan("map\n#####\n#.G.#\n#.S.#\n#####\n", "small.plan");
    writeDataSet(plan, buildLevel(plan), directory.path());
    directory.write("scripts/aaa.shader",
                    "textures/small/grate\n{\n qer_editorimage textures/small/grate.tga\n q3map_surfacelight 100\n"
                    " tessSize 32\n surfaceparm metalsteps\n cull none\n {\n  videoMap intro.roq\n  rgbGen entity\n }\n}\n"
                    "textures/verdanth/TILES\n{\n {\n  map textures/verdanth/tiles.jpg\n  rgbGen Entity\n }\n}\n"
                    "textures/other/unused\n{\n portal\n}\n");
    EXPECT_EQ(run("--data " + directory.path() + " small --materials"),
              "skipped rgbGen Entity: 7 faces in 2 materials\n"
              "skipped videoMap: 1 faces in 1 materials\n"
              "not in any script: textures/verdanth/bricks (10 faces)\n"
              "not in any script: textures/verdanth/plaster (6 faces)\n"
              "materials: 4 used, 2 from scripts; skipped keywords touch 7 faces; not drawn: 0 faces, 0 stages\n"
              "exit 0");

    // The demo's own script asks nothing the viewer skips, and loses nothing; the options may
    // come before the level.
    const std::string demo = run("--materials --data " + testsupport::buildDir() + "/demo demo");
    EXPECT_NE(demo.find("\nmaterials: 20 used, 12 from scripts; skipped keywords touch 0 faces; not drawn: 0 faces, 0 "
                        "stages\nexit 0"),
              std::string::npos)
        << demo;
}

namespace {
// A 1x1 uncompressed true-colour TGA.
std::string onePixelTga()
{
    std::string header(18, '\0');
    header[2] = 2;
    header[12] = 1;
    header[14] = 1;
    header[16] = 24;
    return header + "\x40\x80\xc0";
}
} // namespace

// The step room with a texture record per way of losing what a material draws, and two records
// of one name, one flagged nodraw: each record is judged by its own flags and its material.
TEST(LevelInfoTest, CountsEveryFaceAndStageTheViewerDoesNotDraw)
{
    leveltest::LevelWriter writer = leveltest::stepRoom();
    const auto flat = [&](const char* name, int32_t flags, int count) {
        const int32_t texture = int32_t(writer.lump(LevelFormat::Textures).size() / (LevelFormat::textureNameSize + 8));
        writer.addTexture(name, flags);
        for (int i = 0; i < count; ++i)
            leveltest::addFlat(writer, texture, -100, 100, float(10 + i), true);
        return texture;
    };
    flat("textures/t/wall", 0, 1);
    flat("textures/t/wall", LevelFormat::surfaceNoDraw, 2);
    flat("textures/t/lava", 0, 1);
    flat("textures/t/glow", 0, 1);
    flat("textures/t/sky", LevelFormat::surfaceSky, 1);
    leveltest::FaceRecord billboard;
    billboard.texture = flat("textures/t/flare", 0, 0);
    billboard.type = LevelFormat::Billboard;
    writer.addFace(billboard);
    flat("textures/t/unused", 0, 0);

    const testsupport::TempDir dir;
    dir.write("maps/step.bsp", writer.bytes());
    for (const char* image : {"textures/t/wall.tga", "textures/t/lava.tga"})
        dir.write(image, onePixelTga());
    dir.write("scripts/t.shader",
              "textures/t/wall\n{\n {\n  map textures/t/wall.tga\n }\n}\n"
              "textures/t/lava\n{\n fogparms ( 1 0.2 0 ) 256\n {\n  map textures/t/lava.tga\n }\n}\n"
              "textures/t/glow\n{\n {\n  map textures/t/gone.tga\n }\n {\n  rgbGen identity\n }\n}\n"
              "textures/t/sky\n{\n skyParms - 512 -\n {\n  map $whiteimage\n  rgbGen const ( 0.14 0.17 0.23 )\n }\n"
              " {\n  map textures/t/clouds.tga\n  blendFunc add\n }\n}\n"
              "textures/t/flare\n{\n {\n  map textures/t/lava.tga\n }\n}\n"
              "textures/t/unused\n{\n fogparms ( 0 0 1 ) 100\n {\n  map textures/t/lava.tga\n }\n}\n");

    EXPECT_EQ(run("--data " + dir.path() + " step --materials"),
              "not drawn, texture record flagged nodraw, its material not: 2 faces of textures/t/wall\n"
              "not drawn, billboard faces, never drawn: 1 faces and 1 stages of textures/t/flare\n"
              "not drawn, no image, lightmap or white to show: 1 stages of textures/t/glow\n"
              "not drawn, image not found: 2 stages of textures/t/glow, textures/t/sky\n"
              "not in any script: textures/room/floor (5 faces)\n"
              "not in any script: textures/room/sky (1 faces)\n"
              "materials: 7 used, 5 from scripts; skipped keywords touch 0 faces; not drawn: 3 faces, 4 stages\n"
              "exit 0");
    const std::string textures = run("--data " + dir.path() + " step");
    EXPECT_NE(textures.find("texture textures/t/wall: loose\n"
                            "texture textures/t/wall: sky, fog or nodraw surface, needs no image\n"),
              std::string::npos)
        << textures;
}

// Each inline model with the entity that names it, its faces and that entity's origin; the
// title is the worldspawn's message.
TEST(LevelInfoTest, ListsTheTitleAndTheInlineModels)
{
    leveltest::LevelWriter writer = leveltest::stepRoom(
        "{ \"classname\" \"worldspawn\" \"message\" \"Step & <Room>\" }\n"
        "{ \"classname\" \"func_door\" \"model\" \"*1\" \"origin\" \"0 0 8\" }\n"
        "{ \"classname\" \"func_plat\" \"model\" \"*3\" }\n"
        "{ \"classname\" \"func_static\" \"model\" \"*04\" }\n"
        "{ \"classname\" \"func_bobbing\" \"model\" \"*99999999999\" }\n");
    writer.addModel({0, 0, 0}, {1, 1, 1}, 0, 0, 0, 0);
    writer.addModel({0, 0, 0}, {1, 1, 1}, 4, 9, 0, 0);
    writer.addModel({0, 0, 0}, {1, 1, 1}, 0, 2, 0, 0);
    testsupport::TempDir dir;
    const std::string level = dir.write("step.bsp", writer.bytes());
    const std::string output = run(level);
    const std::string expected = "entities: 5\n"
                                 "title: Step & <Room>\n"
                                 "inline models: 4\n"
                                 "model *1: func_door, 1 face, origin 0 0 8\n"
                                 "model *2: no entity, 0 faces\n"
                                 "model *3: func_plat, faces 4 + 9 outside the level's 6 faces\n"
                                 "model *4: func_static, 2 faces\n"
                                 "movers: 1\n"
                                 "mover *1 entity 1 (func_door): opens 52 units sideways at 100 units a second when approached, "
                                 "returns after 2.0 s\n";
    EXPECT_NE(output.find(expected), std::string::npos) << output;

    // The demo's movers, one line each: what moves, how far or fast, what sets it off.
    const std::string demo = run(testsupport::buildDir() + "/demo/demo.bsp");
    const std::string motions = "movers: 6\n"
        "mover *1 entity 6 (func_bobbing): bobs 24 units either way vertically, every 4.0 s, always\n"
        "mover *2 entity 7 (func_train): follows 4 path corners at 40 units a second, every 3.8 s, always\n"
        "mover *3 entity 12 (func_rotating): turns 100 degrees a second about z, always\n"
        "mover *4 entity 13 (func_door): opens 56 units sideways at 100 units a second when approached, returns after 2.0 s\n"
        "mover *5 entity 14 (func_plat): rises 32 units at 200 units a second when stood on, returns after 1.0 s\n"
        "mover *9 entity 22 (func_button): presses in 4 units when touched and fires \"relay9\", returns after 1.0 s\n";
    EXPECT_NE(demo.find(motions), std::string::npos) << demo;
}

// The walking plan's report, line by line: the pad's arc lands on its ledge and the teleporter's
// destination is clear, as the scripted walks of tests/game find them.
TEST(LevelInfoTest, ReportsWhatAWalkingPlayerMeetsOnTheWalkingPlan)
{
    const testsupport::TempDir directory;
    const std::string plan = testsupport::sourceDir() + "/demo/walk.plan";
    ASSERT_EQ(shellOutput(std::string(LEVELGEN_PROGRAM) + " " + plan + " " + directory.path() + " > /dev/null; echo $?"), "0");
    const std::string expected[] = {
        "start 1 info_player_deathmatch at (96 96 132): clear, falls 117 to the floor",
        "pad *1 to target1 (1120 560 200): from (1120 224 0), launch 729 u/s, apex (1120 560 200), lands at (1120 739 128) after 1.01 s",
        "teleporter *2 to target2 (1280 960 24) heading 270: clear, lands at (1280 957 0)",
        "trigger *5 (trigger_multiple) to target5 (480 860 160): from (480 992 0), launch 513 u/s, apex (480 860 160), "
        "lands at (480 728 0) after 1.16 s",
        "button *4 to target4 (320 800 160): from (320 992 8), launch 563 u/s, apex (320 799 160), lands at (320 604 0) "
        "after 1.15 s",
        "movement: 1 starts (0 in solid), 3 jump pads (0 blocked), 1 teleporters (0 blocked)",
    };
    std::string lines;
    for (const std::string& line : expected)
        lines += line + "\n";
    EXPECT_EQ(run(directory.path() + "walk.bsp --movement"), lines + "exit 0");
}

// --entities lists the entities whose keys or values hold the word after the level, in any case,
// each with its keys in file order, then the count; without a word, every entity; before the
// level, the option still lists, and with --movement it is refused.
TEST(LevelInfoTest, ListsTheEntitiesATextNames)
{
    const std::string demo = testsupport::buildDir() + "/demo/demo.bsp";
    EXPECT_EQ(run(demo + " --entities Train2_1"), "entity 8: path_corner\n"
                                                  "  \"classname\" \"path_corner\"\n"
                                                  "  \"targetname\" \"train2_0\"\n"
                                                  "  \"target\" \"train2_1\"\n"
                                                  "  \"origin\" \"1665 513 41\"\n"
                                                  "entity 9: path_corner\n"
                                                  "  \"classname\" \"path_corner\"\n"
                                                  "  \"targetname\" \"train2_1\"\n"
                                                  "  \"target\" \"train2_2\"\n"
                                                  "  \"origin\" \"1703 513 41\"\n"
                                                  "entities: 2 of 33 hold \"Train2_1\"\n"
                                                  "exit 0");
    const std::string all = run("--entities " + demo);
    EXPECT_EQ(all.rfind("entity 0: worldspawn\n", 0), 0u) << all;
    EXPECT_NE(all.find("entity 32: item_health\n"), std::string::npos) << all;
    EXPECT_EQ(all.substr(all.size() - 25), "entities: 33 of 33\nexit 0") << all;
    EXPECT_EQ(run(demo + " --entities nosuch"), "entities: 0 of 33 hold \"nosuch\"\nexit 0");
    EXPECT_EQ(run(demo + " --entities --movement"),
              "levelinfo: --entities lists instead of --materials and --movement, not with them\n"
              "Try 'levelinfo --help'\nexit 2");
}
