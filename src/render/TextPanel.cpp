#include "render/TextPanel.h"

#include "render/ReadableText.h"
#include "render/ScreenTint.h"

#include <GL/glew.h>

#include <algorithm>

TextPanel::Row TextPanel::nextRow(const std::string& text, std::size_t line, std::size_t first,
                                  const OnScreenDisplay& font, int width)
{
    std::size_t end = first;
    int used = 0;
    for (; end < text.size(); ++end) {
        const int advance = font.textWidth(&text[end], 1);
        if (used + advance > width)
            break;
        used += advance;
    }
    if (end < text.size()) {
        const std::size_t space = text.rfind(' ', end);
        if (space != std::string::npos && space > first)
            end = space;
        end = std::max(end, first + 1);
        while (end > first + 1 && text[end - 1] == ' ')
            --end;
        used = font.textWidth(&text[first], end - first);
    }
    return {line, first, end - first, used};
}

void TextPanel::draw(const std::vector<std::string>& lines)
{
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const ReadableText::Size size = ReadableText::sizeFor(viewport[3]);
    const OnScreenDisplay font(size.font);
    const int height = font.lineHeight();
    constexpr int padding = ReadableText::padding;
    // Baselines: the bitmap fonts' line height holds a descent of about a quarter below them.
    int baseline = viewport[3] - size.margin - height * 3 / 4;
    const int lowest = size.margin + height + 2 * padding; // clear of the status line's band
    wrap(lines, font, viewport[2] - 2 * size.margin, [&](const Row& row) {
        if (baseline < lowest)
            return;
        ScreenTint::draw({0.0f, 0.0f, 0.0f, ReadableText::backingOpacity}, size.margin - padding,
                         baseline - height / 4 - padding, size.margin + row.width + padding,
                         baseline + height * 3 / 4 + padding);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        font.drawText(float(size.margin), float(baseline), lines[row.line].c_str() + row.first, row.count);
        baseline -= height + 2 * padding;
    });
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}
