#pragma once

#include "level/Vertex.h"

#include <array>
#include <cstdint>

// Control grids the patch tests share.
namespace patchtest {

// A 3 x 3 grid in the plane z = 0 spanning x, y in [0, 20] with the middle control raised to
// z = 16; s, t run 0..1 across it, normals are (0, 2, 0) (not unit), colours differ per control.
inline std::array<Vertex, 9> raisedGrid(float scale = 10.0f, float offset = 0.0f)
{
    std::array<Vertex, 9> controls;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            controls[std::size_t(3 * r + c)] = Vertex(offset + scale * c, offset + scale * r,
                r == 1 && c == 1 ? 16.0f : 0.0f, c / 2.0f, r / 2.0f, 0.25f * c, 0.25f * r, 0.0f, 2.0f, 0.0f,
                {std::uint8_t(r * 3 + c), 100, 150, 200});
    return controls;
}

} // namespace patchtest
