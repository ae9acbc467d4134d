#include "files/Archive.h"

#include "files/RelativePath.h"
#include "files/ZipDirectory.h"

#include <zip.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>

// ---- libzip handles --------------------------------------------------------------------------

void Archive::ZipDiscard::operator()(zip* archive) const { zip_discard(archive); }

namespace {

struct SourceFree {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using Source = std::unique_ptr<zip_source_t, SourceFree>;

struct FileClose {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using File = std::unique_ptr<zip_file_t, FileClose>;

// libzip's error record, which owns the text it formats.
class ZipError {
public:
    ZipError() { zip_error_init(&error); }
    ~ZipError() { zip_error_fini(&error); }
    ZipError(const ZipError&) = delete;
    ZipError& operator=(const ZipError&) = delete;

    zip_error_t* get() { return &error; }

private:
    zip_error_t error;
};

std::string reason(zip_error_t* error)
{
    const char* text = zip_error_strerror(error);
    return text != nullptr ? text : "unknown error";
}

// Opens the archive a source reads, or says why not. The archive owns the source once open.
zip_t* openSource(Source source, ZipError& error, std::string& problem)
{
    if (!source) {
        problem = "cannot open the archive (" + reason(error.get()) + ")";
        return nullptr;
    }
    zip_t* opened = zip_open_from_source(source.get(), ZIP_RDONLY, error.get());
    if (opened == nullptr) {
        const bool notZip = zip_error_code_zip(error.get()) == ZIP_ER_NOZIP;
        problem = (notZip ? "not a zip archive (" : "cannot open the archive (") + reason(error.get()) + ")";
        return nullptr;
    }
    source.release();
    return opened;
}

// ---- the archive file ------------------------------------------------------------------------

// An open file descriptor, closed when dropped.
class Descriptor {
public:
    explicit Descriptor(int descriptor = -1) : descriptor(descriptor) {}
    ~Descriptor()
    {
        if (descriptor >= 0)
            ::close(descriptor);
    }
    Descriptor(Descriptor&& other) noexcept : descriptor(other.release()) {}
    Descriptor& operator=(Descriptor&&) = delete;

