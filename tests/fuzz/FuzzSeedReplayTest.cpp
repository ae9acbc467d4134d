#include "../../fuzz/FuzzTargets.h"

#include "ViewerProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Feeds every seed of every fuzz target through the same entry the fuzzer calls, under this
// build's sanitizers: a seed that crashes, leaks or trips a target's own checks fails here
// long before anyone runs the fuzzer again. The seeds are fuzz/seeds/<target>/, the malformed
// corpora under tests/data, and fuzz/regressions/<target>/: findings too slow to mutate well,
// kept out of the fuzzer's seeds. The JPEG, entity and material seeds are fuzz/seeds/<target>/.

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

fs::path source(const std::string& relative) { return fs::path(testsupport::sourceDir()) / relative; }

Bytes readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Files of `directory` whose names end with `extension` ("" for all), in name order.
std::vector<fs::path> files(const std::string& directory, const std::string& extension = "")
{
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(source(directory))) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && name.size() >= extension.size()
            && name.compare(name.size() - extension.size(), extension.size(), extension) == 0)
            found.push_back(entry.path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<fs::path> levelSeeds()
{
    std::vector<fs::path> levels = files("fuzz/seeds/level");
    for (const char* directory : {"fuzz/regressions/level", "tests/data/malformed"})
        for (const fs::path& level : files(directory, ".bsp"))
            levels.push_back(level);
    return levels;
}

// The two views scripts/fuzz puts before each level: from the origin without culling and
// looking from the first leaves, and from inside the seed levels with culling on.
const uint8_t openView[fuzztargets::visibilityPrefixSize] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2};
const uint8_t culledView[fuzztargets::visibilityPrefixSize] = {0, 0, 0xc0, 0x42, 0, 0, 0x90, 0x42, 0, 0, 0x60, 0xc3,
                                                               0x5a, 0, 0xec, 0xff, 3};

Bytes withView(const uint8_t (&view)[fuzztargets::visibilityPrefixSize], const Bytes& level)
{
    Bytes input(std::begin(view), std::end(view));
    input.insert(input.end(), level.begin(), level.end());
    return input;
}

Bytes text(const std::string& configuration, const std::string& lights, const std::string& players)
{
    const std::string joined = configuration + '\0' + lights + '\0' + players;
    return Bytes(joined.begin(), joined.end());
}

void run(int (*target)(const uint8_t*, std::size_t), const Bytes& input)
{
    EXPECT_EQ(target(input.data(), input.size()), 0);
}

// Text seeds, each also cut at every byte: a break at any point must be reported, not crash.
void replayTextSeeds(const std::string& directory, int (*target)(const uint8_t*, std::size_t))
{
    const std::vector<fs::path> seeds = files(directory);
    ASSERT_GE(seeds.size(), 5u);
    for (const fs::path& seed : seeds) {
        SCOPED_TRACE(seed.string());
        const Bytes bytes = readFile(seed);
        for (std::size_t length = 0; length <= bytes.size(); ++length)
            run(target, Bytes(bytes.begin(), bytes.begin() + std::ptrdiff_t(length)));
    }
}

} // namespace

TEST(FuzzSeedReplayTest, LevelSeeds)
{
    const std::vector<fs::path> levels = levelSeeds();
    ASSERT_GE(levels.size(), 100u);
    for (const fs::path& level : levels) {
        SCOPED_TRACE(level.string());
        run(fuzztargets::level, readFile(level));
    }
}

TEST(FuzzSeedReplayTest, VisibilitySeeds)
{
    for (const fs::path& level : levelSeeds()) {
        SCOPED_TRACE(level.string());
        const Bytes bytes = readFile(level);
        run(fuzztargets::visibility, withView(openView, bytes));
        run(fuzztargets::visibility, withView(culledView, bytes));
    }
    run(fuzztargets::visibility, Bytes(fuzztargets::visibilityPrefixSize - 1, 0)); // too short for a view
}

// The world's seeds, and every level seed walked with a script of zeros.
TEST(FuzzSeedReplayTest, WorldSeeds)
{
    const std::vector<fs::path> seeds = files("fuzz/seeds/world");
    ASSERT_GE(seeds.size(), 4u);
    for (const fs::path& seed : seeds) {
        SCOPED_TRACE(seed.string());
        run(fuzztargets::world, readFile(seed));
    }
    for (const fs::path& level : levelSeeds()) {
        SCOPED_TRACE(level.string());
        Bytes input(fuzztargets::worldPrefixSize, 0);
        const Bytes bytes = readFile(level);
        input.insert(input.end(), bytes.begin(), bytes.end());
        run(fuzztargets::world, input);
    }
}

TEST(FuzzSeedReplayTest, TGASeeds)
{
    std::vector<fs::path> images = files("tests/data/tga", ".tga");
    ASSERT_GE(images.size(), 20u);
    for (const char* directory : {"fuzz/seeds/tga", "fuzz/regressions/tga"})
        for (const fs::path& image : files(directory))
            images.push_back(image);
    for (const fs::path& image : images) {
        SCOPED_TRACE(image.string());
        run(fuzztargets::tga, readFile(image));
    }
}

TEST(FuzzSeedReplayTest, JPEGSeeds)
{
    const std::vector<fs::path> images = files("fuzz/seeds/jpeg");
    ASSERT_GE(images.size(), 2u);
    for (const fs::path& image : images) {
        SCOPED_TRACE(image.string());
        run(fuzztargets::jpeg, readFile(image));
    }
}

TEST(FuzzSeedReplayTest, EntitySeeds) { replayTextSeeds("fuzz/seeds/entities", fuzztargets::entities); }

TEST(FuzzSeedReplayTest, MaterialSeeds) { replayTextSeeds("fuzz/seeds/materials", fuzztargets::materials); }

TEST(FuzzSeedReplayTest, ConfigurationSeeds)
{
    const std::vector<fs::path> seeds = files("fuzz/seeds/config");
    ASSERT_FALSE(seeds.empty());
    for (const fs::path& seed : seeds) {
        SCOPED_TRACE(seed.string());
        run(fuzztargets::config, readFile(seed));
    }
    // Each file of the text corpus in the place its reader takes it from.
    for (const fs::path& file : files("tests/data/malformed-text")) {
        SCOPED_TRACE(file.string());
        const Bytes bytes = readFile(file);
        const std::string contents(bytes.begin(), bytes.end());
        const std::string extension = file.extension().string();
        if (extension == ".cfg")
            run(fuzztargets::config, text(contents, "", ""));
        else if (extension == ".lights")
            run(fuzztargets::config, text("", contents, ""));
        else if (extension == ".players")
            run(fuzztargets::config, text("players = " + file.filename().string(), "", contents));
    }
}

TEST(FuzzSeedReplayTest, ArchiveSeeds)
{
    std::vector<fs::path> archives = files("fuzz/seeds/archive");
    ASSERT_GE(archives.size(), 7u);
    for (const fs::path& archive : files("fuzz/regressions/archive"))
        archives.push_back(archive);
    for (const fs::path& archive : archives) {
        SCOPED_TRACE(archive.string());
        run(fuzztargets::archive, readFile(archive));
    }
    run(fuzztargets::archive, Bytes()); // nothing at all
}
