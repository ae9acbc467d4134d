#pragma once

#include "files/DataRoot.h"

#include <optional>
#include <string>
#include <vector>

// Where levels live under a data root: maps/NAME.bsp, loose or archived, and (as levelgen
// writes a data set) NAME.bsp beside the images when maps/ has no level of that name.
struct LevelFiles {
    struct Level {
        std::string name;   // what --data NAME takes
        std::string path;   // under the root
        std::string origin; // "loose" or the archive's file name
    };

    // Every level, sorted by name.
    static std::vector<Level> list(const DataRoot& root);
    // The levels one archive holds, by the same rules, sorted by name; origin is the archive's.
    static std::vector<Level> inArchive(const Archive& archive);
    // The path of level `name` (".bsp" optional); nothing when there is none.
    static std::optional<std::string> pathOf(const DataRoot& root, const std::string& name);
    // A level under the root as messages name it: "DIR/maps/x.bsp" when loose, "DIR/x.pk3:
    // maps/x.bsp" from an archive.
    static std::string shownName(const DataRoot& root, const std::string& path);
    // At most `most` of `levels`' names near `name` (".bsp" optional), nearest first: names
    // that hold it or that it holds, ignoring case, and names a few typing slips away.
    static std::vector<std::string> nearNames(const std::vector<Level>& levels, const std::string& name,
                                              std::size_t most = 3);
};
