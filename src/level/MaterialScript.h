#pragma once

#include "level/Material.h"

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// Reads a material script: blocks `NAME { ... }` holding keyword lines and stage blocks one
// level deep, with `//` and `/* */` comments. Keywords ignore case; a line break ends a
// keyword's arguments. Each line means what level/MaterialKeywords says; what the viewer
// cannot draw with is skipped, unknown keywords and arguments included, and each material
// lists the drawing keywords it skipped. A file that breaks the block structure keeps the
// materials completed before the break and gets one line in the log naming the file and line,
// quoting at most a short printable excerpt. Never throws; time and memory grow linearly with
// the text.
class MaterialScript {
public:
    static constexpr std::size_t maxMaterials = 100000; // per script
    static constexpr std::size_t maxStages = 64;        // per material
    // A stage costs a hundred times the two bytes `{}` it takes to write one, so the whole
    // script is held to this many; large real scripts have a few thousand.
    static constexpr std::size_t maxStagesPerScript = 65536;

    // The materials in file order. `fileName` only prefixes the log lines.
    static std::vector<Material> parse(std::string_view text, const std::string& fileName, std::ostream& log);
};
