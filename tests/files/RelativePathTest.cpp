#include "files/RelativePath.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string times(int count, const std::string& piece)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += piece;
    return text;
}

} // namespace

// Names quoted in messages come from files anyone may have made: the excerpt must stay on its
// line, must not steer the terminal, must stay short, and must keep readable names readable.
TEST(RelativePath, PrintableKeepsAShortExcerptThatCannotSteerTheTerminal)
{
    const struct {
        const char* what;
        std::string name;
        std::string shown;
    } cases[] = {
        {"plain", "textures/base/wall.jpg", "textures/base/wall.jpg"},
        {"line break and tab", "a\nb\tc\rd", "a?b?c?d"},
        {"escape sequence", "\x1b[2J\x7f", "?[2J?"},
        {"accented letters kept", "textures/caf\xc3\xa9/\xe2\x82\xac.jpg", "textures/caf\xc3\xa9/\xe2\x82\xac.jpg"},
        {"C1 control in UTF-8", "a\xc2\x9b" "31mb", "a?31mb"},
        {"stray continuation and bad lead bytes", "a\x80\xff\xc0\xaf", "a????"},
        {"sequence cut short", "a\xe2\x82", "a??"},
        {"overlong, surrogate, past U+10FFFF", "\xe0\x80\xaf" "\xed\xa0\x80" "\xf4\x90\x80\x80", "??????????"},
        {"80 characters", std::string(80, 'n'), std::string(80, 'n')},
        {"81 characters", std::string(81, 'n'), std::string(80, 'n') + "..."},
        {"80 two-byte characters", times(80, "\xc3\xa9"), times(80, "\xc3\xa9")},
        {"a megabyte", std::string(1 << 20, 'n'), std::string(80, 'n') + "..."},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        EXPECT_EQ(RelativePath::printable(test.name), test.shown);
    }
    EXPECT_EQ(RelativePath::printable("caf\xc3\xa9s", 4), "caf\xc3\xa9...");
}
