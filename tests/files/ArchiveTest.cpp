#include "files/Archive.h"
#include "files/RelativePath.h"

#include "TestArchives.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

using testarchives::Bytes;
using testarchives::Storage;
using testarchives::TestEntry;

namespace {

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

const std::string wallPicture(3000, 'w'); // long enough that deflating changes it

} // namespace

TEST(Archive, ReadsEntriesInAnyCaseFromFileOrMemory)
{
    const testsupport::TempDir folder;
    const std::string path = testarchives::writeZip(folder, "Pak0.PK3",
        {{"maps/a.bsp", "level a"}, {"Textures/Wall.JPG", wallPicture}, {"./scripts//x.shader", "x", Storage::stored}});
    std::ostringstream log;
    const Archive fromFile(path, log);
    const Archive fromMemory("Pak0.PK3", testarchives::readBytes(path), log);

    for (const Archive* archive : {&fromFile, &fromMemory}) {
        EXPECT_TRUE(archive->opened());
        EXPECT_EQ(archive->name(), "Pak0.PK3");
        EXPECT_EQ(archive->read("maps/a.bsp"), bytesOf("level a"));
        EXPECT_EQ(archive->read("textures/wall.jpg"), bytesOf(wallPicture));
        EXPECT_EQ(archive->read("TEXTURES\\WALL.jpg"), bytesOf(wallPicture));
        EXPECT_EQ(archive->read("scripts/X.shader"), bytesOf("x"));
        EXPECT_EQ(archive->read("maps/b.bsp"), std::nullopt);
        EXPECT_EQ(archive->read("maps"), std::nullopt);

        const Archive::Entry* wall = archive->find("textures/wall.jpg");
        ASSERT_NE(wall, nullptr);
        EXPECT_EQ(wall->name, "Textures/Wall.JPG");
        EXPECT_EQ(wall->size, wallPicture.size());
        EXPECT_EQ(archive->entries().size(), 3u);
    }
    EXPECT_EQ(log.str(), ""); // a missing name is not a problem to report
}

// Each archive holds maps/good.bsp and one bad entry, perhaps damaged after writing. The bad
// entry gives exactly the line, its data is never returned, and the good entry still reads.
TEST(Archive, RefusesBadEntriesWithOneLineEach)
{
    struct Case {
        const char* what;
        TestEntry bad;
        void (*damage)(const std::string& path);
        std::string message;
    };
    const std::string longName(RelativePath::maxLength + 1, 'n');
    const Case cases[] = {
        {"parent folder", {"../evil", "evil"}, nullptr, "pak0.pk3: ../evil: entry name escapes the data root\n"},
        {"absolute", {"/abs", "evil"}, nullptr, "pak0.pk3: /abs: entry name escapes the data root\n"},
        {"climbs out through a folder", {"a/../../b", "evil"}, nullptr,
            "pak0.pk3: a/../../b: entry name escapes the data root\n"},
        {"backslashes", {"..\\evil", "evil"}, nullptr, "pak0.pk3: ..\\evil: entry name escapes the data root\n"},
        {"drive letter", {"C:/evil", "evil"}, nullptr, "pak0.pk3: C:/evil: entry name escapes the data root\n"},
        {"drive letter once tidied", {"./C:/evil", "evil"}, nullptr,
            "pak0.pk3: ./C:/evil: entry name escapes the data root\n"},
        {"line break in the name", {"../a\nb", "evil"}, nullptr,
            "pak0.pk3: ../a?b: entry name escapes the data root\n"},
        {"name too long", {longName, "evil"}, nullptr,
            "pak0.pk3: " + longName.substr(0, 80) + "...: entry name is longer than 1024 bytes\n"},
        {"directory", {"maps/", "", Storage::directory}, nullptr, ""},
        {"empty", {"maps/empty.bsp", ""}, nullptr, "pak0.pk3: maps/empty.bsp: entry is empty\n"},
        {"same name in another case", {"MAPS/GOOD.BSP", "evil"}, nullptr,
            "pak0.pk3: MAPS/GOOD.BSP: entry name repeats maps/good.bsp, which is kept\n"},
        {"stored bytes changed", {"maps/crc.bsp", "stored level", Storage::stored},
            [](const std::string& path) { testarchives::flipDataByte(path, "maps/crc.bsp", 3, 0x20); },
            "pak0.pk3: maps/crc.bsp: entry data is corrupt (CRC error)\n"},
        {"deflated bytes changed", {"maps/inflate.bsp", wallPicture},
            // Both block-type bits set: a block type deflate does not have.
            [](const std::string& path) { testarchives::flipDataByte(path, "maps/inflate.bsp", 0, 0x06); },
            "pak0.pk3: maps/inflate.bsp: entry data is corrupt (Zlib error: data error)\n"},
        {"declared longer than stored", {"maps/short.bsp", "stored level", Storage::stored},
            [](const std::string& path) { testarchives::setDeclaredSize(path, "maps/short.bsp", 20); },
            "pak0.pk3: maps/short.bsp: entry data is corrupt (Zip archive inconsistent)\n"},
        {"declared shorter than stored", {"maps/long.bsp", "stored level", Storage::stored},
            [](const std::string& path) { testarchives::setDeclaredSize(path, "maps/long.bsp", 5); },
            "pak0.pk3: maps/long.bsp: entry data is corrupt (longer than 5 bytes)\n"},
        {"declared over the size limit", {"maps/huge.bsp", "level", Storage::stored},
            [](const std::string& path) { testarchives::setDeclaredSize(path, "maps/huge.bsp", 0x80000000u); },
            "pak0.pk3: maps/huge.bsp: entry is 2147483648 bytes, over the 268435456-byte limit\n"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        const testsupport::TempDir folder;
        const std::string path =
            testarchives::writeZip(folder, "pak0.pk3", {{"maps/good.bsp", "good level"}, test.bad});
        if (test.damage != nullptr)
            test.damage(path);
        std::ostringstream log;
        const Archive archive(path, log);

        std::set<std::string> readable;
        for (const auto& [key, entry] : archive.entries())
            if (archive.read(entry.name))
                readable.insert(entry.name);
        EXPECT_EQ(readable, std::set<std::string>{"maps/good.bsp"});
        EXPECT_EQ(archive.read("maps/good.bsp"), bytesOf("good level"));
        EXPECT_EQ(log.str(), test.message);
    }
}

TEST(Archive, ActsEmptyWhenItCannotBeOpened)
{
    const testsupport::TempDir folder;
    const std::string zip = testarchives::writeZip(folder, "whole.pk3", {{"maps/a.bsp", wallPicture}});
    const Bytes whole = testarchives::readBytes(zip);
    const struct {
        const char* what;
        Bytes bytes;
        std::string message;
    } cases[] = {
        {"text", bytesOf("not an archive at all\n"), "x.pk3: not a zip archive (Not a zip archive)\n"},
        {"cut in half", Bytes(whole.begin(), whole.begin() + long(whole.size() / 2)),
            "x.pk3: not a zip archive (Not a zip archive)\n"},
        {"end record only", Bytes(whole.end() - 22, whole.end()),
            "x.pk3: cannot open the archive (Zip archive inconsistent)\n"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        std::ostringstream log;
        const Archive archive(folder.write("x.pk3", test.bytes), log);
        EXPECT_FALSE(archive.opened());
        EXPECT_TRUE(archive.entries().empty());
        EXPECT_EQ(archive.read("maps/a.bsp"), std::nullopt);
        EXPECT_EQ(log.str(), test.message);
    }
}
