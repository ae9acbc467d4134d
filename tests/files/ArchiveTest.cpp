#include "files/Archive.h"
#include "files/RelativePath.h"

#include "TestArchives.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <thread>

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
        {"local header outside the archive", {"maps/far.bsp", "level"},
            [](const std::string& path) {
                Bytes file = testarchives::readBytes(path);
                testarchives::putLittle32(file, testarchives::findRecord(file, "PK\1\2", 46, "maps/far.bsp") + 42,
                    uint32_t(file.size()));
                testarchives::writeBytes(path, file);
            },
            "pak0.pk3: maps/far.bsp: entry cannot be opened (its local header lies outside the archive)\n"},
        {"stored data past the end", {"maps/past.bsp", "level", Storage::stored},
            [](const std::string& path) {
                Bytes file = testarchives::readBytes(path);
                testarchives::putLittle32(file, testarchives::findRecord(file, "PK\1\2", 46, "maps/past.bsp") + 20,
                    uint32_t(file.size()));
                testarchives::writeBytes(path, file);
            },
            "pak0.pk3: maps/past.bsp: entry cannot be opened (its data runs past the end of the archive)\n"},
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

        // Read on another thread through a Reader: the same bytes, the read's line on the
        // stream given, nothing on the archive's own log.
        std::ostringstream indexLog;
        const Archive again(path, indexLog);
        const std::string indexLines = indexLog.str();
        std::ostringstream readLines;
        std::set<std::string> readThere;
        std::thread([&] {
            Archive::Reader reader;
            for (const auto& [key, entry] : again.entries()) {
                std::optional<Bytes> bytes;
                EXPECT_TRUE(again.readSeparately(entry, reader, readLines, bytes));
                if (bytes)
                    readThere.insert(entry.name);
            }
        }).join();
        EXPECT_EQ(readThere, readable);
        EXPECT_EQ(indexLines + readLines.str(), test.message);
        EXPECT_EQ(indexLog.str(), indexLines);
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

