#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Where each entry's data lies in a zip archive: the one thing libzip reads but does not tell.
// Entries whose data share bytes (many directory records over one deflated stream, a "zip
// bomb") would make a small archive cost minutes of inflating, so they are found here, before
// libzip inflates anything. Only the fixed-size records are read: the end record (and its
// zip64 form), each central directory record and each entry's local header, every length
// checked against the archive's size. The central directory is searched for as libzip searches
// for it; an archive with two that read consistently is refused, since which one libzip
// would use cannot be told.
struct ZipDirectory {
    // Reads `count` bytes at `offset` of the archive into `into`; false when it cannot.
    using ReadAt = std::function<bool(uint64_t offset, unsigned char* into, std::size_t count)>;

    struct Record {
        std::string name;         // the stored bytes, as libzip's raw name gives them
        uint64_t storedSize = 0;  // compressed bytes, as the central directory declares
        uint64_t begin = 0;       // the first byte of the local header
        uint64_t end = 0;         // one past the stored data; 0 when `problem` says why not known
        std::string problem;      // "" when the data's place is known and inside the archive
    };

    std::vector<Record> records; // in the order stored, which is libzip's index order
    std::string problem;         // why no central directory could be read ("" when one was)

    static constexpr std::size_t maxEndRecordsTried = 8; // consistent or not, before giving up

    static ZipDirectory read(uint64_t archiveSize, const ReadAt& readAt);

    // For each record, whether its bytes (local header and data) share one with another
    // record's; records with a problem take no part.
    static std::vector<bool> overlapping(const std::vector<Record>& records);
};
