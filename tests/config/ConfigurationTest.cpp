#include "config/Configuration.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

using testsupport::CerrCapture;
using testsupport::TempDir;

namespace {
struct ReadResult {
    Configuration configuration;
    std::string transcript;
};

ReadResult readText(const TempDir& dir, const std::string& text)
{
    const std::string path = dir.write("test.cfg", text);
    CerrCapture capture;
    Configuration configuration = readConfiguration(path);
    return {std::move(configuration), capture.text()};
}
} // namespace

TEST(ConfigurationTest, ReadsEveryKeyAndEchoesValues)
{
    TempDir dir;
    const auto [configuration, transcript] = readText(dir,
        "width = 800\nheight = 600\nbpp = 32\nvsync = 0\ndatapath = data/\nlevel = maps/a.bsp\n"
        "lights = a.lights\nstart_vec = 10 -20 30\n");
    EXPECT_EQ(transcript,
              "setting 800\nsetting 600\nsetting 32\nsetting 0\nsetting data/\nsetting maps/a.bsp\n"
              "lighting file a.lights\nstarting at 10,-20,30\n");
    EXPECT_EQ(configuration.windowWidth, 800);
    EXPECT_EQ(configuration.windowHeight, 600);
    EXPECT_EQ(configuration.bpp, "32");
    EXPECT_EQ(configuration.dataPath, "data/");
    EXPECT_EQ(configuration.levelPath, "maps/a.bsp");
    EXPECT_EQ(configuration.lightsFile, "a.lights");
    EXPECT_FLOAT_EQ(configuration.startPoint.getX(), 10.0f);
    EXPECT_FLOAT_EQ(configuration.startPoint.getY(), -20.0f);
    EXPECT_FLOAT_EQ(configuration.startPoint.getZ(), 30.0f);
    EXPECT_EQ(configuration.friendlies, nullptr);
    EXPECT_FALSE(configurationProblem(configuration, "test.cfg"));
}

TEST(ConfigurationTest, TokensIgnoreLinesAndTheLastTokenNeedsNoLineEnd)
{
    TempDir dir;
    const auto [configuration, transcript] = readText(dir, "width\t:\n1024x   height = abc \n\n  level = last.bsp");
    EXPECT_EQ(configuration.windowWidth, 1024); // atoi stops at the x
    EXPECT_EQ(configuration.windowHeight, 0);   // no leading number
    EXPECT_EQ(configuration.levelPath, "last.bsp");
    EXPECT_EQ(transcript, "setting 1024x\nsetting abc\nsetting last.bsp\n");
}

TEST(ConfigurationTest, UnknownKeysAreCaseSensitiveAndRepeatsKeepTheLast)
{
    TempDir dir;
    // An unknown key consumes only itself and the separator, so "640" is read as a key.
    const auto [configuration, transcript]
        = readText(dir, "Width = 640 =\nlevel = one.bsp\nlevel = two.bsp\nfov = 90\n");
    EXPECT_EQ(transcript, "unknown propertyWidth\nunknown property640\nsetting one.bsp\nsetting two.bsp\n"
                          "unknown propertyfov\nunknown property90\n");
    EXPECT_FALSE(configuration.windowWidth);
    EXPECT_EQ(configuration.levelPath, "two.bsp");
}

TEST(ConfigurationTest, MissingSeparatorShiftsTheReadingByOneToken)
{
    TempDir dir;
    const auto [configuration, transcript] = readText(dir, "level a.bsp\nwidth = 640\n");
    // "a.bsp" is taken as the separator, "width" as the level; "=" is then a key.
    EXPECT_EQ(configuration.levelPath, "width");
    EXPECT_EQ(transcript, "setting width\nunknown property=\n");
    EXPECT_FALSE(configuration.windowWidth);
}

TEST(ConfigurationTest, UnreadableStartVectorEndsReadingAndIsRefused)
{
    TempDir dir;
    const auto [configuration, transcript]
        = readText(dir, "width = 640\nstart_vec = 1 2.5 3\nheight = 480\n");
    EXPECT_EQ(transcript, "setting 640\n");
    EXPECT_FLOAT_EQ(configuration.startPoint.getX(), 1.0f);
    EXPECT_FLOAT_EQ(configuration.startPoint.getY(), 2.0f); // read up to the fraction
    EXPECT_FLOAT_EQ(configuration.startPoint.getZ(), 0.0f);
    EXPECT_FALSE(configuration.windowHeight);
    EXPECT_EQ(configurationProblem(configuration, "test.cfg"),
              std::string("test.cfg: the value of \"start_vec\" is not three whole numbers"));
}

