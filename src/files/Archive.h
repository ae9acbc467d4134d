#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "files/ZipDirectory.h"

struct zip;  // libzip's archive handle, zip_t
struct stat; // a file's status, <sys/stat.h>

// One zip archive (a .pk3) opened read-only. Its index is read once, at construction; entries
// are then read by name, case-insensitively. Bad bytes never throw: a refused entry, a corrupt
// entry or an archive that cannot be opened gives one line on the log stream naming the archive
// and the entry, and then reads as missing. Entries whose data share bytes with another's are
// refused, so no byte of the archive is inflated twice. An archive file is open only while its
// index is read and then from a read until close(), so that its owner decides how many files
// stay open; a file that is no longer the one indexed (another size, time or inode) is not
// read again. Not for two threads at once: a read moves libzip's state.
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
    bool opened() const { return indexed; } // false: it could not be read, and is empty

    // Every indexed entry, by lower-cased name.
    const std::map<std::string, Entry>& entries() const { return byName; }
    // The entry `name` spells in any case or with backslashes; nullptr when not indexed.
    const Entry* find(const std::string& name) const;

    // The whole entry, exactly its declared size, its checksum verified; nothing when it is not
    // indexed, or, after a line on the log, when it is empty, its data is broken or the file
    // cannot be opened again.
    std::optional<std::vector<unsigned char>> read(const std::string& name) const;

    // Lets the file go (an archive in memory stays as it is); the next read opens it again.
    void close() const;
    // Whether read may still open the file: false once it could not be opened again as the
    // file indexed (its entries read as missing from then on).
    bool readable() const { return indexed && !unreadable; }

private:
    struct ZipDiscard {
        void operator()(zip* archive) const;
    };
    using Handle = std::unique_ptr<zip, ZipDiscard>;

public:
    // A handle of its own on one archive at a time, for one thread that is not the archive
    // owner's: at most one archive file open, until it moves to another archive or is dropped.
    class Reader {
    public:
        Reader();
        ~Reader();
        Reader(const Reader&) = delete;
        Reader& operator=(const Reader&) = delete;

    private:
        friend class Archive;
        const Archive* of = nullptr;
        Handle handle;
    };

    // Any thread, with a Reader no other thread uses, while the owner goes on reading: what
    // read(entry's name) gives, into `bytes`, its lines on `lines` rather than the archive's
    // log. False, with nothing read or said, when the file cannot be opened again as the file
    // indexed; read then says why.
    bool readSeparately(const Entry& entry, Reader& reader, std::ostream& lines,
        std::optional<std::vector<unsigned char>>& bytes) const;

private:
    // What tells a file from the one indexed, when it is opened again.
    struct FileIdentity {
        uint64_t device = 0, inode = 0, size = 0;
        int64_t modifiedSeconds = 0, modifiedNanoseconds = 0;

        static FileIdentity of(const struct stat& status);
        bool operator==(const FileIdentity& other) const;
    };
    struct Candidate;

    void indexFile();
    void indexMemory();
    void readIndex(const std::string& openProblem, const ZipDirectory& directory);
    std::optional<Candidate> checkEntry(uint64_t index, const ZipDirectory::Record& place) const;
    bool reopen() const;
    Handle openAgain(std::string& problem, bool& changed) const;
    std::optional<std::vector<unsigned char>> readEntry(zip* opened, const Entry& entry, std::ostream& lines) const;
    void complain(std::ostream& lines, const std::string& entryName, const std::string& what) const;
    void complainOfArchive(const std::string& what) const;

    std::string archiveName;
    std::string path;                                // "" for an archive in memory
    FileIdentity identity;                           // of the file indexed
    std::vector<unsigned char> memory;               // what an archive in memory reads; outlives `handle`
    mutable Handle handle;                           // null while closed or when it could not be opened
    mutable bool unreadable = false;                 // could not be opened again: entries read as missing
    bool indexed = false;
    std::map<std::string, Entry> byName;
    uint64_t sizeLimit;
    std::ostream* log;
};
