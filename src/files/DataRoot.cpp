#include "files/DataRoot.h"

#include "files/RelativePath.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>
#include <utility>

namespace fs = std::filesystem;

namespace {

bool endsWith(const std::string& text, const std::string& ending)
{
    return text.size() >= ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

bool isArchiveName(const std::string& fileName)
{
    const std::string lower = RelativePath::lowerCase(fileName);
    return endsWith(lower, ".pk3") || endsWith(lower, ".zip");
}

bool isFile(const fs::path& path)
{
    std::error_code ignored;
    return fs::is_regular_file(path, ignored);
}

bool isThere(const fs::path& path)
{
    std::error_code ignored;
    return fs::exists(path, ignored);
}

std::string joined(const std::string& folder, const std::string& name)
{
    return folder.empty() ? name : folder + '/' + name;
}

using Found = std::map<std::string, DataRoot::Listed>; // by lower-cased path

// The entries directly in `folder` (normalized) whose lower-cased names end with `ending`.
void listArchived(const Archive& archive, const std::string& folder, const std::string& ending, Found& found)
{
    const std::string prefix = folder.empty() ? "" : RelativePath::lowerCase(folder) + '/';
    const auto& entries = archive.entries();
    for (auto at = entries.lower_bound(prefix); at != entries.end() && at->first.compare(0, prefix.size(), prefix) == 0;
         ++at)
        if (at->first.find('/', prefix.size()) == std::string::npos && endsWith(at->first, ending))
            found[at->first] = DataRoot::Listed{at->second.name, archive.name()};
}

struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

// ---- opening ---------------------------------------------------------------------------------

DataRoot::DataRoot(std::string folder, bool searchArchives, std::ostream& log, uint64_t sizeLimit,
    uint64_t inflatedLimit)
    : root(std::move(folder)), log(&log), sizeLimit(sizeLimit), inflatedLimit(inflatedLimit)
{
    std::error_code error;
    resolvedRoot = fs::canonical(root, error);
    if (error)
        resolvedRoot.clear();
    if (searchArchives)
        openArchives();
}

DataRoot::DataRoot(std::string folder, const std::string& firstArchive, std::ostream& log)
    : DataRoot(std::move(folder), false, log)
{
    openArchives(firstArchive);
}

void DataRoot::openArchives(const std::string& firstArchive)
{
    std::vector<fs::path> found;
    std::error_code error;
    for (fs::directory_iterator at(root, error), end; !error && at != end; at.increment(error))
        if (isArchiveName(at->path().filename().string()) && isFile(at->path()))
            found.push_back(at->path());
    if (error) {
        *log << root << ": cannot list the folder (" << error.message() << ")\n";
        return;
    }
    // Byte order of the file names decides which archive overrides which, on every system.
    std::sort(found.begin(), found.end(), [](const fs::path& a, const fs::path& b) {
        return a.filename().string() < b.filename().string();
    });
    if (!firstArchive.empty()) {
        const auto same = [&](const fs::path& path) {
            std::error_code unrelated; // a path that cannot be compared is another file
            return fs::equivalent(path, firstArchive, unrelated);
        };
        found.erase(std::remove_if(found.begin(), found.end(), same), found.end());
        found.push_back(firstArchive); // the last wins
    }
    archivesByName.reserve(found.size()); // openByAge and archiveHolding point into it
    for (const fs::path& path : found)
        archivesByName.emplace_back(path.string(), *log, sizeLimit);
    for (const Archive& archive : archivesByName)
        for (const auto& [lowerName, entry] : archive.entries())
            archiveHolding[lowerName] = &archive;
}

// ---- lookups ---------------------------------------------------------------------------------

DataRoot::Location DataRoot::locate(const std::string& path) const
{
    if (!RelativePath::problem(path).empty())
        return {};
    const std::string normalized = RelativePath::normalized(path);
    if (quietLookups == 0)
        consulted.insert(RelativePath::lowerCase(normalized));
    if (std::optional<std::string> loose = findLoose(normalized))
        return {std::move(loose), nullptr};
    if (inflatedLimitReached)
        return {};
    const auto archived = archiveHolding.find(RelativePath::lowerCase(normalized));
    return {std::nullopt, archived == archiveHolding.end() ? nullptr : archived->second};
}

std::optional<std::string> DataRoot::findLoose(const std::string& normalizedPath) const
{
    std::optional<std::string> found = resolve(normalizedPath);
    if (!found || !isFile(fs::path(root) / *found) || !staysInside(*found))
        return std::nullopt;
    return found;
}

// The existing file or folder a normalized path names, relative and spelled as on the disk: the
// exact name when it exists, else each component matched in any case, one folder at a time.
std::optional<std::string> DataRoot::resolve(const std::string& normalizedPath) const
{
    if (isThere(fs::path(root) / normalizedPath))
        return normalizedPath;
    std::string at;
    std::size_t start = 0;
    while (start <= normalizedPath.size()) {
        const std::size_t slash = std::min(normalizedPath.find('/', start), normalizedPath.size());
        const std::string component = normalizedPath.substr(start, slash - start);
        start = slash + 1;
        if (isThere(fs::path(root) / joined(at, component))) {
            at = joined(at, component);
            continue;
        }
        const FolderIndex& names = folderIndex(at);
        const auto match = names.find(RelativePath::lowerCase(component));
        if (match == names.end())
            return std::nullopt;
        at = joined(at, match->second);
    }
    return at;
}

const DataRoot::FolderIndex& DataRoot::folderIndex(const std::string& relativeFolder) const
{
    const auto [index, added] = folderIndexes.try_emplace(relativeFolder);
    if (!added)
        return index->second;
    ++listings;
    std::error_code error;
    for (fs::directory_iterator at(fs::path(root) / relativeFolder, error), end; !error && at != end;
         at.increment(error)) {
        const std::string name = at->path().filename().string();
        const auto [kept, first] = index->second.try_emplace(RelativePath::lowerCase(name), name);
        if (!first && name < kept->second)
            kept->second = name;
    }
    return index->second;
}

// Whether the file, every link on its way resolved, still lies inside the resolved root; a
// file that does not is named on the log once, without anything read from where it leads.
bool DataRoot::staysInside(const std::string& relativePath) const
{
    std::error_code error;
    const fs::path target = fs::canonical(fs::path(root) / relativePath, error);
    if (!error && !resolvedRoot.empty()) {
        const auto [rootLeft, targetLeft] =
            std::mismatch(resolvedRoot.begin(), resolvedRoot.end(), target.begin(), target.end());
        if (rootLeft == resolvedRoot.end())
            return true;
    }
    if (quietLookups == 0 && refusedLinks.insert(relativePath).second)
        complain(*log, relativePath, "a link leads out of the data root; not read");
    return false;
}

std::optional<std::vector<unsigned char>> DataRoot::read(const std::string& path) const
{
    const Location location = locate(path);
    if (location.loose)
        return readLoose(*location.loose, *log);
    if (location.archive != nullptr)
        return readArchived(*location.archive, RelativePath::normalized(path));
    return std::nullopt;
}

bool DataRoot::contains(const std::string& path) const
{
    const Location location = locate(path);
    return location.loose || location.archive != nullptr;
}

std::optional<uint64_t> DataRoot::sizeOf(const std::string& path) const
{
    const Location location = locate(path);
    if (location.loose) {
        std::error_code error;
        const uintmax_t size = fs::file_size(fs::path(root) / *location.loose, error);
        return error ? std::nullopt : std::optional<uint64_t>(size);
    }
    if (location.archive != nullptr)
        return location.archive->find(RelativePath::normalized(path))->size;
    return std::nullopt;
}

std::string DataRoot::originOf(const std::string& path) const
{
    const Location location = locate(path);
    if (location.loose)
        return "loose";
    return location.archive != nullptr ? location.archive->name() : "";
}

std::vector<DataRoot::Listed> DataRoot::list(const std::string& folder, const std::string& extension) const
{
    const std::string problem = RelativePath::problem(folder);
    if (!problem.empty() && problem != "is empty")
        return {};
    const std::string normalized = RelativePath::normalized(folder);
    const std::string ending = RelativePath::lowerCase(extension);

    // Keyed by lower-cased path; each later source overwrites, so the winner is left.
    Found found;
    if (!inflatedLimitReached)
        for (const Archive& archive : archivesByName)
            listArchived(archive, normalized, ending, found);
    if (const std::optional<std::string> directory = resolve(normalized))
        for (const auto& [lowerName, name] : folderIndex(*directory)) {
            const std::string onDisk = joined(*directory, name);
            if (endsWith(lowerName, ending) && isFile(fs::path(root) / onDisk) && staysInside(onDisk)) {
                const std::string path = joined(normalized, name);
                found[RelativePath::lowerCase(path)] = Listed{path, "loose"};
            }
        }

    std::vector<Listed> listed;
    listed.reserve(found.size());
    for (auto& [key, file] : found)
        listed.push_back(std::move(file));
    return listed;
}

// ---- reading ---------------------------------------------------------------------------------

std::optional<std::vector<unsigned char>> DataRoot::readLoose(const std::string& relativePath, std::ostream& lines) const
{
    const fs::path file = fs::path(root) / relativePath;
    std::error_code error;
    const uintmax_t size = fs::file_size(file, error);
    if (error) {
        complain(lines, relativePath, "cannot be read (" + error.message() + ")");
        return std::nullopt;
    }
    if (size == 0) {
        complain(lines, relativePath, "file is empty");
        return std::nullopt;
    }
    if (size > sizeLimit) {
        complain(lines, relativePath,
            "file is " + std::to_string(size) + " bytes, over the " + std::to_string(sizeLimit) + "-byte limit");
        return std::nullopt;
    }
    const std::unique_ptr<std::FILE, FileClose> stream(std::fopen(file.c_str(), "rb"));
    if (!stream) {
        complain(lines, relativePath, "cannot be read (" + std::string(std::strerror(errno)) + ")");
        return std::nullopt;
    }
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), stream.get());
    if (got != bytes.size()) {
        complain(lines, relativePath,
            "cannot be read (short read: " + std::to_string(got) + " of " + std::to_string(size) + " bytes)");
        return std::nullopt;
    }
    return bytes;
}

