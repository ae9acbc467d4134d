#include "files/Archive.h"

#include "files/RelativePath.h"

#include <zip.h>

#include <algorithm>
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

constexpr uint64_t firstReadSize = uint64_t(1) << 16; // bytes

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

} // namespace

// ---- opening and the index -------------------------------------------------------------------

Archive::Archive(const std::string& path, std::ostream& log, uint64_t sizeLimit)
    : archiveName(std::filesystem::path(path).filename().string()), sizeLimit(sizeLimit), log(&log)
{
    ZipError error;
    std::string problem;
    handle.reset(openSource(Source(zip_source_file_create(path.c_str(), 0, 0, error.get())), error, problem));
    readIndex(problem);
}

Archive::Archive(std::string name, std::vector<unsigned char> bytes, std::ostream& log, uint64_t sizeLimit)
    : archiveName(std::move(name)), memory(std::move(bytes)), sizeLimit(sizeLimit), log(&log)
{
    ZipError error;
    std::string problem;
    handle.reset(openSource(Source(zip_source_buffer_create(memory.data(), memory.size(), 0, error.get())), error,
        problem));
    readIndex(problem);
}

Archive::~Archive() = default;
Archive::Archive(Archive&&) noexcept = default;
Archive& Archive::operator=(Archive&&) noexcept = default;

void Archive::readIndex(const std::string& openProblem)
{
    if (!handle) {
        *log << RelativePath::printable(archiveName) << ": " << openProblem << '\n';
        return;
    }
    const zip_int64_t count = zip_get_num_entries(handle.get(), 0);
    for (zip_int64_t index = 0; index < count; ++index)
        indexEntry(uint64_t(index));
}

void Archive::indexEntry(uint64_t index)
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    const bool known = zip_stat_index(handle.get(), index, 0, &stat) == 0 && (stat.valid & ZIP_STAT_NAME)
        && (stat.valid & ZIP_STAT_SIZE) && stat.name != nullptr;
    if (!known) {
        complain("entry " + std::to_string(index), "cannot be read (" + reason(zip_get_error(handle.get())) + ")");
        return;
    }
    const std::string stored = stat.name;
    if (!stored.empty() && (stored.back() == '/' || stored.back() == '\\'))
        return; // a directory: it holds no data, and files under it are entries of their own
    const std::string problem = RelativePath::problem(stored);
    if (!problem.empty()) {
        complain(stored, "entry name " + problem);
        return;
    }
    if (stat.size > sizeLimit) {
        complain(stored, "entry is " + std::to_string(stat.size) + " bytes, over the " + std::to_string(sizeLimit)
            + "-byte limit");
        return;
    }
    const std::string name = RelativePath::normalized(stored);
    const auto [kept, added] = byName.emplace(RelativePath::lowerCase(name), Entry{name, index, stat.size});
    if (!added)
        complain(stored, "entry name repeats " + RelativePath::printable(kept->second.name) + ", which is kept");
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
        complain(entry->name, "entry is empty");
        return std::nullopt;
    }
    return readEntry(*entry);
}

std::optional<std::vector<unsigned char>> Archive::readEntry(const Entry& entry) const
{
    const File file(zip_fopen_index(handle.get(), entry.index, 0));
    if (!file) {
        complain(entry.name, "entry cannot be opened (" + reason(zip_get_error(handle.get())) + ")");
        return std::nullopt;
    }
    std::vector<unsigned char> bytes;
    const std::string problem = readWhole(file.get(), entry.size, bytes);
    if (!problem.empty()) {
        complain(entry.name, "entry data is corrupt (" + problem + ")");
        return std::nullopt;
    }
    return bytes;
}

void Archive::complain(const std::string& entryName, const std::string& what) const
{
    *log << RelativePath::printable(archiveName) << ": " << RelativePath::printable(entryName) << ": " << what << '\n';
}
