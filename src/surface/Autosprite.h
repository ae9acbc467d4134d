#pragma once

#include <array>

// deformVertexes autosprite and autosprite2 for one quad: four corners in any order, each with
// its texture coordinates, world coordinates (Y up). The picture stays the right way round and
// the right way up: a corner goes where its texture coordinates put it (s grows to the right, t
// downward), so the quad's own winding does not matter.
class Autosprite {
public:
    using Vector = std::array<float, 3>;
    using Corners = std::array<Vector, 4>;
    using TexCoords = std::array<std::array<float, 2>, 4>;

    // The quad turned to face the screen, `right` and `up` the eye's unit axes: the same centre,
    // width (along s) and height (along t).
    static Corners facingEye(const Corners& corners, const TexCoords& texCoords, const Vector& right,
                             const Vector& up);

    // The quad turned about its long axis (through its centre) until it faces the eye at `eye` as
    // nearly as it can: a beam or flame seen from any side. Unchanged when the eye lies on the axis.
    static Corners aboutLongAxis(const Corners& corners, const TexCoords& texCoords, const Vector& eye);
};
