#include "files/DataRoot.h"

#include "TestArchives.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sstream>

namespace {

using testarchives::Bytes;

// A data root of loose files and archives that override each other, with a file beside it.
// Byte order of the archive names: Z.ZIP, pak0.pk3, pak1.pk3, pak10.pk3, pak9.pk3, x.pk3.
class DataRootTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = temporary.path() + "data/";
        temporary.write("outside.txt", "outside");
        temporary.write("data/textures/shared.jpg", "loose copy");
        temporary.write("data/Env/Sky_UP.tga", "sky");
        temporary.write("data/maps/loose.bsp", "loose level");
        temporary.write("data/maps/b.bsp", "b loose");
        temporary.write("data/maps/readme.txt", "not a level");
        temporary.write("data/maps/sub/deep.bsp", "too deep to list");
        temporary.write("data/maps/empty.bsp", "");
        temporary.write("data/notes.txt", "not an archive");
        temporary.write("data/x.pk3", "not an archive either");
        std::filesystem::create_directories(root + "folder.pk3");
        testarchives::writeZip(temporary, "data/Z.ZIP", {{"maps/z.bsp", "z"}, {"maps/a.bsp", "aZ"}});
        testarchives::writeZip(temporary, "data/pak0.pk3",
            {{"maps/a.bsp", "a0"}, {"maps/B.bsp", "b0"}, {"Textures/Wall.JPG", "wall"},
                {"textures/shared.jpg", "pak0 copy"}, {"scripts/x.shader", "x"}, {"maps/sub/deep2.bsp", "deep"}});
        testarchives::writeZip(temporary, "data/pak1.pk3", {{"maps/a.bsp", "a1"}});
        testarchives::writeZip(temporary, "data/pak10.pk3", {{"maps/c.bsp", "c10"}});
        testarchives::writeZip(temporary, "data/pak9.pk3", {{"maps/c.bsp", "c9"}});
    }

    testsupport::TempDir temporary;
    std::string root;
};

std::optional<Bytes> bytesOf(const char* text)
{
    if (text == nullptr)
        return std::nullopt;
    return Bytes(text, text + std::char_traits<char>::length(text));
}

} // namespace

TEST_F(DataRootTest, FindsTheWinningCopy)
{
    std::ostringstream log;
    const DataRoot data(root, true, log);
    EXPECT_EQ(log.str(), "x.pk3: not a zip archive (Not a zip archive)\n");
    ASSERT_EQ(data.archives().size(), 6u);
    EXPECT_EQ(data.archives().front().name(), "Z.ZIP");

    const struct {
        std::string path;
        const char* contents; // nullptr: missing
        const char* origin;
    } lookups[] = {
        {"maps/a.bsp", "a1", "pak1.pk3"},
        {"MAPS\\A.BSP", "a1", "pak1.pk3"},
        {"maps/c.bsp", "c9", "pak9.pk3"},
        {"maps/z.bsp", "z", "Z.ZIP"},
        {"textures/wall.jpg", "wall", "pak0.pk3"},
        {"textures/shared.jpg", "loose copy", "loose"},
        {"maps/b.bsp", "b loose", "loose"},
        {"env/sky_up.tga", "sky", "loose"},
        {"maps/missing.bsp", nullptr, ""},
        {"maps", nullptr, ""},
        {"folder.pk3", nullptr, ""},
        {"../outside.txt", nullptr, ""},
        {"maps/../../outside.txt", nullptr, ""},
        {temporary.path() + "outside.txt", nullptr, ""},
    };
    for (const auto& lookup : lookups) {
        SCOPED_TRACE(lookup.path);
        EXPECT_EQ(data.read(lookup.path), bytesOf(lookup.contents));
        EXPECT_EQ(data.contains(lookup.path), lookup.contents != nullptr);
        EXPECT_EQ(data.originOf(lookup.path), lookup.origin);
    }
    EXPECT_EQ(log.str(), "x.pk3: not a zip archive (Not a zip archive)\n");
}

TEST_F(DataRootTest, LooseFilesOnlyWhenArchivesAreNotSearched)
{
    std::ostringstream log;
    const DataRoot data(root, false, log);
    EXPECT_TRUE(data.archives().empty());
    EXPECT_EQ(data.read("textures/shared.jpg"), bytesOf("loose copy"));
    EXPECT_FALSE(data.contains("maps/a.bsp"));
    EXPECT_EQ(log.str(), "");

    const DataRoot missing(root + "missing", true, log);
    EXPECT_FALSE(missing.contains("maps/a.bsp"));
    EXPECT_TRUE(missing.list("maps", ".bsp").empty());
    EXPECT_EQ(log.str(), root + "missing: cannot list the folder (No such file or directory)\n");
}

TEST_F(DataRootTest, ListsLooseAndArchivedFilesOnceEach)
{
    std::ostringstream log;
    const DataRoot data(root, true, log);
    std::vector<std::pair<std::string, std::string>> levels;
    for (const DataRoot::Listed& level : data.list("maps/", ".BSP"))
        levels.emplace_back(level.path, level.origin);
    const std::vector<std::pair<std::string, std::string>> expected = {{"maps/a.bsp", "pak1.pk3"},
        {"maps/b.bsp", "loose"}, {"maps/c.bsp", "pak9.pk3"}, {"maps/empty.bsp", "loose"},
        {"maps/loose.bsp", "loose"}, {"maps/z.bsp", "Z.ZIP"}};
    EXPECT_EQ(levels, expected);

    const std::vector<DataRoot::Listed> scripts = data.list("scripts", ".shader");
    ASSERT_EQ(scripts.size(), 1u);
    EXPECT_EQ(scripts[0].path, "scripts/x.shader");
    EXPECT_EQ(scripts[0].origin, "pak0.pk3");
    EXPECT_TRUE(data.list("../", "").empty());
}

TEST_F(DataRootTest, RefusesEmptyAndOversizedLooseFilesWithALine)
{
    std::ostringstream log;
    const DataRoot data(root, false, log, 10);
    EXPECT_EQ(data.read("maps/loose.bsp"), std::nullopt);
    EXPECT_EQ(data.read("maps/empty.bsp"), std::nullopt);
    EXPECT_EQ(data.read("maps/b.bsp"), bytesOf("b loose"));
    EXPECT_EQ(log.str(), root + "maps/loose.bsp: file is 11 bytes, over the 10-byte limit\n" + root
            + "maps/empty.bsp: file is empty\n");
}
