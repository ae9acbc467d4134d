#include "image/PNGWriter.h"

#include "PNGFile.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using testsupport::PNGFile;
using testsupport::TempDir;

namespace {
// Every name in the folder: a finished or failed write leaves no temporary file behind.
std::set<std::string> namesIn(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// 3 x 2, every channel different, so a swapped channel, row or stride shows.
const std::vector<unsigned char> pixels = {1,  2,  3,  4,  5,  6,  7,  8,  9,
                                           10, 11, 12, 13, 14, 15, 250, 251, 252};
} // namespace

TEST(PNGWriter, WritesWholeFilesOrNothingAndSaysWhy)
{
    TempDir dir;
    std::filesystem::create_directory(dir.path() + "folder");
    const std::string written = dir.write("shot.png", "an older file under the same name");
    PNGWriter::write(written, 3, 2, pixels);
    const PNGFile file = PNGFile::read(written);
    ASSERT_TRUE(file.error.empty()) << file.error;
    EXPECT_EQ(file.width, 3);
    EXPECT_EQ(file.height, 2);
    EXPECT_EQ(file.rgb, pixels);

    struct Case {
        std::string path;
        int width;
        std::size_t bytes;
        std::string message;
    };
    const Case cases[] = {
        {dir.path() + "nowhere/shot.png", 3, 18,
         dir.path() + "nowhere/shot.png: cannot write the picture: No such file or directory"},
        {dir.path() + "folder", 3, 18, dir.path() + "folder: cannot write the picture: Is a directory"},
        {dir.path() + "short.png", 3, 17,
         dir.path() + "short.png: cannot write the picture: 17 bytes are not 3 x 2 RGB pixels"},
    };
    for (const Case& c : cases) {
        try {
            const std::vector<unsigned char> given(pixels.begin(), pixels.begin() + long(c.bytes));
            PNGWriter::write(c.path, c.width, 2, given);
            ADD_FAILURE() << c.path << " was written";
        } catch (const PNGWriteError& error) {
            EXPECT_EQ(error.what(), c.message);
        }
        EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"folder", "shot.png"})) << c.path;
        EXPECT_TRUE(std::filesystem::is_empty(dir.path() + "folder")) << c.path;
    }
}
