#include "app/LevelWatch.h"

#include "files/RelativePath.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>

namespace fs = std::filesystem;

namespace {

constexpr uint32_t changes =
    IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE | IN_DELETE_SELF | IN_MOVE_SELF;

std::string parentOf(const std::string& relative)
{
    const std::size_t slash = relative.rfind('/');
    return slash == std::string::npos ? std::string() : relative.substr(0, slash);
}

bool isArchiveName(const std::string& lowerName)
{
    const auto endsWith = [&](const char* ending) {
        const std::size_t length = std::strlen(ending);
        return lowerName.size() > length && lowerName.compare(lowerName.size() - length, length, ending) == 0;
    };
    return endsWith(".pk3") || endsWith(".zip");
}

// The folder on the disk that `relative` (lower-cased) names under `root`, each component found
// in any case; where one is missing, the deepest that exists, and `relative` cut to it.
fs::path existingFolder(const fs::path& root, std::string& relative)
{
    fs::path folder = root;
    std::string reached;
    std::size_t start = 0;
    while (start < relative.size()) {
        const std::size_t slash = relative.find('/', start);
        const std::string component = relative.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        std::error_code error;
        fs::path next;
        for (const auto& entry : fs::directory_iterator(folder, error))
            if (entry.is_directory(error) && RelativePath::lowerCase(entry.path().filename().string()) == component) {
                next = entry.path();
                break;
            }
        if (next.empty())
            break;
        folder = next;
        reached += (reached.empty() ? "" : "/") + component;
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    relative = reached;
    return folder;
}

bool staysInside(const fs::path& folder, const fs::path& root)
{
    std::error_code error;
    const fs::path real = fs::canonical(folder, error);
    const fs::path realRoot = fs::canonical(root, error);
    if (error)
        return false;
    const auto [rootEnd, folderAt] = std::mismatch(realRoot.begin(), realRoot.end(), real.begin(), real.end());
    return rootEnd == realRoot.end();
}

} // namespace

LevelWatch::LevelWatch(const Files& files) : root(files.root), consulted(files.consulted)
{
    inotify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify < 0) {
        std::cerr << "verdanth: cannot watch the level for changes: " << std::strerror(errno) << std::endl;
        return;
    }
    for (const std::string& file : files.outside) {
        const fs::path absolute = fs::absolute(file).lexically_normal();
        outside.insert(absolute.string());
        watchFolder(absolute.parent_path().string(), "");
    }
    if (root.empty())
        return;
    watchFolder(root, ".");
    for (const std::string& path : consulted) {
        std::string relative = parentOf(path);
        const fs::path folder = existingFolder(root, relative);
        if (staysInside(folder, root))
            watchFolder(folder.string(), relative.empty() ? "." : relative);
    }
}

LevelWatch::~LevelWatch()
{
    if (inotify >= 0)
        close(inotify);
}

// `relative`: the folder under the root, lower-cased ("." for the root itself), or "" for a
// folder watched only for the outside files in it.
void LevelWatch::watchFolder(const std::string& absolute, const std::string& relative)
{
    const std::string key = relative + '\n' + absolute;
    if (watched.count(key) || watched.size() >= maxFolders)
        return;
    const int watch = inotify_add_watch(inotify, absolute.c_str(), changes | IN_ONLYDIR);
    if (watch < 0)
        return;
    watched.insert(key);
    Folder& folder = folders[watch];
    folder.absolute = fs::path(absolute).lexically_normal().string();
    if (!relative.empty())
        folder.relative = relative == "." ? "" : relative;
}

bool LevelWatch::matters(const Folder& folder, const std::string& name) const
{
    if (outside.count((fs::path(folder.absolute) / name).lexically_normal().string()))
        return true;
    if (!folder.relative)
        return false;
    const std::string lower = RelativePath::lowerCase(name);
    const std::string path = folder.relative->empty() ? lower : *folder.relative + "/" + lower;
    if (consulted.count(path) || (folder.relative->empty() && isArchiveName(lower)))
        return true;
    // A folder on the way to a file looked for: made, moved or removed.
    const auto after = consulted.lower_bound(path + "/");
    return after != consulted.end() && after->compare(0, path.size() + 1, path + "/") == 0;
}

bool LevelWatch::drain(int now)
{
    if (inotify < 0)
        return false;
    alignas(inotify_event) char buffer[4096];
    bool changed = false;
    ssize_t length;
    while ((length = read(inotify, buffer, sizeof buffer)) > 0) {
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            const auto folder = folders.find(event->wd);
            if ((event->mask & (IN_Q_OVERFLOW | IN_DELETE_SELF | IN_MOVE_SELF)) != 0)
                changed = true; // events were lost, or a watched folder itself went
            else if (folder != folders.end() && event->len > 0 && matters(folder->second, event->name))
                changed = true;
        }
    }
    if (changed) {
        pending = true;
        lastChange = now;
    }
    return changed;
}

bool LevelWatch::settled(int now)
{
    drain(now);
    if (!pending || now - lastChange < settleMilliseconds)
        return false;
    pending = false;
    return true;
}

int LevelWatch::untilSettled(int now) const
{
    if (!pending)
        return -1;
    return std::max(0, settleMilliseconds - (now - lastChange));
}
