#pragma once

#include "render/OnScreenDisplay.h"

// The designed look's status line: white bitmap text on a dark translucent backing, so it
// reads over a white sky as over a dark wall, in a font and margin chosen by the window's
// height (the viewport's), so a small window gets small text.
class ReadableText {
public:
    static constexpr float backingOpacity = 0.55f;
    static constexpr int padding = 3; // pixels of backing around the text

    struct Size {
        void* font;  // a GLUT bitmap font
        int margin;  // pixels from the left and bottom edges to the text's first origin
    };
    // The size for a window `height` pixels high: Helvetica 12 below 300, Helvetica 18 below
    // 600, Times Roman 24 from there (the configuration mode's font).
    static Size sizeFor(int height);

    ReadableText();

    // Over the finished scene, at the lower left. Leaves GL as it found it but for the current
    // colour, which ends white.
    void draw(const char* text) const;

private:
    const OnScreenDisplay& displayFor(void* font) const;

    OnScreenDisplay small;
    OnScreenDisplay medium;
    OnScreenDisplay large;
};
