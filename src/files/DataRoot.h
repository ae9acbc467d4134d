#pragma once

#include "files/Archive.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The folder the viewer reads its data from and, when asked, every .pk3 and .zip archive in it,
// seen as one tree of files. A loose file wins over every archive, and a later archive (in byte
// order of the file names) wins over an earlier one. Paths are relative with forward slashes;
// archived names match in any case, and so do loose ones where the exact name is missing. A
// path that could reach outside the folder (absolute, a ".." component) is simply missing, and
// so is a loose file that a symbolic link (the file's own or a folder's on the way) leads out of
// the folder, after one line; archives directly in the folder may link anywhere.
//
// What a hostile folder can make it spend is bounded: each folder is listed once, however many
// names are looked up in it; at most maxOpenArchives archive files are open at once, however
// many there are; and the bytes inflated from archives, all reads together, stop at a limit,
// after which (and one line) archived files read as missing. Lookups fill these caches, so a
// const DataRoot is still not for two threads at once.
//
// Other threads may still take the reading itself, the inflating and checking of archived
// bytes, off the thread that owns the root: the owner plans a read (plan: where the file lies,
// found quietly), any thread fetches it (fetch: through an Archive::Reader of its own, its lines
// kept, touching nothing that lookups or reads change), and the owner claims it (claim) at the
// moment it would have read the file: the lookups, the counts and the lines happen then, in the
// owner's order, as read's would. Bytes fetched ahead count against the inflated limit from the
// plan on, claimed or not; the archive files Readers hold open are lent out of maxOpenArchives.
class DataRoot {
public:
    static constexpr uint64_t defaultInflatedLimit = uint64_t(2) << 30; // bytes, all archived reads together
    static constexpr std::size_t maxOpenArchives = 16;

    struct Listed {
        std::string path;   // relative, as the copy that wins spells it
        std::string origin; // "loose", or the file name of the archive that holds it
    };

    DataRoot(std::string folder, bool searchArchives, std::ostream& log,
        uint64_t sizeLimit = Archive::defaultSizeLimit, // bytes per file, loose or archived
        uint64_t inflatedLimit = defaultInflatedLimit);
    // The folder's archives with `firstArchive` (a path, in the folder or not, whatever its
    // name) winning over every other: an archive opened as the file.
    DataRoot(std::string folder, const std::string& firstArchive, std::ostream& log);

    // The whole file, or nothing when it is missing or, after a line on the log, unreadable.
    std::optional<std::vector<unsigned char>> read(const std::string& path) const;
    bool contains(const std::string& path) const;          // without reading any data
    std::string originOf(const std::string& path) const;   // "" when missing, else as Listed::origin
    // The winning copy's size in bytes (an archived one's as its archive declares it), without
    // reading it; nothing when it is missing.
    std::optional<uint64_t> sizeOf(const std::string& path) const;

    // The files directly in `folder` ("maps/") whose names end with `extension` (".bsp"), in any
    // case, loose and archived: one per lower-cased path, the copy that wins, sorted by path.
    std::vector<Listed> list(const std::string& folder, const std::string& extension) const;

    const std::string& folder() const { return root; }
    const std::vector<Archive>& archives() const { return archivesByName; }

    // ---- reading on other threads ----
    struct Planned {
        std::string path;                 // as asked
        std::optional<std::string> loose; // the loose file, relative as spelled on the disk
        const Archive* archive = nullptr; // or the archive that holds it
        uint64_t size = 0;                // an archived file's declared size, held against the inflated limit
    };
    struct Fetched {
        bool done = false; // false: the archive could not be opened again; the owner reads it itself
        std::optional<std::vector<unsigned char>> bytes;
        std::string lines; // what reading it says, for the log when it is claimed
    };

