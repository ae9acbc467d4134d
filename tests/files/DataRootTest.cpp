#include "files/DataRoot.h"

#include "TestArchives.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <thread>

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

// What a worker thread does with a planned read: fetch it through a Reader of its own.
DataRoot::Fetched fetchElsewhere(const DataRoot& data, const DataRoot::Planned& planned)
{
    DataRoot::Fetched fetched;
    std::thread([&] {
        Archive::Reader reader;
        fetched = data.fetch(planned, reader);
    }).join();
    return fetched;
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

// An archive opened as the file wins over the folder's others, as it did not by its name; loose
// files still win over it.
TEST_F(DataRootTest, AnArchiveGivenFirstWinsOverTheOthers)
{
    std::ostringstream log;
    const DataRoot data(root, root + "pak0.pk3", log);
    ASSERT_EQ(data.archives().size(), 6u);
    EXPECT_EQ(data.read("maps/a.bsp"), bytesOf("a0"));
    EXPECT_EQ(data.originOf("maps/a.bsp"), "pak0.pk3");
    EXPECT_EQ(data.read("maps/c.bsp"), bytesOf("c9"));
    EXPECT_EQ(data.read("textures/shared.jpg"), bytesOf("loose copy"));
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

// The bytes inflated from archives are counted at each entry's declared size before it is read;
// the read that would pass the limit gets a line, and from then on archived files are missing
// while loose ones still read.
TEST_F(DataRootTest, StopsReadingArchivesAtTheInflatedLimit)
{
    std::ostringstream log;
    const DataRoot data(root, true, log, Archive::defaultSizeLimit, 6);
    log.str("");
    EXPECT_EQ(data.read("maps/a.bsp"), bytesOf("a1"));
    EXPECT_EQ(data.read("maps/a.bsp"), bytesOf("a1"));
    EXPECT_EQ(data.read("textures/wall.jpg"), std::nullopt); // 4 bytes more would make 8
    EXPECT_EQ(data.read("maps/z.bsp"), std::nullopt);        // 1 byte would still fit: no matter
    EXPECT_FALSE(data.contains("maps/z.bsp"));
    EXPECT_EQ(data.list("maps", ".bsp").size(), 3u); // the loose levels only
    EXPECT_EQ(data.read("textures/shared.jpg"), bytesOf("loose copy"));
    EXPECT_EQ(log.str(), root + "textures/wall.jpg: reading it would take the bytes inflated from archives past "
                                "the 6-byte limit; archived files now read as missing\n");
}

// A name missing in a folder is looked up in an index of the folder, listed once: looking up
// n names in a folder of m files costs n lookups, not n listings of m names.
TEST_F(DataRootTest, ListsEachFolderOnceHoweverManyNamesAreLookedUp)
{
    temporary.write("data/textures/Twin.jpg", "upper first");
    temporary.write("data/textures/twin.JPG", "lower second");
    for (int number = 0; number < 50; ++number)
        temporary.write("data/textures/many/File" + std::to_string(number) + ".jpg", "file");
    std::ostringstream log;
    const DataRoot data(root, false, log);
    for (int number = 0; number < 50; ++number) {
        EXPECT_FALSE(data.contains("textures/many/missing" + std::to_string(number) + ".jpg"));
        EXPECT_TRUE(data.contains("TEXTURES/MANY/file" + std::to_string(number) + ".JPG"));
    }
    // Neither spelling asked for exists: the first in byte order answers, whatever the disk's order.
    EXPECT_EQ(data.read("textures/TWIN.jpg"), bytesOf("upper first"));
    EXPECT_EQ(data.folderListings(), 3u); // the root, textures/ and textures/many/
    EXPECT_EQ(log.str(), "");
}

// Loose files may be links within the root; one that leads out of it (its own link or a
// folder's) is missing after one line, whichever way it is asked for. Archives at the top of
// the root may be links to anywhere.
TEST_F(DataRootTest, ReadsNoLooseFileALinkLeadsOutOfTheRoot)
{
    namespace fs = std::filesystem;
    const std::string elsewhere = temporary.path() + "elsewhere/";
    temporary.write("elsewhere/secret.txt", "secret");
    temporary.write("data/real/inside.jpg", "inside");
    testarchives::writeZip(temporary, "elsewhere/far.pk3", {{"textures/far.jpg", "far"}});
    fs::create_directories(root + "scripts");
    fs::create_symlink("../real/inside.jpg", root + "textures/inside.jpg");
    fs::create_symlink(elsewhere + "secret.txt", root + "textures/outside.jpg");
    fs::create_symlink(elsewhere + "secret.txt", root + "scripts/system.shader");
    fs::create_symlink(elsewhere + "secret.txt", root + "maps/out.bsp");
    fs::create_directory_symlink(elsewhere, root + "linked");
    fs::create_symlink(elsewhere + "far.pk3", root + "far.pk3");
    fs::create_directory_symlink(root, temporary.path() + "rootlink");

    std::ostringstream log;
    const DataRoot data(root, true, log);
    const DataRoot throughLink(temporary.path() + "rootlink", true, log);
    log.str("");
    for (const DataRoot* through : {&data, &throughLink}) {
        EXPECT_EQ(through->read("textures/inside.jpg"), bytesOf("inside"));
        EXPECT_EQ(through->read("textures/far.jpg"), bytesOf("far"));
        for (const char* refused : {"textures/outside.jpg", "Scripts/System.shader", "linked/secret.txt"}) {
            SCOPED_TRACE(refused);
            EXPECT_FALSE(through->contains(refused));
            EXPECT_EQ(through->read(refused), std::nullopt);
        }
        for (const DataRoot::Listed& level : through->list("maps", ".bsp"))
            EXPECT_NE(level.path, "maps/out.bsp");
    }
    const std::string linked = temporary.path() + "rootlink/";
    EXPECT_EQ(log.str(), root + "textures/outside.jpg: a link leads out of the data root; not read\n" + root
            + "scripts/system.shader: a link leads out of the data root; not read\n" + root
            + "linked/secret.txt: a link leads out of the data root; not read\n" + root
            + "maps/out.bsp: a link leads out of the data root; not read\n" + linked
            + "textures/outside.jpg: a link leads out of the data root; not read\n" + linked
            + "scripts/system.shader: a link leads out of the data root; not read\n" + linked
            + "linked/secret.txt: a link leads out of the data root; not read\n" + linked
            + "maps/out.bsp: a link leads out of the data root; not read\n");
}

// Archive files are opened only to be read and at most a few stay open, so any number of
// archives works under a low limit of open files (set in a child process, which the check
// runs in).
TEST_F(DataRootTest, ReadsHundredsOfArchivesUnderALowLimitOfOpenFiles)
{
    constexpr int archiveCount = 200;
    for (int number = 0; number < archiveCount; ++number)
        testarchives::writeZip(temporary, "data/many" + std::to_string(number) + ".pk3",
            {{"many/" + std::to_string(number) + ".txt", std::to_string(number)}});
    const auto readEveryArchiveTwice = [this] {
        const rlimit low{64, 64};
        if (setrlimit(RLIMIT_NOFILE, &low) != 0)
            std::_Exit(2);
        std::ostringstream log;
        const DataRoot data(root, true, log);
        int wrong = 0;
        for (int round = 0; round < 2; ++round)
            for (int number = 0; number < archiveCount; ++number) {
                const std::string text = std::to_string(number);
                wrong += data.read("many/" + text + ".txt") != Bytes(text.begin(), text.end());
            }
        std::fputs(log.str().c_str(), stderr);
        std::_Exit(wrong == 0 ? 0 : 1);
    };
    // The one line expected is the data root's own broken archive, x.pk3.
    EXPECT_EXIT(readEveryArchiveTwice(), ::testing::ExitedWithCode(0), "^x.pk3: not a zip archive \\(Not a zip archive\\)\n$");
}

// A read split for threads gives what read gives, and says it at the claim: planning looks up
// quietly (no path recorded, no line), the fetch on another thread says nothing itself.
TEST_F(DataRootTest, APlannedReadFetchedElsewhereIsClaimedAsReadWouldGiveIt)
{
    testarchives::writeZip(temporary, "data/pak2.pk3", {{"maps/crc.bsp", "stored level", testarchives::Storage::stored}});
    testarchives::flipDataByte(root + "pak2.pk3", "maps/crc.bsp", 3, 0x20);
    for (const char* path : {"maps/a.bsp", "TEXTURES/wall.jpg", "textures/shared.jpg", "maps/empty.bsp", "maps/crc.bsp"}) {
        SCOPED_TRACE(path);
        std::ostringstream serialLog, splitLog;
        const DataRoot serial(root, true, serialLog);
        const DataRoot split(root, true, splitLog);
        serialLog.str("");
        splitLog.str("");
        const std::optional<Bytes> read = serial.read(path);

        const std::optional<DataRoot::Planned> planned = split.plan(path);
        ASSERT_TRUE(planned);
        EXPECT_TRUE(split.consultedPaths().empty());
        const DataRoot::Fetched fetched = fetchElsewhere(split, *planned);
        EXPECT_EQ(splitLog.str(), "");
        EXPECT_TRUE(split.claim(*planned, fetched));
        EXPECT_EQ(fetched.bytes, read);
        EXPECT_EQ(splitLog.str(), serialLog.str());
        EXPECT_EQ(split.consultedPaths(), serial.consultedPaths());
    }

    std::filesystem::create_symlink(temporary.path() + "outside.txt", root + "textures/outside.jpg");
    std::ostringstream log;
    const DataRoot data(root, true, log);
    log.str("");
    EXPECT_FALSE(data.plan("textures/outside.jpg"));
    EXPECT_EQ(log.str(), "");
    EXPECT_EQ(data.read("textures/outside.jpg"), std::nullopt);
    EXPECT_EQ(log.str(), root + "textures/outside.jpg: a link leads out of the data root; not read\n")
        << "the line planning kept back is said by the read";
}

// Bytes planned count against the inflated limit from the plan on: planning stops at the first
// that does not fit, and what was inflated ahead and never claimed counts all the same.
TEST_F(DataRootTest, PlannedBytesAreHeldOutOfTheInflatedLimit)
{
    std::ostringstream log;
    const DataRoot data(root, true, log, Archive::defaultSizeLimit, 7);
    log.str("");
    const std::optional<DataRoot::Planned> a = data.plan("maps/a.bsp");      // 2 bytes
    const std::optional<DataRoot::Planned> wall = data.plan("textures/wall.jpg"); // 4 more: 6
    ASSERT_TRUE(a && wall);
    EXPECT_FALSE(data.plan("maps/c.bsp")) << "2 more would make 8";
    EXPECT_FALSE(data.plan("maps/z.bsp")) << "1 would fit, but planning stopped";
    EXPECT_TRUE(data.plan("maps/loose.bsp")) << "loose files count nothing";

    EXPECT_TRUE(data.claim(*a, fetchElsewhere(data, *a)));
    const DataRoot::Fetched unused = fetchElsewhere(data, *wall);
    data.drop(*wall, unused.done);
    EXPECT_EQ(data.read("maps/z.bsp"), bytesOf("z"));
    EXPECT_EQ(data.read("maps/z.bsp"), std::nullopt) << "2 + 4 + 1 + 1 is past 7";
    EXPECT_EQ(log.str(), root + "maps/z.bsp: reading it would take the bytes inflated from archives past the "
                                "7-byte limit; archived files now read as missing\n");
}

// Between the plan and the claim the copy a read finds may change; then the claim stands down
// and the read, on the owner's thread, finds what it finds and says what it says.
TEST_F(DataRootTest, AClaimStandsOnlyWhereReadWouldFindTheSameCopy)
{
    const struct {
        const char* what;
        void (*change)(const testsupport::TempDir& temporary);
        std::optional<Bytes> read;
        std::string line;
    } cases[] = {
        {"a loose copy appears", [](const testsupport::TempDir& temporary) {
             temporary.write("data/textures/wall.jpg", "loose wall"); },
            bytesOf("loose wall"), ""},
        {"its archive is written again", [](const testsupport::TempDir& temporary) {
             testarchives::writeZip(temporary, "data/pak0.pk3", {{"Textures/Wall.JPG", "new wall"}}); },
            std::nullopt, "pak0.pk3: changed since it was indexed; its entries now read as missing\n"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        testsupport::TempDir copy;
        std::filesystem::copy(root, copy.path() + "data", std::filesystem::copy_options::recursive);
        std::ostringstream log;
        const DataRoot data(copy.path() + "data", true, log);
        log.str("");
        const std::optional<DataRoot::Planned> planned = data.plan("textures/wall.jpg");
        ASSERT_TRUE(planned);
        test.change(copy);
        EXPECT_FALSE(data.claim(*planned, fetchElsewhere(data, *planned)));
        EXPECT_EQ(log.str(), "");
        EXPECT_EQ(data.read("textures/wall.jpg"), test.read);
        EXPECT_EQ(log.str(), test.line);
    }
}
