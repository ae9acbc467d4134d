#include "LevelBytes.h"
#include "ToolsFixtures.h"

#include "DataSet.h"
#include "LevelBuilder.h"
#include "Plan.h"

#include "TestFiles.h"

#include "files/Archive.h"
#include "image/DecodedImage.h"
#include "level/MaterialLibrary.h"
#include "level/MaterialScript.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
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
    EXPECT_EQ(flags.at("textures/demo/clouds"), 0x4); // the demo's sky: "sky clouds"
    EXPECT_EQ(flags.count("textures/demo/sky"), 0u);
    EXPECT_EQ(flags.at("textures/demo/nodraw"), 0x80);
    for (const char* plain : {"textures/demo/grate", "textures/demo/panel", "textures/demo/panelwall"})
        EXPECT_EQ(flags.at(plain), 0) << plain;
}

// Every image a stage shows, animation frames included.
std::vector<std::string> stageImages(const Material& material)
{
    std::vector<std::string> images;
    for (const Material::Stage& stage : material.stages) {
        if (!stage.image.empty())
            images.push_back(stage.image);
        for (std::size_t i = 1; i < stage.animationFrames.size(); ++i)
            images.push_back(stage.animationFrames[i]);
    }
    return images;
}

std::vector<TexCoordModKind> modKinds(const Material::Stage& stage)
{
    std::vector<TexCoordModKind> kinds;
    for (const Material::TexCoordMod& mod : stage.tcMods)
        kinds.push_back(mod.kind);
    return kinds;
}

// The demo's moving materials as the viewer reads them: each says what its surface needs, the
// viewer skips none of their keywords, and every picture they show is in the data set.
TEST(MaterialsTest, TheDemosMovingMaterialsSayWhatTheirSurfacesNeed)
{
    const Plan plan = toolstest::demoPlan();
    testsupport::TempDir directory;
    writeDataSet(plan, buildLevel(plan), directory.path());
    const std::set<std::string> files = toolstest::filesBelow(directory.path());
    std::ostringstream log;
    MaterialLibrary library;
    library.add(MaterialScript::parse(toolstest::readText(directory.path() + "scripts/demo.shader"), "demo.shader", log));
    ASSERT_EQ(log.str(), "");

    const Material& water = materialNamed(library, "textures/demo/water");
    ASSERT_EQ(water.stages.size(), 2u);
    const std::vector<TexCoordModKind> swayThenDrift = {TexCoordModKind::turbulence, TexCoordModKind::scroll};
    for (const Material::Stage& stage : water.stages) {
        EXPECT_TRUE(stage.blend.blends);
        EXPECT_EQ(modKinds(stage), swayThenDrift);
    }
    EXPECT_TRUE(water.translucent && water.noLightmap);

    const Material& lava = materialNamed(library, "textures/demo/lava");
    EXPECT_TRUE(lava.noLightmap);
    ASSERT_EQ(lava.stages.size(), 1u);
    EXPECT_EQ(lava.stages[0].rgbGen, ColorSource::wave);

    const Material& pulse = materialNamed(library, "textures/demo/pulsepanel");
    ASSERT_EQ(pulse.stages.size(), 2u);
    EXPECT_FALSE(pulse.stages[0].blend.blends);
    EXPECT_EQ(pulse.stages[1].blend.sourceFactor, BlendFactor::one);
    EXPECT_EQ(pulse.stages[1].blend.destinationFactor, BlendFactor::one);
    EXPECT_EQ(pulse.stages[1].rgbGen, ColorSource::wave);

    const Material& chrome = materialNamed(library, "textures/demo/chrome");
    ASSERT_EQ(chrome.stages.size(), 1u);
    EXPECT_EQ(chrome.stages[0].tcGen, TexCoordSource::environment);

    const Material& sign = materialNamed(library, "textures/demo/sign");
    ASSERT_EQ(sign.stages.size(), 1u);
    EXPECT_EQ(sign.stages[0].animationFrames.size(), 4u);
    EXPECT_EQ(sign.stages[0].animationFrequency, 1.0f);

    const Material& flame = materialNamed(library, "textures/demo/flame");
    ASSERT_EQ(flame.deforms.size(), 1u);
    EXPECT_EQ(flame.deforms[0].kind, DeformKind::autosprite);
    ASSERT_EQ(flame.stages.size(), 1u);
    EXPECT_TRUE(flame.stages[0].blend.blends);

    const Material& fog = materialNamed(library, "textures/demo/fog");
    EXPECT_TRUE(fog.fog);
    EXPECT_EQ(fog.fogDistance, 160.0f);
    EXPECT_TRUE(fog.stages.empty());

    const Material& clouds = materialNamed(library, "textures/demo/clouds");
    EXPECT_TRUE(clouds.sky);
    EXPECT_EQ(clouds.skyFarBox, "");
    EXPECT_EQ(clouds.skyCloudHeight, 256.0f);
    ASSERT_EQ(clouds.stages.size(), 2u);
    EXPECT_TRUE(clouds.stages[1].blend.blends);
    for (const Material::Stage& stage : clouds.stages)
        EXPECT_EQ(modKinds(stage).back(), TexCoordModKind::scroll);

    for (const Material* material : {&water, &lava, &pulse, &chrome, &sign, &flame, &fog, &clouds}) {
        EXPECT_EQ(material->skipped, std::vector<std::string>{}) << material->name;
        for (const std::string& image : stageImages(*material))
            EXPECT_TRUE(files.count(image)) << material->name << ": " << image;
    }
}

