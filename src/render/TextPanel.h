#pragma once

#include "render/OnScreenDisplay.h"

#include <cstddef>
#include <string>
#include <vector>

// Lines told over the view (level mode's i) at the window's top left, in the font and margin
// ReadableText picks for the window's height, white on its dark backing. Each line is wrapped
// at its spaces to fit inside the window, a word wider than the window cut where it must; rows
// that would reach the status line's band are left out. Allocates nothing.
class TextPanel {
public:
    struct Row {
        std::size_t line = 0;  // which of the lines
        std::size_t first = 0; // its first character there
        std::size_t count = 0; // characters
        int width = 0;         // pixels
    };

    // The rows of `lines` wrapped to `width` pixels in `font`, top first, each given to `take`.
    // Spaces where a line breaks start no row; an empty line is one empty row.
    template <typename Take>
    static void wrap(const std::vector<std::string>& lines, const OnScreenDisplay& font, int width, Take take)
    {
        for (std::size_t line = 0; line < lines.size(); ++line) {
            const std::string& text = lines[line];
            std::size_t first = 0;
            do {
                const Row row = nextRow(text, line, first, font, width);
                take(row);
                for (first = row.first + row.count; first < text.size() && text[first] == ' ';)
                    ++first;
            } while (first < text.size());
        }
    }

    // Over the finished scene, under the current viewport. Leaves GL as it found it but for the
    // current colour, which ends white.
    static void draw(const std::vector<std::string>& lines);

private:
    // The longest run of `text` from `first` that fits in `width`, ended before a space where the
    // whole run does not fit; at least one character.
    static Row nextRow(const std::string& text, std::size_t line, std::size_t first, const OnScreenDisplay& font,
                       int width);
};