// An entry inflates to at most its declared size (Archive reads no further), so counting
// declared sizes before reading bounds the work, however the read ends. Bytes planned for
// reading on other threads are held out of the limit until claimed or dropped, so that those
// threads' inflating stays within it too.
std::optional<std::vector<unsigned char>> DataRoot::readArchived(const Archive& archive, const std::string& path) const
{
    const uint64_t size = archive.find(path)->size;
    if (size > inflatedLimit - inflatedBytes - plannedBytes) {
        inflatedLimitReached = true;
        complain(*log, path, "reading it would take the bytes inflated from archives past the "
                + std::to_string(inflatedLimit) + "-byte limit; archived files now read as missing");
        return std::nullopt;
    }
    inflatedBytes += size;
    std::optional<std::vector<unsigned char>> bytes = archive.read(path);
    keepOpen(archive);
    return bytes;
}

void DataRoot::keepOpen(const Archive& archive) const
{
    openByAge.erase(std::remove(openByAge.begin(), openByAge.end(), &archive), openByAge.end());
    openByAge.push_back(&archive);
    closeOldest(1);
}

// Closes the least recently read archives until those open and those lent fit, keeping the
// newest `keep` open.
void DataRoot::closeOldest(std::size_t keep) const
{
    while (openByAge.size() > keep && openByAge.size() + lentHandles > maxOpenArchives) {
        openByAge.front()->close();
        openByAge.erase(openByAge.begin());
    }
}

