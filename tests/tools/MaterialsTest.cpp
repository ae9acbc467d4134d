#include "LevelBytes.h"
#include "ToolsFixtures.h"

#include "DataSet.h"
#include "LevelBuilder.h"
#include "Materials.h"
#include "Plan.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <zip.h>

// The demo's material script against the files of its data set, loose and archived.
namespace {

std::string lowered(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Block names and, per block, the lines inside it (comments dropped, keywords lowered).
std::map<std::string, std::vector<std::string>> parseScript(const std::string& text)
{
    std::map<std::string, std::vector<std::string>> blocks;
    std::istringstream lines(text);
    std::string line;
    std::string current;
    std::string candidate;
    int depth = 0;
    while (std::getline(lines, line)) {
        line = line.substr(0, line.find("//"));
        std::istringstream words(line);
        std::string word;
        std::vector<std::string> tokens;
        while (words >> word)
            tokens.push_back(word);
        if (tokens.empty())
            continue;
        if (tokens[0] == "{") {
            if (depth++ == 0)
                current = candidate;
        } else if (tokens[0] == "}") {
            --depth;
        } else if (depth == 0) {
            candidate = tokens[0];
        } else {
            std::string normal = lowered(tokens[0]);
            for (size_t i = 1; i < tokens.size(); ++i)
                normal += " " + tokens[i];
            blocks[current].push_back(normal);
        }
    }
    EXPECT_EQ(depth, 0);
    return blocks;
}

// The value of the first line of a block that starts with `keyword`, or "".
std::string valueOf(const std::vector<std::string>& lines, const std::string& keyword)
{
    for (const std::string& line : lines) {
        // The lightmap's stage names no picture.
        if (line.rfind(keyword + " ", 0) == 0 && line != "map $lightmap")
            return line.substr(keyword.size() + 1);
    }
    return "";
}

std::set<std::string> archiveNames(const std::string& path)
{
    std::set<std::string> names;
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
    if (!archive)
        return names;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i)
        names.insert(zip_get_name(archive, static_cast<zip_uint64_t>(i), 0));
    zip_close(archive);
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
    std::set<std::string> looseNames;
    for (const auto& item : std::filesystem::recursive_directory_iterator(loose))
        looseNames.insert(std::filesystem::relative(item.path(), loose).generic_string());
    const std::set<std::string> packedNames = archiveNames(directory.path() + "packed/demo.pk3");

    ASSERT_TRUE(looseNames.count("scripts/demo.shader"));
    ASSERT_TRUE(packedNames.count("scripts/demo.shader"));
    const auto blocks = parseScript(toolstest::readText(loose + "scripts/demo.shader"));
    const auto block = [&blocks](const std::string& name) {
        EXPECT_TRUE(blocks.count(name)) << name;
        return blocks.count(name) ? blocks.at(name) : std::vector<std::string>{};
    };
    const auto grate = block("textures/demo/grate");
    const auto panel = block("textures/demo/panel");
    const auto sky = block("textures/demo/sky");
    const auto nodraw = block("textures/demo/nodraw");
    const auto wall = block("textures/demo/panelwall");
    EXPECT_EQ(valueOf(grate, "alphafunc"), "GE128");
    EXPECT_EQ(valueOf(grate, "cull"), "none");
    EXPECT_EQ(valueOf(panel, "blendfunc"), "add");
    EXPECT_EQ(valueOf(sky, "surfaceparm"), "sky");
    EXPECT_EQ(valueOf(sky, "skyparms"), "env/demo/sky - -");
    EXPECT_EQ(valueOf(nodraw, "surfaceparm"), "nodraw");

    // Pictures named by stages and the editor line exist in both forms; the wall's stage
    // names a .tga of which only the .jpg exists, and the sky's far box has all six sides.
    std::vector<std::string> pictures = {valueOf(grate, "map"), valueOf(panel, "map"), valueOf(nodraw, "map"),
                                         valueOf(wall, "qer_editorimage")};
    for (const char* side : {"_rt", "_lf", "_bk", "_ft", "_up", "_dn"})
        pictures.push_back("env/demo/sky" + std::string(side) + ".jpg");
    const std::string wallStage = valueOf(wall, "map");
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
