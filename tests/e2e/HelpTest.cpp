#include "ViewerProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

using testsupport::ExitStatus;
using testsupport::ViewerProcess;

namespace {

struct Program {
    std::string name;
    std::string binary;
};

const Program programs[] = {
    {"verdanth", testsupport::viewerBinary()},
    {"levelinfo", LEVELINFO_PROGRAM},
    {"levelgen", LEVELGEN_PROGRAM},
};

struct Answer {
    std::string output;
    std::string transcript;
    ExitStatus status;
};

Answer ask(const Program& program, const std::string& argument)
{
    ViewerProcess process({program.binary, argument});
    const std::optional<ExitStatus> status = process.waitForExit(30.0);
    EXPECT_TRUE(status) << program.name << " " << argument << " did not end";
    return {process.output(), process.transcript(), status.value_or(ExitStatus{})};
}

// A manual page's text as a reader sees the words: macros and their quotes gone, font changes
// dropped, escaped minus signs as plain ones; one line per source line.
std::vector<std::string> manualLines(const std::string& name)
{
    std::ifstream in(testsupport::sourceDir() + "/docs/man/" + name + ".1");
    EXPECT_TRUE(in) << "no docs/man/" << name << ".1";
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(".\\\"", 0) == 0)
            continue;
        if (!line.empty() && line[0] == '.') {
            const std::size_t space = line.find(' ');
            line = space == std::string::npos ? "" : line.substr(space + 1);
            line = std::regex_replace(line, std::regex("\""), "");
        }
        line = std::regex_replace(line, std::regex(R"(\\f[BIRP])"), "");
        line = std::regex_replace(line, std::regex(R"(\\-)"), "-");
        line = std::regex_replace(line, std::regex(R"(\\&)"), "");
        lines.push_back(line);
    }
    return lines;
}

std::set<std::string> optionsIn(const std::string& text)
{
    const std::regex option(R"(--[a-z][a-z0-9-]*)");
    std::set<std::string> found;
    for (auto match = std::sregex_iterator(text.begin(), text.end(), option); match != std::sregex_iterator(); ++match)
        found.insert(match->str());
    return found;
}

// The names of the help's "keys" section: each line's first column, up to two spaces.
std::vector<std::string> keysIn(const std::string& help)
{
    std::istringstream in(help);
    std::vector<std::string> keys;
    bool inKeys = false;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("keys", 0) == 0)
            inKeys = true;
        else if (line.empty())
            inKeys = false;
        else if (inKeys && line.rfind("  ", 0) == 0)
            keys.push_back(line.substr(2, line.find("  ", 2) - 2));
    }
    return keys;
}

std::string joined(const std::set<std::string>& words)
{
    std::string text;
    for (const std::string& word : words)
        text += word + " ";
    return text;
}

} // namespace

TEST(HelpTest, EveryProgramGivesItsHelpAndVersionOnStandardOutput)
{
    for (const Program& program : programs) {
        SCOPED_TRACE(program.name);
        const Answer version = ask(program, "--version");
        EXPECT_EQ(version.output, program.name + " " VERDANTH_VERSION "\n");
        EXPECT_EQ(version.transcript, "");
        EXPECT_TRUE(version.status.exited && version.status.code == 0) << version.status.code;

        const Answer help = ask(program, "--help");
        EXPECT_NE(help.output.find("usage: " + program.name + " "), std::string::npos) << help.output;
        EXPECT_NE(help.output.find("--help"), std::string::npos) << help.output;
        EXPECT_EQ(help.transcript, "");
        EXPECT_TRUE(help.status.exited && help.status.code == 0) << help.status.code;
    }
}

// Whoever adds an option or a key to a program's --help documents it in its manual page, and
// the page names no option the program lacks.
TEST(HelpTest, EachManualPageDescribesEveryOptionAndKeyOfItsProgram)
{
    for (const Program& program : programs) {
        SCOPED_TRACE(program.name);
        const std::string help = ask(program, "--help").output;
        const std::vector<std::string> page = manualLines(program.name);
        std::string pageText;
        for (const std::string& line : page)
            pageText += line + "\n";
        const std::set<std::string> helpOptions = optionsIn(help);
        const std::set<std::string> pageOptions = optionsIn(pageText);
        EXPECT_EQ(joined(pageOptions), joined(helpOptions))
            << "the options of docs/man/" << program.name << ".1 (left) against --help (right)";
        EXPECT_GE(helpOptions.size(), 3u) << help;

        for (const std::string& key : keysIn(help))
            EXPECT_TRUE(std::find(page.begin(), page.end(), key) != page.end())
                << "key \"" << key << "\" has no entry (.B " << key << ") in docs/man/" << program.name << ".1";
    }
    EXPECT_GE(keysIn(ask(programs[0], "--help").output).size(), 20u);
}