// ---- reading on other threads ----------------------------------------------------------------

std::optional<DataRoot::Planned> DataRoot::plan(const std::string& path) const
{
    const Quietly quiet(*this);
    const Location location = locate(path);
    if (location.loose)
        return Planned{path, location.loose, nullptr, 0};
    if (location.archive == nullptr || !location.archive->readable())
        return std::nullopt;
    const uint64_t size = location.archive->find(path)->size;
    // Planning stops at the first file that does not fit, so that no later, smaller one takes
    // the bytes an earlier read will ask for.
    if (planningFull || size > inflatedLimit - inflatedBytes - plannedBytes) {
        planningFull = true;
        return std::nullopt;
    }
    plannedBytes += size;
    return Planned{path, std::nullopt, location.archive, size};
}

// Reads only what never changes once the root is built (its folder, its limits, the archives'
// indexes), so that the owner may look up and read meanwhile.
DataRoot::Fetched DataRoot::fetch(const Planned& planned, Archive::Reader& reader) const
{
    Fetched fetched;
    std::ostringstream lines;
    if (planned.loose) {
        fetched.bytes = readLoose(*planned.loose, lines);
        fetched.done = true;
    } else {
        const Archive& archive = *planned.archive;
        fetched.done = archive.readSeparately(*archive.find(planned.path), reader, lines, fetched.bytes);
    }
    fetched.lines = lines.str();
    return fetched;
}

// A claim never meets the inflated limit: the plan held its bytes out of it, and moves them in.
bool DataRoot::claim(const Planned& planned, const Fetched& fetched) const
{
    const Location location = locate(planned.path);
    const bool same = location.loose == planned.loose && location.archive == planned.archive;
    drop(planned, fetched.done && !same);
    if (!same || !fetched.done)
        return false;
    if (planned.archive != nullptr)
        inflatedBytes += planned.size;
    *log << fetched.lines;
    return true;
}

void DataRoot::drop(const Planned& planned, bool fetched) const
{
    if (planned.archive == nullptr)
        return;
    plannedBytes -= planned.size;
    if (fetched)
        inflatedBytes += planned.size; // inflated all the same
    if (plannedBytes == 0)
        planningFull = false;
}

void DataRoot::lendArchiveHandles(std::size_t count) const
{
    lentHandles += count;
    closeOldest(0);
}

void DataRoot::giveBackArchiveHandles(std::size_t count) const { lentHandles -= count; }

void DataRoot::complain(std::ostream& lines, const std::string& relativePath, const std::string& what) const
{
    const bool needsSlash = !root.empty() && root.back() != '/';
    lines << root << (needsSlash ? "/" : "") << RelativePath::printable(relativePath) << ": " << what << '\n';
}
