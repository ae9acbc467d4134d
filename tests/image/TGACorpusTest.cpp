#include "image/TGAImage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

// Replays tests/data/tga/: every file with the outcome listed for it in expected.txt.
// The same files seed the TGA fuzz target.
namespace {
const std::filesystem::path corpus = std::filesystem::path(VERDANTH_SOURCE_DIR) / "tests/data/tga";

std::map<std::string, std::string> expectedOutcomes()
{
    std::map<std::string, std::string> outcomes;
    std::ifstream list(corpus / "expected.txt");
    std::string line;
    while (std::getline(list, line)) {
        const std::size_t tab = line.find('\t');
        if (line.empty() || line[0] == '#' || tab == std::string::npos)
            continue;
        outcomes[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return outcomes;
}
} // namespace

TEST(TGACorpus, EveryFileGivesItsListedOutcome)
{
    const std::map<std::string, std::string> outcomes = expectedOutcomes();
    ASSERT_GE(outcomes.size(), 20u);
    std::size_t replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        if (entry.path().extension() != ".tga")
            continue;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const auto outcome = outcomes.find(name);
        ASSERT_NE(outcome, outcomes.end()) << "no expected outcome listed";
        std::ifstream file(entry.path(), std::ios::binary);
        const std::vector<unsigned char> bytes(std::istreambuf_iterator<char>(file), {});
        const TGAImage image = TGAImage::decode(bytes.data(), bytes.size());
        if (outcome->second == "ok") {
            EXPECT_TRUE(image.decoded()) << image.error;
            EXPECT_EQ(image.pixels.size(), std::size_t(image.width) * image.height * image.bytesPerPixel());
        } else {
            EXPECT_EQ(image.error, outcome->second);
            EXPECT_TRUE(image.pixels.empty());
        }
        ++replayed;
    }
    EXPECT_EQ(replayed, outcomes.size()) << "expected.txt lists files that are missing";
}