    // Owner thread: where read(path) would find the file, looked up quietly (no path recorded,
    // no line); nothing when it is missing, its archive unreadable, or its bytes would not fit
    // within the inflated limit beside those planned already (nor will any later archived
    // file's, until every plan is claimed or dropped).
    std::optional<Planned> plan(const std::string& path) const;
    // Any thread, with a Reader no other thread uses: the planned file's bytes.
    Fetched fetch(const Planned& planned, Archive::Reader& reader) const;
    // Owner thread, where read(planned.path) would have been: true when read would give what was
    // fetched, whose lines are printed then; false, having done nothing that read would not do
    // again, when it would not (the file's copy changed, its archive could not be opened
    // again): the caller reads it.
    bool claim(const Planned& planned, const Fetched& fetched) const;
    // Owner thread: a plan that will not be claimed; `fetched` when its bytes were inflated.
    void drop(const Planned& planned, bool fetched) const;
    // Owner thread: `count` Readers may hold an archive file open each until given back; the root
    // keeps that many fewer open itself meanwhile. At most maxOpenArchives - 1 at once.
    void lendArchiveHandles(std::size_t count) const;
    void giveBackArchiveHandles(std::size_t count) const;

    // While one lives, lookups record no path and name no link on the log (a link out of the
    // root still reads as missing): for finding out ahead what later lookups will find.
    class Quietly {
    public:
        explicit Quietly(const DataRoot& root) : root(root) { ++root.quietLookups; }
        ~Quietly() { --root.quietLookups; }
        Quietly(const Quietly&) = delete;
        Quietly& operator=(const Quietly&) = delete;

    private:
        const DataRoot& root;
    };

    std::size_t folderListings() const { return listings; } // folders listed from the disk so far
    // Every path looked up so far, found or not, normalized and lower-cased: what the data read
    // from here is made of, and where what was missing was looked for.
    const std::set<std::string>& consultedPaths() const { return consulted; }

private:
    // Where a path's winning copy is: a loose file (relative, as spelled on the disk), an
    // archive, or neither.
    struct Location {
        std::optional<std::string> loose;
        const Archive* archive = nullptr;
    };
    // A folder's names by lower-cased name; the first in byte order where several differ only
    // in case, so the answer does not depend on the order the disk lists them in.
    using FolderIndex = std::map<std::string, std::string>;

    void openArchives(const std::string& firstArchive = "");
    Location locate(const std::string& path) const;
    std::optional<std::string> findLoose(const std::string& normalizedPath) const;
    std::optional<std::string> resolve(const std::string& normalizedPath) const;
    const FolderIndex& folderIndex(const std::string& relativeFolder) const;
    bool staysInside(const std::string& relativePath) const;
    std::optional<std::vector<unsigned char>> readLoose(const std::string& relativePath, std::ostream& lines) const;
    std::optional<std::vector<unsigned char>> readArchived(const Archive& archive, const std::string& path) const;
    void keepOpen(const Archive& archive) const;
    void closeOldest(std::size_t keep) const;
    void complain(std::ostream& lines, const std::string& relativePath, const std::string& what) const;

    std::string root;
    std::filesystem::path resolvedRoot; // every link resolved; empty when that failed
    std::vector<Archive> archivesByName; // byte order of their file names
    // Each archived lower-cased name (a view of the archive's own key) and the archive that wins it.
    std::unordered_map<std::string_view, const Archive*> archiveHolding;
    std::ostream* log;
    uint64_t sizeLimit;
    uint64_t inflatedLimit;

    // Caches and counts that lookups fill.
    mutable std::map<std::string, FolderIndex> folderIndexes; // by relative folder, as spelled on the disk
    mutable std::size_t listings = 0;
    mutable std::set<std::string> refusedLinks;     // each named once on the log
    mutable std::vector<const Archive*> openByAge;  // archives open, least recently read first
    mutable uint64_t inflatedBytes = 0;             // declared sizes of archived files read so far
    mutable bool inflatedLimitReached = false;
    mutable std::set<std::string> consulted;
    mutable int quietLookups = 0;        // Quietly's alive
    mutable uint64_t plannedBytes = 0;   // declared sizes of archived files planned, not yet claimed or dropped
    mutable bool planningFull = false;   // an archived plan did not fit; none does until plannedBytes is 0
    mutable std::size_t lentHandles = 0; // archive files Readers may hold open
};
