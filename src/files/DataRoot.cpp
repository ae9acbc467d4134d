#include "files/DataRoot.h"

#include "files/RelativePath.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
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

// The entry of `directory` named `name` in any case; the first in byte order when several
// differ only in case, so the answer does not depend on the order the disk lists them in.
std::optional<fs::path> entryInAnyCase(const fs::path& directory, const std::string& name)
{
    const std::string wanted = RelativePath::lowerCase(name);
    std::optional<fs::path> best;
    std::error_code error;
    for (fs::directory_iterator at(directory, error), end; !error && at != end; at.increment(error)) {
        const fs::path& candidate = at->path();
        if (RelativePath::lowerCase(candidate.filename().string()) == wanted && (!best || candidate < *best))
            best = candidate;
    }
    return best;
}

// The existing file or folder a normalized path names under `root`: the exact name when it
// exists, else each component matched in any case, one folder level at a time.
std::optional<fs::path> resolve(const fs::path& root, const std::string& normalizedPath)
{
    std::error_code error;
    const fs::path exact = normalizedPath.empty() ? root : root / normalizedPath;
    if (fs::exists(exact, error))
        return exact;
    fs::path at = root;
    std::size_t start = 0;
    while (start <= normalizedPath.size()) {
        const std::size_t slash = std::min(normalizedPath.find('/', start), normalizedPath.size());
        const std::string component = normalizedPath.substr(start, slash - start);
        start = slash + 1;
        if (fs::exists(at / component, error)) {
            at /= component;
            continue;
        }
        const std::optional<fs::path> match = entryInAnyCase(at, component);
        if (!match)
            return std::nullopt;
        at = *match;
    }
    return at;
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

// The files directly in `directory`, which `folder` names, whose lower-cased names end with `ending`.
void listLoose(const fs::path& directory, const std::string& folder, const std::string& ending, Found& found)
{
    std::error_code error;
    for (fs::directory_iterator at(directory, error), end; !error && at != end; at.increment(error)) {
        const std::string name = at->path().filename().string();
        if (isFile(at->path()) && endsWith(RelativePath::lowerCase(name), ending)) {
            const std::string path = folder.empty() ? name : folder + '/' + name;
            found[RelativePath::lowerCase(path)] = DataRoot::Listed{path, "loose"};
        }
    }
}

struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

// ---- opening ---------------------------------------------------------------------------------

DataRoot::DataRoot(std::string folder, bool searchArchives, std::ostream& log, uint64_t sizeLimit)
    : root(std::move(folder)), log(&log), sizeLimit(sizeLimit)
{
    if (searchArchives)
        openArchives();
}

void DataRoot::openArchives()
{
    std::vector<fs::path> found;
    std::error_code error;
    for (fs::directory_iterator at(root, error), end; !error && at != end; at.increment(error))
        if (isArchiveName(at->path().filename().string()) && isFile(at->path()))
            found.push_back(at->path());
    if (error) {
        complain(root, "cannot list the folder (" + error.message() + ")");
        return;
    }
    // Byte order of the file names decides which archive overrides which, on every system.
    std::sort(found.begin(), found.end(), [](const fs::path& a, const fs::path& b) {
        return a.filename().string() < b.filename().string();
    });
    for (const fs::path& path : found)
        archivesByName.emplace_back(path.string(), *log, sizeLimit);
}

// ---- lookups ---------------------------------------------------------------------------------

DataRoot::Location DataRoot::locate(const std::string& path) const
{
    if (!RelativePath::problem(path).empty())
        return {};
    const std::string normalized = RelativePath::normalized(path);
    if (std::optional<fs::path> loose = findLoose(normalized))
        return {std::move(loose), nullptr};
    for (auto archive = archivesByName.rbegin(); archive != archivesByName.rend(); ++archive)
        if (archive->find(normalized) != nullptr)
            return {std::nullopt, &*archive};
    return {};
}

std::optional<fs::path> DataRoot::findLoose(const std::string& normalizedPath) const
{
    std::optional<fs::path> found = resolve(root, normalizedPath);
    if (found && !isFile(*found))
        return std::nullopt;
    return found;
}

std::optional<std::vector<unsigned char>> DataRoot::read(const std::string& path) const
{
    const Location location = locate(path);
    if (location.loose)
        return readLoose(*location.loose);
    if (location.archive != nullptr)
        return location.archive->read(RelativePath::normalized(path));
    return std::nullopt;
}

bool DataRoot::contains(const std::string& path) const
{
    const Location location = locate(path);
    return location.loose || location.archive != nullptr;
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
    std::map<std::string, Listed> found;
    for (const Archive& archive : archivesByName)
        listArchived(archive, normalized, ending, found);
    if (const std::optional<fs::path> directory = resolve(root, normalized))
        listLoose(*directory, normalized, ending, found);

    std::vector<Listed> listed;
    listed.reserve(found.size());
    for (auto& [key, file] : found)
        listed.push_back(std::move(file));
    return listed;
}

// ---- loose files -----------------------------------------------------------------------------

std::optional<std::vector<unsigned char>> DataRoot::readLoose(const fs::path& file) const
{
    std::error_code error;
    const uintmax_t size = fs::file_size(file, error);
    if (error) {
        complain(file, "cannot be read (" + error.message() + ")");
        return std::nullopt;
    }
    if (size == 0) {
        complain(file, "file is empty");
        return std::nullopt;
    }
    if (size > sizeLimit) {
        complain(file,
            "file is " + std::to_string(size) + " bytes, over the " + std::to_string(sizeLimit) + "-byte limit");
        return std::nullopt;
    }
    const std::unique_ptr<std::FILE, FileClose> stream(std::fopen(file.c_str(), "rb"));
    if (!stream) {
        complain(file, "cannot be read (" + std::string(std::strerror(errno)) + ")");
        return std::nullopt;
    }
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), stream.get());
    if (got != bytes.size()) {
        complain(file,
            "cannot be read (short read: " + std::to_string(got) + " of " + std::to_string(size) + " bytes)");
        return std::nullopt;
    }
    return bytes;
}

void DataRoot::complain(const fs::path& file, const std::string& what) const
{
    *log << RelativePath::printable(file.string()) << ": " << what << '\n';
}