TEST(MaterialsTest, ThePlansSkySettingChoosesTheSkyMaterial)
{
    const std::string grid = "map\n#####\n#*.*#\n#.S.#\n#####\n";
    for (const auto& [setting, shown, absent] :
         {std::tuple<std::string, std::string, std::string>{"", "textures/p/sky", "textures/p/clouds"},
          {"sky farbox\n", "textures/p/sky", "textures/p/clouds"},
          {"sky clouds\n", "textures/p/clouds", "textures/p/sky"},
          {"sky dusk\n", "textures/p/dusk", "textures/p/sky"}}) {
        SCOPED_TRACE(setting);
        const Level level = buildLevel(parsePlan(setting + grid, "p.plan"));
        std::set<std::string> names;
        for (const TextureRecord& texture : level.textures)
            names.insert(texture.name);
        EXPECT_TRUE(names.count(shown));
        EXPECT_FALSE(names.count(absent));
    }
}

// The plan's "nearbox" names a near box on whichever sky it has, with its four sides around the
// horizon, read back by the viewer's own readers: each opaque from just above the horizon down,
// transparent at the top, and its ridge meeting the next side's at their shared edge.
TEST(MaterialsTest, ThePlansNearBoxIsNamedByTheSkyAndItsHillsStandOnTheHorizon)
{
    const std::string grid = "map\n#####\n#*.*#\n#.S.#\n#####\n";
    for (const auto& [setting, skyName, nearBox] :
         {std::tuple<std::string, std::string, std::string>{"sky farbox nearbox\n", "textures/p/sky", "env/p/hills"},
          {"sky clouds nearbox\n", "textures/p/clouds", "env/p/hills"},
          {"sky clouds\n", "textures/p/clouds", ""}}) {
        SCOPED_TRACE(setting);
        const Plan plan = parsePlan(setting + grid, "p.plan");
        const testsupport::TempDir directory;
        writeDataSet(plan, buildLevel(plan), directory.path());
        std::ostringstream log;
        MaterialLibrary library;
        library.add(MaterialScript::parse(toolstest::readText(directory.path() + "scripts/p.shader"), "p.shader", log));
        EXPECT_EQ(log.str(), "");
        EXPECT_EQ(materialNamed(library, skyName).skyNearBox, nearBox);
        const std::set<std::string> names = toolstest::filesBelow(directory.path());
        EXPECT_FALSE(names.count("env/p/hills_up.tga"));
        if (nearBox.empty()) {
            EXPECT_FALSE(names.count("env/p/hills_ft.tga"));
            continue;
        }
        // Sides in order round the horizon: each one's right edge meets the next one's left.
        std::vector<std::vector<int>> ridges; // each side's first opaque row, column by column
        for (const char* side : {"_ft", "_rt", "_bk", "_lf"}) {
            const DecodedImage hills(toolstest::readBytes(directory.path() + nearBox + side + ".tga"),
                                     DecodedImage::FileType::tga);
            ASSERT_TRUE(hills.isLoaded()) << side << ": " << hills.getError();
            ASSERT_EQ(hills.getFormat(), formatRGBA) << side;
            const auto alpha = [&](uint32_t x, uint32_t y) {
                return hills.getData()[(y * hills.getWidth() + x) * 4 + 3];
            };
            std::vector<int> ridge;
            for (uint32_t x = 0; x < hills.getWidth(); ++x) {
                EXPECT_EQ(alpha(x, 0), 0) << side << " " << x << ": the sky above the hills shows";
                EXPECT_EQ(alpha(x, hills.getHeight() / 2 - 1), 255) << side << " " << x << ": hills all round";
                EXPECT_EQ(alpha(x, hills.getHeight() - 1), 255) << side << " " << x;
                uint32_t row = 0;
                while (alpha(x, row) < 128)
                    ++row;
                ridge.push_back(int(row));
            }
            ridges.push_back(ridge);
        }
        for (std::size_t i = 0; i < ridges.size(); ++i)
            EXPECT_NEAR(ridges[i].back(), ridges[(i + 1) % ridges.size()].front(), 2) << "seam after side " << i;
    }
}

} // namespace