    int get() const { return descriptor; }
    int release() { return std::exchange(descriptor, -1); }

private:
    int descriptor;
};

bool readAt(int descriptor, uint64_t offset, unsigned char* into, std::size_t count)
{
    while (count > 0) {
        const ssize_t got = ::pread(descriptor, into, count, off_t(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        into += got;
        offset += uint64_t(got);
        count -= std::size_t(got);
    }
    return true;
}

// The open file at `path` and its status, or a problem.
Descriptor openFile(const std::string& path, struct stat& status, std::string& problem)
{
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0) {
        problem = "cannot open the archive (" + std::string(std::strerror(errno)) + ")";
        return Descriptor();
    }
    return file;
}

// Hands an open file to libzip, which closes it with the archive.
zip_t* openDescriptor(Descriptor file, ZipError& error, std::string& problem)
{
    std::FILE* stream = ::fdopen(file.get(), "rb");
    if (stream == nullptr) {
        problem = "cannot open the archive (" + std::string(std::strerror(errno)) + ")";
        return nullptr;
    }
    file.release();
    Source source(zip_source_filep_create(stream, 0, -1, error.get())); // -1: to the end of the file
    if (!source)
        std::fclose(stream);
    return openSource(std::move(source), error, problem);
}

// ---- entries ---------------------------------------------------------------------------------

// Most entries (a level's images, scripts, many levels) fit the first buffer whole, so they are
// read without a copy; an entry that claims more than it holds costs at most this.
constexpr uint64_t firstReadSize = uint64_t(4) << 20; // bytes

// Reads exactly `size` bytes of an open entry into `bytes`, then its end; says why not, or ""
// when it did.
std::string readWhole(zip_file_t* file, uint64_t size, std::vector<unsigned char>& bytes)
{
    // The buffer grows as data arrives, never past the declared size: an entry that claims
    // more than it holds costs only the bytes it really has.
    std::size_t filled = 0;
    while (filled < size) {
        if (filled == bytes.size()) {
            const uint64_t grown = std::min(size, std::max(firstReadSize, 2 * uint64_t(filled)));
            bytes.reserve(std::size_t(grown)); // exactly: resize alone may round the capacity up
            bytes.resize(std::size_t(grown));
        }
        const zip_int64_t got = zip_fread(file, bytes.data() + filled, bytes.size() - filled);
        if (got < 0)
            return reason(zip_file_get_error(file));
        if (got == 0)
            return "short read: " + std::to_string(filled) + " of " + std::to_string(size) + " bytes";
        filled += std::size_t(got);
    }
    // libzip checks the checksum only when a read finds the end, so look for it; data past the
    // declared size is as wrong as data missing.
    unsigned char extra = 0;
    const zip_int64_t beyond = zip_fread(file, &extra, 1);
    if (beyond < 0)
        return reason(zip_file_get_error(file));
    if (beyond > 0)
        return "longer than " + std::to_string(size) + " bytes";
    return "";
}

// Whether libzip read the same central directory as `directory`: the same records, names and
// stored sizes, in the same order, so that libzip's index i is record i.
bool readsAlike(zip_t* archive, const ZipDirectory& directory)
{
    if (!directory.problem.empty() || zip_get_num_entries(archive, 0) != zip_int64_t(directory.records.size()))
        return false;
    for (std::size_t index = 0; index < directory.records.size(); ++index) {
        const ZipDirectory::Record& record = directory.records[index];
        const char* raw = zip_get_name(archive, index, ZIP_FL_ENC_RAW);
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (raw == nullptr || std::strcmp(record.name.c_str(), raw) != 0 || zip_stat_index(archive, index, 0, &stat) != 0
            || !(stat.valid & ZIP_STAT_COMP_SIZE) || stat.comp_size != record.storedSize)
            return false;
    }
    return true;
}

} // namespace

// ---- opening and the index -------------------------------------------------------------------

Archive::Archive(const std::string& path, std::ostream& log, uint64_t sizeLimit)
    : archiveName(std::filesystem::path(path).filename().string()), path(path), sizeLimit(sizeLimit), log(&log)
{
    indexFile();
}

Archive::Archive(std::string name, std::vector<unsigned char> bytes, std::ostream& log, uint64_t sizeLimit)
    : archiveName(std::move(name)), memory(std::move(bytes)), sizeLimit(sizeLimit), log(&log)
{
    indexMemory();
}

Archive::~Archive() = default;
Archive::Archive(Archive&&) noexcept = default;
Archive& Archive::operator=(Archive&&) noexcept = default;

Archive::FileIdentity Archive::FileIdentity::of(const struct stat& status)
{
    return {uint64_t(status.st_dev), uint64_t(status.st_ino), uint64_t(status.st_size),
        int64_t(status.st_mtim.tv_sec), int64_t(status.st_mtim.tv_nsec)};
}

bool Archive::FileIdentity::operator==(const FileIdentity& other) const
{
    return device == other.device && inode == other.inode && size == other.size
        && modifiedSeconds == other.modifiedSeconds && modifiedNanoseconds == other.modifiedNanoseconds;
}

void Archive::indexFile()
{
    std::string problem;
    struct stat status {};
    Descriptor file = openFile(path, status, problem);
    identity = FileIdentity::of(status);
    ZipDirectory directory;
    if (file.get() >= 0) {
        const auto fromFile = [descriptor = file.get()](uint64_t offset, unsigned char* into, std::size_t count) {
            return readAt(descriptor, offset, into, count);
        };
        directory = ZipDirectory::read(identity.size, fromFile);
        ZipError error;
        handle.reset(openDescriptor(std::move(file), error, problem));
    }
    readIndex(problem, directory);
    close();
}

void Archive::indexMemory()
{
    const auto fromMemory = [this](uint64_t offset, unsigned char* into, std::size_t count) {
        std::memcpy(into, memory.data() + offset, count); // ZipDirectory asks only within the size
        return true;
    };
    const ZipDirectory directory = ZipDirectory::read(memory.size(), fromMemory);
    ZipError error;
    std::string problem;
    handle.reset(openSource(Source(zip_source_buffer_create(memory.data(), memory.size(), 0, error.get())), error,
        problem));
    readIndex(problem, directory);
}

// An entry that passed every check of its own, waiting for the check against the others.
struct Archive::Candidate {
    std::string stored;
    Entry entry;
};

void Archive::readIndex(const std::string& openProblem, const ZipDirectory& directory)
{
    if (!handle) {
        complainOfArchive(openProblem);
        return;
    }
    if (!readsAlike(handle.get(), directory)) {
        const std::string why = directory.problem.empty() ? "its records can be read in more than one way" : directory.problem;
        complainOfArchive("cannot read the central directory (" + why + ")");
        handle.reset();
        return;
    }
    indexed = true;
    std::vector<Candidate> candidates;
    std::vector<ZipDirectory::Record> places;
    for (uint64_t index = 0; index < directory.records.size(); ++index)
        if (std::optional<Candidate> candidate = checkEntry(index, directory.records[index])) {
            candidates.push_back(std::move(*candidate));
            const ZipDirectory::Record& record = directory.records[index];
            places.push_back({"", record.storedSize, record.begin, record.end, ""}); // the name is not needed
        }
    const std::vector<bool> overlapping = ZipDirectory::overlapping(places);
    for (std::size_t at = 0; at < candidates.size(); ++at) {
        const Candidate& candidate = candidates[at];
        if (overlapping[at]) {
            complain(*log, candidate.stored, "entry data overlaps another entry's");
            continue;
        }
        const auto [kept, added] = byName.emplace(RelativePath::lowerCase(candidate.entry.name), candidate.entry);
        if (!added)
            complain(*log, candidate.stored,
                "entry name repeats " + RelativePath::printable(kept->second.name) + ", which is kept");
    }
}

std::optional<Archive::Candidate> Archive::checkEntry(uint64_t index, const ZipDirectory::Record& place) const
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    const bool known = zip_stat_index(handle.get(), index, 0, &stat) == 0 && (stat.valid & ZIP_STAT_NAME)
        && (stat.valid & ZIP_STAT_SIZE) && stat.name != nullptr;
    if (!known) {
        complain(*log, "entry " + std::to_string(index), "cannot be read (" + reason(zip_get_error(handle.get())) + ")");
        return std::nullopt;
    }
    const std::string stored = stat.name;
    if (!stored.empty() && (stored.back() == '/' || stored.back() == '\\'))
        return std::nullopt; // a directory: it holds no data, and files under it are entries of their own
    const std::string problem = RelativePath::problem(stored);
    if (!problem.empty()) {
        complain(*log, stored, "entry name " + problem);
        return std::nullopt;
    }
    if (stat.size > sizeLimit) {
        complain(*log, stored, "entry is " + std::to_string(stat.size) + " bytes, over the " + std::to_string(sizeLimit)
            + "-byte limit");
        return std::nullopt;
    }
    if (!place.problem.empty()) {
        complain(*log, stored, "entry cannot be opened (" + place.problem + ")");
        return std::nullopt;
    }
    return Candidate{stored, Entry{RelativePath::normalized(stored), index, stat.size}};
}

// ---- reading ---------------------------------------------------------------------------------

const Archive::Entry* Archive::find(const std::string& name) const
{
    const auto found = byName.find(RelativePath::lowerCase(RelativePath::normalized(name)));
    return found == byName.end() ? nullptr : &found->second;
}

std::optional<std::vector<unsigned char>> Archive::read(const std::string& name) const
{
    const Entry* entry = find(name);
    if (entry == nullptr)
        return std::nullopt;
    if (entry->size == 0) {
        complain(*log, entry->name, "entry is empty");
        return std::nullopt;
    }
    if (!reopen())
        return std::nullopt;
    return readEntry(handle.get(), *entry, *log);
}

Archive::Reader::Reader() = default;
Archive::Reader::~Reader() = default;

bool Archive::readSeparately(const Entry& entry, Reader& reader, std::ostream& lines,
    std::optional<std::vector<unsigned char>>& bytes) const
{
    bytes.reset();
    if (entry.size == 0) {
        complain(lines, entry.name, "entry is empty");
        return true;
    }
    if (reader.of != this || !reader.handle) {
        reader.handle.reset(); // one file open at a time
        reader.of = nullptr;
        std::string unsaid;
        bool changed = false;
        reader.handle = openAgain(unsaid, changed);
        if (!reader.handle)
            return false;
        reader.of = this;
    }
    bytes = readEntry(reader.handle.get(), entry, lines);
    return true;
}

void Archive::close() const
{
    if (!path.empty())
        handle.reset();
}

bool Archive::reopen() const
{
    if (handle)
        return true;
    if (unreadable || !indexed)
        return false;
    unreadable = true; // until it opens as the same file
    std::string problem;
    bool changed = false;
    handle = openAgain(problem, changed);
    if (changed) {
        complainOfArchive("changed since it was indexed; its entries now read as missing");
        return false;
    }
    if (!handle) {
        complainOfArchive(problem + "; its entries now read as missing");
        return false;
    }
    unreadable = false;
    return true;
}

// A libzip handle of its own on the bytes indexed: the file opened again when it is still the
// one indexed (`changed` when it is another), or the memory. Reads only what never changes
// after indexing, so any thread may call it.
Archive::Handle Archive::openAgain(std::string& problem, bool& changed) const
{
    ZipError error;
    if (path.empty())
        return Handle(openSource(Source(zip_source_buffer_create(memory.data(), memory.size(), 0, error.get())),
            error, problem));
    struct stat status {};
    Descriptor file = openFile(path, status, problem);
    if (file.get() < 0)
        return nullptr;
    if (!(FileIdentity::of(status) == identity)) {
        changed = true;
        return nullptr;
    }
    return Handle(openDescriptor(std::move(file), error, problem));
}

std::optional<std::vector<unsigned char>> Archive::readEntry(zip* opened, const Entry& entry, std::ostream& lines) const
{
    const File file(zip_fopen_index(opened, entry.index, 0));
    if (!file) {
        complain(lines, entry.name, "entry cannot be opened (" + reason(zip_get_error(opened)) + ")");
        return std::nullopt;
    }
    std::vector<unsigned char> bytes;
    const std::string problem = readWhole(file.get(), entry.size, bytes);
    if (!problem.empty()) {
        complain(lines, entry.name, "entry data is corrupt (" + problem + ")");
        return std::nullopt;
    }
    return bytes;
}

void Archive::complainOfArchive(const std::string& what) const
{
    *log << RelativePath::printable(archiveName) << ": " << what << '\n';
}

void Archive::complain(std::ostream& lines, const std::string& entryName, const std::string& what) const
{
    lines << RelativePath::printable(archiveName) << ": " << RelativePath::printable(entryName) << ": " << what << '\n';
}
