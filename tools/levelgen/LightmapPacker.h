#pragma once

// Places rectangles on square pages in shelves: left to right along a shelf as tall as
// its first rectangle, a new shelf below when the row is full, a new page when the
// page is. Given rectangles sorted tallest first, little of a shelf goes unused.
struct LightmapPlacement {
    int page = 0;
    int x = 0; // texels from the page's left edge
    int y = 0; // texels from the page's top row
};

class LightmapPacker {
public:
    explicit LightmapPacker(int side) : side(side) {}

    LightmapPlacement place(int width, int height); // 1 <= width, height <= side
    int pageCount() const { return page + 1; }

private:
    int side;
    int page = -1;
    int shelfTop = 0;
    int shelfHeight = 0;
    int cursor = 0; // next free column on the shelf
};
