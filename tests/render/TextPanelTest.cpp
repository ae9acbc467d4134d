#include "render/TextPanel.h"

#include "ColourFramebuffer.h"
#include "GLContext.h"

#include <GL/glew.h>
#include <GL/glut.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> rowsOf(const std::vector<std::string>& lines, int width)
{
    const OnScreenDisplay fixed(GLUT_BITMAP_8_BY_13); // every glyph 8 pixels wide
    std::vector<std::string> rows;
    TextPanel::wrap(lines, fixed, width, [&](const TextPanel::Row& row) {
        EXPECT_EQ(row.width, int(row.count) * 8);
        EXPECT_TRUE(row.width <= width || row.count == 1) << row.width;
        rows.push_back(lines[row.line].substr(row.first, row.count));
    });
    return rows;
}

} // namespace

// Ten characters a row: broken before a space where one is, cut where a word is wider.
TEST(TextPanelTest, WrapsEachLineAtItsSpacesWithinTheWidth)
{
    const struct {
        const char* line;
        std::vector<std::string> rows;
    } cases[] = {
        {"short", {"short"}},
        {"abcdefghij", {"abcdefghij"}},
        {"two words here", {"two words", "here"}},
        {"abcdefghijklmnop", {"abcdefghij", "klmnop"}},
        {"  \"origin\" \"1 2 3\"", {"  \"origin\"", "\"1 2 3\""}},
        {"word      spaces", {"word", "spaces"}},
        {"", {""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rowsOf({c.line}, 80), c.rows) << c.line;
    EXPECT_EQ(rowsOf({"ab", "cd"}, 80), (std::vector<std::string>{"ab", "cd"})) << "a row or more per line";
    EXPECT_EQ(rowsOf({"abc"}, 4), (std::vector<std::string>{"a", "b", "c"})) << "narrower than a glyph";
}

// i's lines at 320x240, drawn into a wider framebuffer: nothing of the panel lies right of the
// window, and every row that holds text shows it.
TEST(TextPanelTest, StaysInsideASmallWindow)
{
    testsupport::ensureGLContext();
    constexpr int width = 480, height = 240, window = 320;
    const testsupport::ColourFramebuffer target(width, height);
    ASSERT_TRUE(target.complete());
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glViewport(0, 0, window, height);
    TextPanel::draw({"face 12: polygon, texture 3 textures/base_wall/concrete_dark (material from a script), "
                     "lightmap 4, surface flags 0x0, contents 0x1, met at 1024 -512 96, 730 units away",
                     "entity 41: item_armor_combat, 2.5 degrees off the view, 216 units away",
                     "  \"classname\" \"item_armor_combat\"",
                     "  \"noise\" \"sound/some/very/long/path/without/any/spaces/at/all/loop.wav\""});
    std::vector<unsigned char> pixels(width * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    int outside = 0, white = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned char* pixel = &pixels[std::size_t(y * width + x) * 3];
            outside += x >= window && (pixel[0] != 127 && pixel[0] != 128);
            white += pixel[0] == 255 && pixel[1] == 255 && pixel[2] == 255;
        }
    EXPECT_EQ(outside, 0);
    EXPECT_GT(white, 1500) << "the text of some eight rows";
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
