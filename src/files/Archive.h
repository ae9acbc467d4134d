#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

struct zip; // libzip's archive handle, zip_t

// One zip archive (a .pk3) opened read-only. Its index is read once, at construction; entries
// are then read by name, case-insensitively. Bad bytes never throw: a refused entry, a corrupt
// entry or an archive that cannot be opened gives one line on the log stream naming the archive
// and the entry, and then reads as missing. Not for two threads at once: a read moves libzip's
// state.
class Archive {
public:
    static constexpr uint64_t defaultSizeLimit = uint64_t(256) << 20; // uncompressed bytes per entry

    struct Entry {
        std::string name; // as stored, with forward slashes and no empty or "." components
        uint64_t index;   // libzip's
        uint64_t size;    // uncompressed bytes, as the central directory declares; <= the size limit
    };

    // The archive file at `path`; messages call it by its file name.
    Archive(const std::string& path, std::ostream& log, uint64_t sizeLimit = defaultSizeLimit);
    // An archive held in memory; messages call it `name`.
    Archive(std::string name, std::vector<unsigned char> bytes, std::ostream& log,
        uint64_t sizeLimit = defaultSizeLimit);
    ~Archive();
    Archive(Archive&&) noexcept;
    Archive& operator=(Archive&&) noexcept;

    const std::string& name() const { return archiveName; }
    bool opened() const { return handle != nullptr; } // false: it could not be read, and is empty

    // Every indexed entry, by lower-cased name.
    const std::map<std::string, Entry>& entries() const { return byName; }
    // The entry `name` spells in any case or with backslashes; nullptr when not indexed.
    const Entry* find(const std::string& name) const;

    // The whole entry, exactly its declared size, its checksum verified; nothing when it is not
    // indexed, or, after a line on the log, when it is empty or its data is broken.
    std::optional<std::vector<unsigned char>> read(const std::string& name) const;

private:
    struct ZipDiscard {
        void operator()(zip* archive) const;
    };

    void readIndex(const std::string& openProblem);
    void indexEntry(uint64_t index);
    std::optional<std::vector<unsigned char>> readEntry(const Entry& entry) const;
    void complain(const std::string& entryName, const std::string& what) const;

    std::string archiveName;
    std::vector<unsigned char> memory;       // what an archive in memory reads; outlives `handle`
    std::unique_ptr<zip, ZipDiscard> handle; // null when the archive could not be opened
    std::map<std::string, Entry> byName;
    uint64_t sizeLimit;
    std::ostream* log;
};
