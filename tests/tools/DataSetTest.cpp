#include "DataSet.h"
#include "Image.h"
#include "LevelBuilder.h"
#include "Plan.h"
#include "TextureCatalogue.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include <jpeglib.h>

namespace {

Plan demoPlan()
{
    const std::string path = LEVELGEN_DEMO_PLAN;
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return parsePlan(text.str(), path);
}

struct JpegSize {
    int width = 0;
    int height = 0;
    int components = 0;
};

JpegSize decodeJpeg(const std::string& path)
{
    JpegSize size;
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file)
        return size;
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file.get());
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    std::vector<JSAMPLE> row(static_cast<size_t>(info.output_width) * info.output_components);
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
    }
    size = {static_cast<int>(info.output_width), static_cast<int>(info.output_height), info.output_components};
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return size;
}

TEST(DataSetTest, TheDemoWritesEveryFileTheViewerOpens)
{
    const Plan plan = demoPlan();
    ASSERT_EQ(plan.name, "demo");
    EXPECT_EQ(plan.lights.size(), 4u);
    EXPECT_GT(plan.friends, 0);
    EXPECT_GT(plan.enemies, 0);
    testsupport::TempDir directory;
    writeDataSet(plan, buildLevel(plan), directory.path() + "out");
    const std::string root = directory.path() + "out/";
    for (const char* file : {"demo.bsp", "demo.cfg", "demo.lights", "demo.players"})
        EXPECT_TRUE(std::filesystem::exists(root + file)) << file;

    const JpegSize sky = decodeJpeg(root + "textures/skies/intelredclouds.jpg");
    EXPECT_EQ(sky.width, 256);
    EXPECT_EQ(sky.components, 3);
    int tgaOnly = 0;
    for (const std::string& name : plan.textures) {
        const std::string base = root + textureDirectory + name;
        if (catalogueFormat(name) == ImageFormat::Jpeg) {
            const JpegSize size = decodeJpeg(base + ".jpg");
            EXPECT_EQ(size.width, 256) << name;
            EXPECT_EQ(size.height, 256) << name;
        } else {
            EXPECT_TRUE(std::filesystem::exists(base + ".tga")) << name;
            EXPECT_FALSE(std::filesystem::exists(base + ".jpg")) << name;
            ++tgaOnly;
        }
    }
    EXPECT_GE(tgaOnly, 2);
}

TEST(DataSetTest, ConfigurationLightsAndPlayersUseWorldCoordinates)
{
    const Plan plan = parsePlan("cell 64\nheight 128\nfriends 2\nenemies 7\nmap\n"
                                "######\n"
                                "#L...#\n"
                                "#..S.#\n"
                                "######\n",
                                "dir/room.plan");
    const WorldPosition start = startPosition(plan);
    // Column 3, row 2 of 4: file (224, 96) at eye height, world (x, height, -y).
    EXPECT_EQ(start.x, 224);
    EXPECT_EQ(start.z, -96);
    EXPECT_EQ(start.y, eyeHeight(plan));
    EXPECT_EQ(configurationText(plan), "width = 1024\nheight = 768\ndatapath = ./\nlevel = room.bsp\n"
                                       "lights = room.lights\nstart_vec = 224 " +
                                           std::to_string(start.y) + " -96\nplayers = room.players\n");

    // The plan's one light, then three dim fillers: eight tokens each.
    std::istringstream lights(lightsText(plan));
    unsigned count = 0;
    lights >> count;
    ASSERT_EQ(count, 4u);
    std::string word1, word2;
    int x = 0, y = 0, z = 0;
    float r = 0, g = 0, b = 0;
    lights >> word1 >> word2 >> x >> y >> z >> r >> g >> b;
    EXPECT_EQ(x, 96);
    EXPECT_GT(y, start.y);
    EXPECT_LT(y, 128);
    EXPECT_EQ(z, -160);
    for (int i = 1; i < 4; ++i)
        lights >> word1 >> word2 >> x >> y >> z >> r >> g >> b;
    EXPECT_FALSE(lights.fail());

    std::istringstream players(playersText(plan));
    int friends = 0, enemies = 0;
    int box[6] = {};
    players >> friends >> enemies;
    for (int& v : box)
        players >> v;
    ASSERT_FALSE(players.fail());
    EXPECT_EQ(friends, 2);
    EXPECT_EQ(enemies, 7);
    EXPECT_EQ(box[0], 64);
    EXPECT_EQ(box[3], 320);
    EXPECT_EQ(box[2], -192);
    EXPECT_EQ(box[5], -64);
    for (int axis = 0; axis < 3; ++axis)
        EXPECT_GE(box[axis + 3] - box[axis], 1);
}

TEST(DataSetTest, TgaFilesAreStoredBottomUpWithTheirAlphaBits)
{
    Image image(2, 2, 4);
    const uint8_t top[4] = {10, 20, 30, 40};
    const uint8_t bottom[4] = {50, 60, 70, 80};
    for (int x = 0; x < 2; ++x) {
        std::copy(top, top + 4, image.pixel(x, 0));
        std::copy(bottom, bottom + 4, image.pixel(x, 1));
    }
    const std::vector<uint8_t> bytes = encodeTga(image);
    ASSERT_EQ(bytes.size(), 18u + 16u);
    EXPECT_EQ(bytes[2], 2);    // uncompressed true colour
    EXPECT_EQ(bytes[12], 2);   // width
    EXPECT_EQ(bytes[14], 2);   // height
    EXPECT_EQ(bytes[16], 32);  // bits per pixel
    EXPECT_EQ(bytes[17], 0x08); // eight alpha bits, origin at the lower left
    // The first stored row is the picture's bottom row, as B, G, R, A.
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 18, bytes.begin() + 22), (std::vector<uint8_t>{70, 60, 50, 80}));
    EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 4, bytes.end()), (std::vector<uint8_t>{30, 20, 10, 40}));

    const std::vector<uint8_t> rgb = encodeTga(Image(3, 1, 3));
    EXPECT_EQ(rgb[16], 24);
    EXPECT_EQ(rgb[17], 0x00);
    EXPECT_EQ(rgb.size(), 18u + 9u);
}

TEST(DataSetTest, CatalogueTexturesTileWithoutSeams)
{
    // Opposite edges of a repeating texture should match about as well as neighbouring rows.
    for (const std::string& name : catalogueNames()) {
        SCOPED_TRACE(name);
        const Image image = generateTexture(name);
        ASSERT_EQ(image.width, 256);
        ASSERT_EQ(image.height, 256);
        long acrossSeam = 0;
        long inside = 0;
        for (int x = 0; x < 256; ++x) {
            for (int c = 0; c < 3; ++c) {
                acrossSeam += std::abs(image.pixel(x, 0)[c] - image.pixel(x, 255)[c]);
                inside += std::abs(image.pixel(x, 128)[c] - image.pixel(x, 127)[c]);
            }
        }
        EXPECT_LT(acrossSeam, 2 * inside + 256 * 3 * 12);
    }
}

} // namespace
