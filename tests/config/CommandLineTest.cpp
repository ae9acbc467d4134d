#include "config/CommandLine.h"

#include <gtest/gtest.h>

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
        "--data packs --at 10 -20.5 30 --angle -90 --size 640x480 --lights l.lights --players 3 5 --verbose "
        "--shots pictures --snapshot out.png --frames 7 e1m1"));
    EXPECT_EQ(line.target, "e1m1");
    EXPECT_EQ(line.dataRoot, "packs");
    ASSERT_TRUE(line.at);
    EXPECT_EQ(line.at->getY(), -20.5f);
    EXPECT_EQ(line.angle, -90);
    EXPECT_EQ(line.size, std::make_pair(640, 480));
    EXPECT_EQ(line.lightsFile, "l.lights");
    EXPECT_EQ(line.players, std::make_pair(3u, 5u));
    EXPECT_TRUE(line.verbose);
    EXPECT_EQ(line.shots, "pictures");
    EXPECT_EQ(line.snapshot, "out.png");
    EXPECT_EQ(line.frames, 7);

    const CommandLine plain = parseCommandLine({"demo.cfg"});
    EXPECT_EQ(plain.target, "demo.cfg");
    EXPECT_FALSE(plain.dataRoot || plain.at || plain.angle || plain.size || plain.lightsFile || plain.players
                 || plain.shots || plain.snapshot || plain.frames);
    EXPECT_TRUE(parseCommandLine(words("--data packs --list")).list);
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
        {"--angle 12.5 a.bsp", "--angle needs whole degrees, not 12.5"},
        {"--size 640 a.bsp", "--size needs WIDTHxHEIGHT in pixels (1 to 16384), not 640"},
        {"--size 0x480 a.bsp", "--size needs WIDTHxHEIGHT in pixels (1 to 16384), not 0x480"},
        {"--players 3 a.bsp", "--players needs two counts from 0 to 10000, not a.bsp"},
        {"--players 3 -1 a.bsp", "--players needs two counts from 0 to 10000, not -1"},
        {"--frames 2 a.bsp", "--frames needs --snapshot OUT.png"},
        {"--snapshot a.png --frames 0 a.bsp", "--frames needs a count from 1 to 10000, not 0"},
        {"a.bsp --snapshot", "--snapshot needs a PNG file to write"},
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
