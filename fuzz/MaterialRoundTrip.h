#pragma once

#include "level/Material.h"

#include <string>
#include <vector>

// The material fuzz target's invariant: what the reader kept, written out again as a script
// with one line per kept fact, reads back the same. Facts a later line overrode (a constant
// colour under an rgbGen that no longer uses it) and the skipped keywords are not compared.
class MaterialRoundTrip {
public:
    static std::string write(const std::vector<Material>& materials);
    static bool same(const Material& left, const Material& right);
};
