#pragma once

#include "math/Point.h"

#include <array>
#include <istream>
#include <string>
#include <vector>

// What a lights file holds: a count, then per light two words (ignored), the position as
// whole numbers in world coordinates (Y up) and the diffuse colour r g b, in file order.
struct LightsFile {
    using Color = std::array<float, 3>; // r, g, b as given in the file

    std::vector<Point> positions;
    std::vector<Color> diffuseColors;
    unsigned int lightCount = 0; // as declared by the file

    // Prints a "placed light at " line per light and throws std::runtime_error naming
    // `name` when the count or a light is malformed.
    static LightsFile read(std::istream& in, const std::string& name);
    // The same from a file; a file that cannot be opened is refused.
    static LightsFile read(const std::string& path);

    // Four lights for a level without a lights file, from its box (world coordinates, each
    // axis sorted): light 0 shines down from above at a slant, lights 1 to 3 hang under the
    // top of the box along its longer horizontal axis.
    static LightsFile placedIn(const Point& low, const Point& high);
};