TEST(ConfigurationTest, StartupRefusesMissingFileAndBadWindowSize)
{
    TempDir dir;
    {
        CerrCapture capture;
        const Configuration missing = readConfiguration(dir.path() + "none.cfg");
        EXPECT_EQ(capture.text(), "");
        EXPECT_EQ(configurationProblem(missing, "none.cfg"), std::string("none.cfg: cannot open the configuration file"));
    }
    EXPECT_EQ(configurationProblem(readText(dir, "height = 480\n").configuration, "c"),
              std::string("c: \"width\" is missing"));
    EXPECT_EQ(configurationProblem(readText(dir, "width = 640\n").configuration, "c"),
              std::string("c: \"height\" is missing"));
    EXPECT_EQ(configurationProblem(readText(dir, "width = 640 height = -3\n").configuration, "c"),
              std::string("c: \"height\" must be a positive whole number, not -3"));
    for (const auto& [value, message] : {std::pair{"4.5", "c: \"brightness\" needs a factor from 0.25 to 4, not 4.5"},
                                         {"dim", "c: \"brightness\" needs a factor from 0.25 to 4, not dim"},
                                         {"1x", "c: \"brightness\" needs a factor from 0.25 to 4, not 1x"},
                                         {"", "c: \"brightness\" needs a factor from 0.25 to 4"}})
        EXPECT_EQ(configurationProblem(
                      readText(dir, std::string("width = 640 height = 480 brightness = ") + value).configuration, "c"),
                  std::string(message));
}

TEST(ConfigurationTest, ExtensionKeysAreReadEchoedAndPrintedBack)
{
    TempDir dir;
    const std::string text = "width = 1280\nheight = 720\ndatapath = data/\nlevel = maps/a.bsp\ndefault_lights = 1\n"
                             "start_vec = 10 -20 30\nstart_angle = 270.25\nstart_pitch = -12.5\nlevel_players = 2 3\n"
                             "archives = 1\nbrightness = 1.5\nscreenshots = 1\n";
    const auto [configuration, transcript] = readText(dir, text);
    EXPECT_EQ(transcript, "setting 1280\nsetting 720\nsetting data/\nsetting maps/a.bsp\nsetting 1\n"
                          "starting at 10,-20,30\nsetting 270.25\nsetting -12.5\nsetting 2 3\nsetting 1\nsetting 1.5\n"
                          "setting 1\n");
    EXPECT_TRUE(configuration.defaultLights);
    EXPECT_EQ(configuration.startAngle, 270.25);
    EXPECT_EQ(configuration.startPitch, -12.5);
    EXPECT_EQ(configuration.levelPlayers, std::make_pair(2u, 3u));
    EXPECT_TRUE(configuration.archives);
    EXPECT_TRUE(configuration.screenshots);
    EXPECT_EQ(configuration.brightness, 1.5);
    EXPECT_EQ(configurationText(configuration), text) << "printed back as it was written";

    const auto plain = readText(dir, "width = 8 height = 8 lights = l.lights start_vec = 0 0 0").configuration;
    EXPECT_EQ(configurationText(plain), "width = 8\nheight = 8\ndatapath = \nlevel = \nlights = l.lights\n"
                                        "start_vec = 0 0 0\n")
        << "no extension appears unless it was set";

    // An angle is its leading number, as whole degrees always were; what is no number reads as 0.
    const auto odd = readText(dir, "start_angle = 90deg start_pitch = nan").configuration;
    EXPECT_EQ(odd.startAngle, 90);
    EXPECT_EQ(odd.startPitch, 0);
}

TEST(ConfigurationTest, PlayersEntryBuildsTheCollectionOnTheSameConsoleLine)
{
    TempDir dir;
    const std::string players = dir.write("p.txt", "2 3\n0 0 0\n100 50 100\n");
    const auto [configuration, transcript] = readText(dir, "width = 10\nplayers = " + players + "\nheight = 20\n");
    ASSERT_NE(configuration.friendlies, nullptr);
    EXPECT_EQ(configuration.friendlies->getFriends().size(), 2u);
    EXPECT_EQ(configuration.friendlies->getEnemies().size(), 3u);
    EXPECT_EQ(transcript, "setting 10\nreading players from " + players + "opened file: " + players
                              + "# of friendlies 2\nbefore \nhere \nafter \nbefore \nhere \nafter \n"
                                "here \nhere \nhere \nsetting 20\n");
}
