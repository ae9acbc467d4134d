#include "config/CommandLine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace {
std::vector<std::string> words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> result;
    for (std::string word; in >> word;)
        result.push_back(word);
    return result;
}
} // namespace

TEST(CommandLineTest, ReadsEveryOption)
{
    const CommandLine line = parseCommandLine(words(
        "--data packs --at 10 -20.5 30 --angle -90.25 --pitch -12.5 --speed 1200 --mouse 0.05 --brightness 0.5 "
        "--size 640x480 "
        "--lights l.lights --players 3 5 --verbose --shots pictures --snapshot out.png --frames 7 --time -2.5 --thumbnail 256 e1m1"));
    EXPECT_EQ(line.target, "e1m1");
    EXPECT_EQ(line.dataRoot, "packs");
    ASSERT_TRUE(line.at);
    EXPECT_EQ(line.at->getY(), -20.5f);
    EXPECT_EQ(line.angle, -90.25);
    EXPECT_EQ(line.pitch, -12.5);
    EXPECT_EQ(line.speed, 1200);
    EXPECT_EQ(line.mouse, 0.05);
    EXPECT_EQ(line.brightness, 0.5);
    EXPECT_EQ(line.size, std::make_pair(640, 480));
    EXPECT_EQ(line.lightsFile, "l.lights");
    EXPECT_EQ(line.players, std::make_pair(3u, 5u));
    EXPECT_TRUE(line.verbose);
    EXPECT_EQ(line.shots, "pictures");
    EXPECT_EQ(line.snapshot, "out.png");
    EXPECT_EQ(line.frames, 7);
    EXPECT_EQ(line.time, -2.5);
    EXPECT_EQ(line.thumbnail, 256);

    const CommandLine plain = parseCommandLine({"demo.cfg"});
    EXPECT_EQ(plain.target, "demo.cfg");
    EXPECT_FALSE(plain.dataRoot || plain.at || plain.angle || plain.pitch || plain.speed || plain.mouse || plain.brightness || plain.size
                 || plain.lightsFile || plain.players || plain.shots || plain.snapshot || plain.frames || plain.time || plain.thumbnail);
    EXPECT_EQ(parseCommandLine(words("--angle 90 a.bsp")).angle, 90); // whole numbers as before
    EXPECT_TRUE(parseCommandLine(words("--data packs --list")).list);
}

// The help's table is the parser's list of options: each one listed is read, whatever else the
// line lacks, and --help and --version need nothing else.
TEST(CommandLineTest, ReadsEveryOptionTheHelpLists)
{
    for (const OptionHelp& option : optionHelp()) {
        bool read = true;
        try {
            parseCommandLine({option.name});
        } catch (const UsageError&) { // a value or a level missing: the option itself was read
        } catch (const std::logic_error&) {
            read = false;
        }
        EXPECT_TRUE(read) << option.name << " is listed but not read";
    }
    EXPECT_TRUE(parseCommandLine({"--help"}).help);
    EXPECT_TRUE(parseCommandLine({"--version"}).version);
    EXPECT_TRUE(parseCommandLine(words("--frames 2 --help")).help);
}

// The usage line names every option the help lists, and a refused value's range is the one the
// help gives for that option.
TEST(CommandLineTest, UsageHelpAndRefusalsShareOneTable)
{
    const std::string usage = usageText();
    for (const OptionHelp& option : optionHelp()) {
        const std::string named = option.name + (option.value.empty() ? "" : " " + option.value);
        EXPECT_NE(usage.find(" " + named + (named == "--version" ? "\n" : ",")), std::string::npos) << named;
        try {
            parseCommandLine({option.name, "-1e300", "a.bsp"});
        } catch (const UsageError& error) {
            const std::string message = error.what();
            const std::size_t from = message.find(" from ");
            const std::size_t upTo = message.find(", not ");
            if (from == std::string::npos || upTo == std::string::npos)
                continue; // no range: a name, a file or a folder
            const std::string range = message.substr(from + 6, upTo - from - 6);
            EXPECT_NE(option.description.find(range), std::string::npos) << option.name << ": " << range;
        }
    }
}

