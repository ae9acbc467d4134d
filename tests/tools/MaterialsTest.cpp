#include "LevelBytes.h"
#include "ToolsFixtures.h"

#include "DataSet.h"
#include "LevelBuilder.h"
#include "Plan.h"

#include "TestFiles.h"

#include "files/Archive.h"
#include "level/MaterialLibrary.h"
#include "level/MaterialScript.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

// The demo's material script against the files of its data set, loose and archived.
namespace {

// The script read through the viewer's own reader; a material the script lacks fails the test.
const Material& materialNamed(const MaterialLibrary& library, const std::string& name)
{
    static const Material none;
    const Material* found = library.find(name);
    EXPECT_NE(found, nullptr) << name;
    return found ? *found : none;
}

// The picture of a material's first image stage, "" when it has none.
std::string pictureOf(const Material& material)
{
    const Material::Stage* stage = material.firstImageStage();
    return stage ? stage->image : "";
}

// The entries of an archive, through the viewer's own reader.
std::set<std::string> archiveNames(const std::string& path)
{
    std::ostringstream log;
    const Archive archive(path, log);
    EXPECT_TRUE(archive.opened()) << log.str();
    std::set<std::string> names;
    for (const auto& [key, entry] : archive.entries())
        names.insert(entry.name);
    return names;
}

TEST(MaterialsTest, TheDemoScriptNamesItsSurfacesAndEveryPictureItNeedsIsInTheDataSet)
{
    const Plan plan = toolstest::demoPlan();
    const Level level = buildLevel(plan);
    testsupport::TempDir directory;
    writeDataSet(plan, level, directory.path() + "loose");
    writeArchivedDataSet(plan, level, directory.path() + "packed");
    const std::string loose = directory.path() + "loose/";
    const std::set<std::string> looseNames = toolstest::filesBelow(loose);
    const std::set<std::string> packedNames = archiveNames(directory.path() + "packed/demo.pk3");

    ASSERT_TRUE(looseNames.count("scripts/demo.shader"));
    ASSERT_TRUE(packedNames.count("scripts/demo.shader"));
    std::ostringstream log;
    MaterialLibrary library;
    library.add(MaterialScript::parse(toolstest::readText(loose + "scripts/demo.shader"), "demo.shader", log));
    EXPECT_EQ(log.str(), "");
    const Material& grate = materialNamed(library, "textures/demo/grate");
    const Material& panel = materialNamed(library, "textures/demo/panel");
    const Material& sky = materialNamed(library, "textures/demo/sky");
    const Material& nodraw = materialNamed(library, "textures/demo/nodraw");
    const Material& wall = materialNamed(library, "textures/demo/panelwall");
    ASSERT_NE(grate.firstImageStage(), nullptr);
    EXPECT_EQ(grate.firstImageStage()->alphaFunction, AlphaFunction::greaterOrEqualTo128);
    EXPECT_TRUE(grate.twoSided());
    ASSERT_NE(panel.firstImageStage(), nullptr);
    EXPECT_TRUE(panel.firstImageStage()->blend.blends);
    EXPECT_EQ(panel.firstImageStage()->blend.sourceFactor, BlendFactor::one);
    EXPECT_EQ(panel.firstImageStage()->blend.destinationFactor, BlendFactor::one);
    EXPECT_TRUE(sky.sky);
    EXPECT_EQ(sky.skyFarBox, "env/demo/sky");
    EXPECT_TRUE(nodraw.nodraw);

    // Pictures named by stages and the editor line exist in both forms; the wall's stage
    // names a .tga of which only the .jpg exists, and the sky's far box has all six sides.
    std::vector<std::string> pictures = {pictureOf(grate), pictureOf(panel), pictureOf(nodraw), wall.editorImage};
    for (const char* side : {"_rt", "_lf", "_bk", "_ft", "_up", "_dn"})
        pictures.push_back("env/demo/sky" + std::string(side) + ".jpg");
    const std::string wallStage = pictureOf(wall);
    ASSERT_EQ(wallStage, "textures/demo/bricks_variant.tga");
    pictures.push_back("textures/demo/bricks_variant.jpg");
    for (const std::string& picture : pictures) {
        EXPECT_TRUE(looseNames.count(picture)) << picture;
        EXPECT_TRUE(packedNames.count(picture)) << picture;
    }
    // Names that must not have pictures of their own, so that a viewer takes the script's.
    for (const std::string& absent : {wallStage, std::string("textures/demo/sky.jpg"),
                                      std::string("textures/demo/sky.tga"), std::string("textures/demo/panelwall.jpg"),
                                      std::string("textures/demo/panelwall.tga")}) {
        EXPECT_FALSE(looseNames.count(absent)) << absent;
        EXPECT_FALSE(packedNames.count(absent)) << absent;
    }
    // The never-drawn screen keeps a loud picture under its own name, drawn if flags are ignored.
    EXPECT_TRUE(looseNames.count("textures/demo/nodraw.jpg"));

    // The grate's alpha is all or nothing: 255 on the bars, 0 in the holes.
    const std::vector<uint8_t> tga = toolstest::readBytes(loose + "textures/demo/grate.tga");
    ASSERT_GT(tga.size(), 18u);
    ASSERT_EQ(tga[16], 32); // bits per pixel: with alpha
    std::map<int, int> alphas;
    for (size_t i = 18 + 3; i < tga.size(); i += 4)
        ++alphas[tga[i]];
    EXPECT_EQ(alphas.size(), 2u);
    EXPECT_GT(alphas[0], 0);
    EXPECT_GT(alphas[255], 0);

    // The level's texture records carry the surface flags the script's keywords stand for.
    const std::vector<uint8_t> bytes = toolstest::readBytes(loose + "demo.bsp");
    std::map<std::string, int32_t> flags;
    for (size_t i = 0; i < static_cast<size_t>(toolstest::lumpAt(bytes, 1).length) / 72; ++i)
        flags[toolstest::textureNameAt(bytes, i)] = toolstest::textureFlagsAt(bytes, i);
    EXPECT_EQ(flags.at("textures/demo/sky"), 0x4);
    EXPECT_EQ(flags.at("textures/demo/nodraw"), 0x80);
    for (const char* plain : {"textures/demo/grate", "textures/demo/panel", "textures/demo/panelwall"})
        EXPECT_EQ(flags.at(plain), 0) << plain;
}

} // namespace
