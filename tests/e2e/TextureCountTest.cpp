#include "../files/TestArchives.h"

#include "RoomLevel.h"
#include "TestFiles.h"
#include "ViewerProcess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

using testsupport::shellOutput;
using testsupport::TempDir;
using testsupport::ViewerProcess;
using testsupport::viewerBinary;

namespace {
// What a program says about a level's images: its count line up to the consequence, which
// each words its own way, and the missing textures with the faces each leaves without an image.
struct Count {
    std::string line;
    std::vector<std::string> missing; // "name faces", in lump order
};

std::vector<std::string> matches(const std::string& text, const std::regex& pattern)
{
    std::vector<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
        found.push_back((*it)[1].str() + " " + (*it)[2].str());
    return found;
}

std::string countLine(const std::string& text)
{
    static const std::regex line("(?:^|\n)(textures: (?:all \\d+ found|\\d+ of \\d+ found; \\d+ faces))");
    std::smatch match;
    return std::regex_search(text, match, line) ? match[1].str() : "no count in:\n" + text;
}

Count viewerCount(const std::string& root, const std::string& name, const TempDir& scratch)
{
    ViewerProcess viewer({viewerBinary(), "--snapshot", scratch.path() + "unused.png", "--frames", "1", "--verbose",
                          "--data", root, name},
                         scratch.path());
    const auto status = viewer.waitForExit(120.0);
    EXPECT_TRUE(status && status->exited && status->code == 0) << viewer.transcript();
    static const std::regex missing("missing texture (\\S+) \\((\\d+) faces\\)\n");
    return {countLine(viewer.transcript()), matches(viewer.transcript(), missing)};
}

Count inspectorCount(const std::string& root, const std::string& name)
{
    const std::string report = shellOutput(std::string(LEVELINFO_PROGRAM) + " --data '" + root + "' " + name
                                           + " 2>/dev/null");
    static const std::regex missing("texture (\\S+): missing, (\\d+) faces without an image\n");
    return {countLine(report), matches(report + "\n", missing)};
}

// A zip entry's 16-bit header field, in its local and its central header alike.
void setEntryField(const std::string& archive, const std::string& entry, std::size_t localAt, std::size_t centralAt,
                   uint16_t value)
{
    testarchives::Bytes file = testarchives::readBytes(archive);
    for (const std::size_t at : {testarchives::findRecord(file, "PK\3\4", 30, entry) + localAt,
                                 testarchives::findRecord(file, "PK\1\2", 46, entry) + centralAt}) {
        file[at] = uint8_t(value);
        file[at + 1] = uint8_t(value >> 8);
    }
    testarchives::writeBytes(archive, file);
}
} // namespace

// The viewer's line after loading and levelinfo's figures are one count: on every data set
// they name the same textures as found and missing and the same faces as without an image,
// whatever made an image unusable.
TEST(TextureCountTest, TheViewerAndTheInspectorAgreeOnEveryDataSet)
{
    // The demo has sky and nodraw surfaces, a texture only billboards show, and its pillars are
    // curved surfaces: their image missing leaves faces without one too.
    TempDir loose;
    const std::string looseRoot = loose.path() + "demo";
    std::filesystem::copy(testsupport::buildDir() + "/demo", looseRoot, std::filesystem::copy_options::recursive);
    std::filesystem::remove(looseRoot + "/textures/verdanth/marble.jpg");
    loose.write("demo/textures/verdanth/stone.jpg", "not a picture at all");

    TempDir packed;
    const std::string packedRoot = roomlevel::build(packed, roomlevel::plan(90), "--archive");
    const std::string archive = packedRoot + "/room.pk3";
    testarchives::flipDataByte(archive, "textures/verdanth/bricks.jpg", 40, 0xff); // corrupt
    setEntryField(archive, "textures/verdanth/stone.jpg", 8, 10, 18);             // an unsupported method
    setEntryField(archive, "textures/verdanth/tiles.jpg", 6, 8, 1);               // encrypted

    struct DataSet {
        std::string root;
        std::string level;
        std::vector<std::string> missing; // names only: the faces come from the two programs
    };
    const std::string build = testsupport::buildDir();
    const DataSet dataSets[] = {
        {build + "/demo", "demo", {}},
        {build + "/demo-archive", "demo", {}},
        {looseRoot, "demo", {"textures/verdanth/stone", "textures/verdanth/marble"}},
        {packedRoot, "room", {"textures/verdanth/bricks", "textures/verdanth/stone", "textures/verdanth/tiles"}},
    };
    for (const DataSet& set : dataSets) {
        SCOPED_TRACE(set.root);
        TempDir scratch;
        const Count viewer = viewerCount(set.root, set.level, scratch);
        const Count inspector = inspectorCount(set.root, set.level);
        EXPECT_EQ(viewer.line, inspector.line);
        EXPECT_EQ(viewer.missing, inspector.missing);
        std::vector<std::string> names;
        for (const std::string& entry : inspector.missing)
            names.push_back(entry.substr(0, entry.find(' ')));
        EXPECT_EQ(names, set.missing);
    }
}
