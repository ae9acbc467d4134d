#pragma once

#include <cstddef>

// Draws one line of bitmap text at a window position (pixels, origin lower left) over the
// finished scene. The caller sets the colour and switches texturing and lighting off first.
// GLUT's glyphs, drawn without GLUT, so that a picture without any window shows the same text.
class OnScreenDisplay {
public:
    explicit OnScreenDisplay(void* font) : font(font) {}
    virtual ~OnScreenDisplay() = default;

    // Leaves viewport, depth range, matrix mode and both matrices as it found them.
    void drawText(float x, float y, const char* text) const;
    // The first `count` characters of `text` only.
    void drawText(float x, float y, const char* text, std::size_t count) const;
    // Pixels: how far `text` (or its first `count` characters) advances, and the font's line
    // height. Need no GLUT, as drawText.
    int textWidth(const char* text) const;
    int textWidth(const char* text, std::size_t count) const;
    int lineHeight() const;

private:
    void* font; // a GLUT bitmap font handle
};
