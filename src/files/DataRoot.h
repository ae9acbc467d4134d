#pragma once

#include "files/Archive.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// The folder the viewer reads its data from and, when asked, every .pk3 and .zip archive in it,
// seen as one tree of files. A loose file wins over every archive, and a later archive (in byte
// order of the file names) wins over an earlier one. Paths are relative with forward slashes;
// archived names match in any case, and so do loose ones where the exact name is missing. A
// path that could reach outside the folder (absolute, a ".." component) is simply missing.
class DataRoot {
public:
    struct Listed {
        std::string path;   // relative, as the copy that wins spells it
        std::string origin; // "loose", or the file name of the archive that holds it
    };

    DataRoot(std::string folder, bool searchArchives, std::ostream& log,
        uint64_t sizeLimit = Archive::defaultSizeLimit); // bytes per file, loose or archived

    // The whole file, or nothing when it is missing or, after a line on the log, unreadable.
    std::optional<std::vector<unsigned char>> read(const std::string& path) const;
    bool contains(const std::string& path) const;          // without reading any data
    std::string originOf(const std::string& path) const;   // "" when missing, else as Listed::origin

    // The files directly in `folder` ("maps/") whose names end with `extension` (".bsp"), in any
    // case, loose and archived: one per lower-cased path, the copy that wins, sorted by path.
    std::vector<Listed> list(const std::string& folder, const std::string& extension) const;

    const std::string& folder() const { return root; }
    const std::vector<Archive>& archives() const { return archivesByName; }

private:
    // Where a path's winning copy is: a loose file, an archive, or neither.
    struct Location {
        std::optional<std::filesystem::path> loose;
        const Archive* archive = nullptr;
    };

    void openArchives();
    Location locate(const std::string& path) const;
    std::optional<std::filesystem::path> findLoose(const std::string& normalizedPath) const;
    std::optional<std::vector<unsigned char>> readLoose(const std::filesystem::path& file) const;
    void complain(const std::filesystem::path& file, const std::string& what) const;

    std::string root;
    std::vector<Archive> archivesByName; // byte order of their file names
    std::ostream* log;
    uint64_t sizeLimit;
};