// Entries whose data share bytes would have one stream inflated once per entry: a few
// kilobytes of directory records over one deflated stream can ask for gigabytes. Every entry
// that shares a byte with another is refused, whichever was first; the others still read.
TEST(Archive, RefusesEveryEntryWhoseDataOverlapsAnother)
{
    using testarchives::SplitArchive;
    const struct {
        const char* what;
        std::vector<TestEntry> entries;
        void (*rebuild)(SplitArchive& parts);
        std::string message;
    } cases[] = {
        {"records over one stream", {{"maps/good.bsp", "good level"}, {"shared", wallPicture}},
            [](SplitArchive& parts) {
                const Bytes shared = parts.records.back();
                parts.records.back() = testarchives::renamed(shared, "b/0");
                for (const char* name : {"b/1", "B/2"})
                    parts.records.push_back(testarchives::renamed(shared, name));
            },
            "pak0.pk3: b/0: entry data overlaps another entry's\npak0.pk3: b/1: entry data overlaps another "
            "entry's\npak0.pk3: B/2: entry data overlaps another entry's\n"},
        {"stored data reaching into the next entry's header",
            {{"a", std::string(100, 'a'), Storage::stored}, {"b", "bb", Storage::stored},
                {"maps/good.bsp", "good level"}},
            [](SplitArchive& parts) {
                Bytes& first = testarchives::recordNamed(parts, "a");
                testarchives::putLittle32(first, 20, 101);
            },
            "pak0.pk3: a: entry data overlaps another entry's\npak0.pk3: b: entry data overlaps another entry's\n"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        const testsupport::TempDir folder;
        SplitArchive parts = testarchives::split(testarchives::readBytes(testarchives::writeZip(folder, "pak0.pk3",
            test.entries)));
        test.rebuild(parts);
        std::ostringstream log;
        const Archive archive(folder.write("pak0.pk3", testarchives::assemble(parts)), log);

        EXPECT_EQ(log.str(), test.message);
        std::set<std::string> indexed;
        for (const auto& [key, entry] : archive.entries())
            indexed.insert(entry.name);
        EXPECT_EQ(indexed, std::set<std::string>{"maps/good.bsp"});
        EXPECT_EQ(archive.read("maps/good.bsp"), bytesOf("good level"));
    }
}

// The entries' places are read from the archive's records beside libzip: every layout libzip
// reads must read here too, and where two central directories would disagree the archive is
// refused rather than judged by the one libzip may not use.
TEST(Archive, FindsTheEntriesInEveryLayoutAndRefusesTwoDirectories)
{
    using testarchives::SplitArchive;
    const struct {
        const char* what;
        Bytes (*build)(const SplitArchive& parts);
        std::string message;
    } cases[] = {
        {"as libzip writes it", [](const SplitArchive& parts) { return testarchives::assemble(parts); }, ""},
        {"zip64 records and end record",
            [](const SplitArchive& parts) {
                SplitArchive zip64 = parts;
                for (Bytes& record : zip64.records)
                    record = testarchives::asZip64(record);
                return testarchives::assembleZip64(zip64);
            },
            ""},
        {"an end record's signature in the comment",
            [](const SplitArchive& parts) { return testarchives::assemble(parts, bytesOf("see PK\5\6 here")); }, ""},
        {"the same directory again in the comment",
            [](const SplitArchive& parts) {
                const Bytes plain = testarchives::assemble(parts);
                const Bytes directoryAndEnd(plain.begin() + long(parts.entries.size()), plain.end());
                Bytes comment(directoryAndEnd.begin(), directoryAndEnd.end() - 22);
                testarchives::append(comment, testarchives::endRecord(parts.records.size(), comment.size(),
                    plain.size(), 0)); // the copy starts right after the real end record
                return testarchives::assemble(parts, comment);
            },
            ""},
        {"another directory in the comment",
            [](const SplitArchive& parts) {
                const Bytes plain = testarchives::assemble(parts);
                Bytes comment;
                for (auto record = parts.records.rbegin(); record != parts.records.rend(); ++record)
                    testarchives::append(comment, *record);
                testarchives::append(comment, testarchives::endRecord(parts.records.size(), comment.size(),
                    plain.size(), 0));
                return testarchives::assemble(parts, comment);
            },
            "x.pk3: cannot read the central directory (more than one central directory)\n"},
    };
    const testsupport::TempDir folder;
    const SplitArchive parts = testarchives::split(testarchives::readBytes(testarchives::writeZip(folder, "w.pk3",
        {{"maps/a.bsp", "level a"}, {"Textures/Wall.JPG", wallPicture}, {"s", "x", Storage::stored}})));
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        std::ostringstream log;
        const Archive archive(folder.write("x.pk3", test.build(parts)), log);
        const bool readable = test.message.empty();
        EXPECT_EQ(archive.read("maps/a.bsp"), readable ? std::optional(bytesOf("level a")) : std::nullopt);
        EXPECT_EQ(archive.read("textures/wall.jpg"), readable ? std::optional(bytesOf(wallPicture)) : std::nullopt);
        EXPECT_EQ(archive.read("s"), readable ? std::optional(bytesOf("x")) : std::nullopt);
        EXPECT_EQ(log.str(), test.message);
    }
}

// The file is let go after indexing and opened again for a read; a file that is no longer the
// one indexed could hold anything at the indexed places, so it is not read.
TEST(Archive, OpensItsFileAgainOnlyWhileItIsTheOneIndexed)
{
    const testsupport::TempDir folder;
    const std::string path = testarchives::writeZip(folder, "pak0.pk3", {{"maps/a.bsp", "level a"}});
    std::ostringstream log;
    const Archive archive(path, log);
    EXPECT_EQ(archive.read("maps/a.bsp"), bytesOf("level a"));
    archive.close();
    EXPECT_EQ(archive.read("maps/a.bsp"), bytesOf("level a"));
    EXPECT_EQ(log.str(), "");

    archive.close();
    testarchives::writeZip(folder, "pak0.pk3", {{"maps/a.bsp", "another level a"}});
    Archive::Reader reader;
    std::optional<Bytes> separately;
    std::ostringstream unsaid;
    EXPECT_FALSE(archive.readSeparately(*archive.find("maps/a.bsp"), reader, unsaid, separately))
        << "a Reader reads the file indexed or nothing, and leaves the saying to read";
    EXPECT_EQ(unsaid.str(), "");
    EXPECT_EQ(log.str(), "");
    EXPECT_EQ(archive.read("maps/a.bsp"), std::nullopt);
    EXPECT_EQ(archive.read("maps/a.bsp"), std::nullopt);
    EXPECT_EQ(log.str(), "pak0.pk3: changed since it was indexed; its entries now read as missing\n");
}
