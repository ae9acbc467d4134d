#include "config/Configuration.h"
#include "entities/Friendlies.h"
#include "config/LightsFile.h"

#include "TestFiles.h"
#include "ViewerProcess.h"

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

// Replays tests/data/malformed-text/: configuration, lights and players files, each with the
// exact outcome listed in expected.txt. A refused file must name itself and what is wrong; the
// configuration and players refusals must also stop the viewer with status 1.

using testsupport::CerrCapture;
using testsupport::TempDir;
using testsupport::ViewerProcess;

namespace {

struct CorpusCase {
    std::string file;
    std::string expected; // "ok" or the message after "<path>: "
};

std::string corpusDirectory() { return testsupport::sourceDir() + "/tests/data/malformed-text/"; }

std::vector<CorpusCase> corpus()
{
    std::vector<CorpusCase> cases;
    std::ifstream list(corpusDirectory() + "expected.txt");
    std::string line;
    while (std::getline(list, line)) {
        const std::size_t tab = line.find('\t');
        if (line.empty() || line[0] == '#' || tab == std::string::npos)
            continue;
        cases.push_back({line.substr(0, tab), line.substr(tab + 1)});
    }
    return cases;
}

bool endsWith(const std::string& text, const std::string& ending)
{
    return text.size() >= ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

// What the reader of `path` makes of it, with the "<path>: " prefix checked and removed.
std::string outcome(const std::string& path)
{
    const CerrCapture quiet;
    std::string message;
    try {
        if (endsWith(path, ".cfg")) {
            const Configuration configuration = readConfiguration(path);
            message = configurationProblem(configuration, path).value_or("");
        } else if (endsWith(path, ".lights")) {
            std::ifstream file(path);
            LightsFile::read(file, path);
        } else {
            const Friendlies friendlies(path);
        }
    } catch (const std::runtime_error& error) {
        message = error.what();
    }
    if (message.empty())
        return "ok";
    if (message.rfind(path + ": ", 0) != 0)
        return "message does not name the file: " + message;
    return message.substr(path.size() + 2);
}

void expectViewerRefuses(const std::vector<std::string>& arguments, const std::string& directory,
                         const std::string& message)
{
    ViewerProcess viewer(arguments, directory);
    const auto status = viewer.waitForExit(30.0);
    ASSERT_TRUE(status.has_value()) << "the viewer did not stop by itself";
    EXPECT_TRUE(status->exited && status->code == 1) << viewer.transcript();
    EXPECT_NE(viewer.transcript().find("verdanth: " + message), std::string::npos) << viewer.transcript();
    EXPECT_EQ(viewer.transcript().find("Sanitizer"), std::string::npos) << viewer.transcript();
}

} // namespace

TEST(TextCorpusTest, EveryFileGivesItsListedOutcome)
{
    const std::vector<CorpusCase> cases = corpus();
    ASSERT_GE(cases.size(), 15u);
    int refusals = 0;
    for (const CorpusCase& c : cases) {
        EXPECT_EQ(outcome(corpusDirectory() + c.file), c.expected) << c.file;
        refusals += c.expected != "ok";
    }
    EXPECT_GE(refusals, 15);
}

TEST(TextCorpusTest, RefusedConfigurationsAndPlayersStopTheViewer)
{
    TempDir dir;
    for (const CorpusCase& c : corpus()) {
        if (c.expected == "ok" || endsWith(c.file, ".lights"))
            continue; // lights are read after the window exists; their reader is replayed above
        SCOPED_TRACE(c.file);
        if (endsWith(c.file, ".cfg")) {
            // One that gives no window size is refused as no configuration at all before it is
            // read (tests/e2e/StartupRefusalTest.cpp holds that line).
            std::ifstream text(corpusDirectory() + c.file, std::ios::binary);
            if (!namesWindowSize(text))
                continue;
            expectViewerRefuses({testsupport::viewerBinary(), c.file}, corpusDirectory(), c.file + ": " + c.expected);
        } else {
            const std::string players = corpusDirectory() + c.file;
            dir.write("players.cfg", "width = 640 height = 480 players = " + players + "\n");
            expectViewerRefuses({testsupport::viewerBinary(), "players.cfg"}, dir.path(), players + ": " + c.expected);
        }
    }
}
