#include "ToolsFixtures.h"

#include "DataSet.h"
#include "LevelBuilder.h"
#include "Plan.h"
#include "ZipArchive.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <stdexcept>
#include <string>

#include <zip.h>

// Archived data sets, read back with libzip's reader.
namespace {

struct ArchiveEntry {
    std::vector<uint8_t> bytes;
    int method = -1;
};

std::map<std::string, ArchiveEntry> readArchive(const std::string& path)
{
    std::map<std::string, ArchiveEntry> entries;
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!archive) {
        ADD_FAILURE() << path << ": zip_open error " << code;
        return entries;
    }
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
        ArchiveEntry entry;
        entry.method = stat.comp_method;
        entry.bytes.resize(stat.size);
        zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        if (file) {
            EXPECT_EQ(zip_fread(file, entry.bytes.data(), stat.size), static_cast<zip_int64_t>(stat.size)) << stat.name;
            zip_fclose(file);
        }
        entries[stat.name] = entry;
    }
    zip_close(archive);
    return entries;
}

TEST(ZipArchiveTest, AnArchivedDataSetHoldsTheLooseOnesContentUnderPlainNames)
{
    const Plan plan = parsePlan("texture wall stone\ntexture floor stone\nmap\n#####\n#L*.#\n#.S.#\n#####\n",
                                "small.plan");
    const Level level = buildLevel(plan);
    testsupport::TempDir directory;
    writeArchivedDataSet(plan, level, directory.path() + "packed");
    writeDataSet(plan, level, directory.path() + "loose");

    EXPECT_EQ(toolstest::filesBelow(directory.path() + "packed"),
              (std::set<std::string>{"small.pk3", "small.cfg", "small.lights", "small.players"}));
    const std::string configuration = toolstest::readText(directory.path() + "packed/small.cfg");
    EXPECT_NE(configuration.find("\nlevel = maps/small.bsp\n"), std::string::npos) << configuration;
    EXPECT_NE(configuration.find("\narchives = 1\n"), std::string::npos) << configuration;

    const std::map<std::string, ArchiveEntry> entries = readArchive(directory.path() + "packed/small.pk3");
    std::set<std::string> names;
    for (const auto& [name, entry] : entries) {
        names.insert(name);
        EXPECT_EQ(entry.method, ZIP_CM_DEFLATE) << name;
    }
    // Two surfaces share "stone"; everything else is one file per picture.
    const std::set<std::string> expected = {
        "maps/small.bsp", "scripts/small.shader", "textures/skies/intelredclouds.jpg",
        "textures/verdanth/stone.jpg", "textures/verdanth/slate.jpg", "textures/verdanth/plaster.jpg",
        "textures/verdanth/metal.tga", "textures/verdanth/marble.jpg", "textures/verdanth/wood.tga",
        "textures/verdanth/foliage.tga", "textures/small/grate.tga", "textures/small/panel.jpg",
        "textures/small/nodraw.jpg", "textures/small/bricks_variant.jpg", "textures/small/panelwall_editor.jpg",
        "env/small/sky_rt.jpg", "env/small/sky_lf.jpg", "env/small/sky_bk.jpg", "env/small/sky_ft.jpg",
        "env/small/sky_up.jpg", "env/small/sky_dn.jpg", "textures/small/water1.jpg", "textures/small/water2.jpg",
        "textures/small/lava.jpg", "textures/small/pulsepanel.jpg", "textures/small/pulseglow.jpg",
        "textures/small/chrome.jpg", "textures/small/flame.jpg", "textures/small/clouds1.jpg",
        "textures/small/clouds2.jpg", "textures/small/fog_editor.jpg", "textures/small/sign1.jpg",
        "textures/small/sign2.jpg", "textures/small/sign3.jpg", "textures/small/sign4.jpg"};
    EXPECT_EQ(names, expected);

    // The loose data set is the archive's content plus the three loose files, byte for byte.
    std::set<std::string> loose = toolstest::filesBelow(directory.path() + "loose");
    for (const auto& [name, entry] : entries) {
        const std::string loosePath = name == "maps/small.bsp" ? "small.bsp" : name;
        EXPECT_EQ(loose.erase(loosePath), 1u) << loosePath;
        EXPECT_TRUE(entry.bytes == toolstest::readBytes(directory.path() + "loose/" + loosePath)) << name;
    }
    EXPECT_EQ(loose, (std::set<std::string>{"small.cfg", "small.lights", "small.players"}));
}

TEST(ZipArchiveTest, EntryNamesMustBePlainRelativePaths)
{
    const struct {
        const char* name;
        bool plain;
    } cases[] = {{"maps/a.bsp", true},  {"a", true},          {"", false},        {"/maps/a.bsp", false},
                 {"maps/", false},      {"../a", false},      {"maps/../a", false}, {"maps/..", false},
                 {"./a", false},        {"maps//a.bsp", false}, {"maps\\a.bsp", false}, {"..a/b..", true}};
    for (const auto& c : cases)
        EXPECT_EQ(isPlainEntryName(c.name), c.plain) << "'" << c.name << "'";

    testsupport::TempDir directory;
    const std::string path = directory.path() + "bad.pk3";
    try {
        writeZipArchive(path, {{"ok.txt", {'a'}}, {"../escape.txt", {'b'}}});
        ADD_FAILURE() << "accepted";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()), path + ": refusing the entry name '../escape.txt'");
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

} // namespace