TEST(CommandLineTest, RefusesWhatItCannotFollow)
{
    const struct {
        const char* line;
        const char* message;
    } cases[] = {
        {"", "no level or configuration file given"},
        {"--list", "--list needs --data DIR"},
        {"a.bsp b.bsp", "one level or configuration at a time, not both a.bsp and b.bsp"},
        {"--zoom 2 a.bsp", "unknown option --zoom"},
        {"a.bsp --data", "--data needs a folder"},
        {"--at 1 2 a.bsp", "--at needs three numbers X Y Z, not a.bsp"},
        {"--at 1 2 nan a.bsp", "--at needs three numbers X Y Z, not nan"},
        {"--angle east a.bsp", "--angle needs degrees from -3600 to 3600, not east"},
        {"--angle 3600.5 a.bsp", "--angle needs degrees from -3600 to 3600, not 3600.5"},
        {"--pitch 90 a.bsp", "--pitch needs degrees from -89 to 89, not 90"},
        {"--pitch -89.01 a.bsp", "--pitch needs degrees from -89 to 89, not -89.01"},
        {"--pitch nan a.bsp", "--pitch needs degrees from -89 to 89, not nan"},
        {"--pitch 10deg a.bsp", "--pitch needs degrees from -89 to 89, not 10deg"},
        {"a.bsp --pitch", "--pitch needs degrees from -89 to 89"},
        {"--speed 0.5 a.bsp", "--speed needs units per second from 1 to 100000, not 0.5"},
        {"--speed 1e6 a.bsp", "--speed needs units per second from 1 to 100000, not 1e6"},
        {"--speed fast a.bsp", "--speed needs units per second from 1 to 100000, not fast"},
        {"--mouse 0 a.bsp", "--mouse needs degrees per pixel from 0.001 to 10, not 0"},
        {"--mouse 10.5 a.bsp", "--mouse needs degrees per pixel from 0.001 to 10, not 10.5"},
        {"--mouse inf a.bsp", "--mouse needs degrees per pixel from 0.001 to 10, not inf"},
        {"--brightness 0.2 a.bsp", "--brightness needs a factor from 0.25 to 4, not 0.2"},
        {"--brightness 4.01 a.bsp", "--brightness needs a factor from 0.25 to 4, not 4.01"},
        {"--brightness bright a.bsp", "--brightness needs a factor from 0.25 to 4, not bright"},
        {"a.bsp --brightness", "--brightness needs a factor from 0.25 to 4"},
        {"--time 1e9 a.bsp", "--time needs seconds from -100000 to 100000, not 1e9"},
        {"--size 640 a.bsp", "--size needs WIDTHxHEIGHT in pixels (1 to 16384), not 640"},
        {"--size 0x480 a.bsp", "--size needs WIDTHxHEIGHT in pixels (1 to 16384), not 0x480"},
        {"--players 3 a.bsp", "--players needs two counts from 0 to 10000, not a.bsp"},
        {"--players 3 -1 a.bsp", "--players needs two counts from 0 to 10000, not -1"},
        {"--frames 2 a.bsp", "--frames needs --snapshot OUT.png"},
        {"--snapshot a.png --frames 0 a.bsp", "--frames needs a count from 1 to 10000, not 0"},
        {"a.bsp --snapshot", "--snapshot needs a PNG file to write"},
        {"--thumbnail 128 a.bsp", "--thumbnail needs --snapshot OUT.png"},
        {"--snapshot a.png --thumbnail 8 a.bsp", "--thumbnail needs pixels from 16 to 2048, not 8"},
    };
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        try {
            parseCommandLine(words(text));
            ADD_FAILURE() << "accepted";
        } catch (const UsageError& error) {
            EXPECT_EQ(std::string(error.what()), message);
        }
    }
}

TEST(CommandLineTest, PrintedViewOptionsReadBackToTheSameView)
{
    struct Case {
        Point eye;
        double heading, pitch;
        const char* printed;
    };
    const Case cases[] = {
        {Point(320, 48, -96), 90, 0, "--at 320 48 -96 --angle 90 --pitch 0"},
        {Point(1.25f, -0.004f, 1024.5f), 12.3456, -10.125, "--at 1.25 0 1024.5 --angle 12.35 --pitch -10.13"},
        {Point(-70000.7f, 0.1f, 3.999f), 359.999, 89, "--at -70000.7 0.1 4 --angle 0 --pitch 89"},
        {Point(0, 0, 0), 0.004, -0.004, "--at 0 0 0 --angle 0 --pitch 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.printed);
        const std::string printed = viewOptions(c.eye, c.heading, c.pitch);
        EXPECT_EQ(printed, c.printed);
        const CommandLine line = parseCommandLine(words(printed + " a.bsp"));
        ASSERT_TRUE(line.at && line.angle && line.pitch);
        EXPECT_NEAR(line.at->getX(), c.eye.getX(), 0.0051);
        EXPECT_NEAR(line.at->getY(), c.eye.getY(), 0.0051);
        EXPECT_NEAR(line.at->getZ(), c.eye.getZ(), 0.0051);
        EXPECT_NEAR(std::remainder(*line.angle - c.heading, 360.0), 0.0, 0.0051);
        EXPECT_NEAR(*line.pitch, c.pitch, 0.0051);
    }
}
