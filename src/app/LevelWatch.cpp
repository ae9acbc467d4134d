#include "app/LevelWatch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>

namespace {
constexpr uint32_t changes =
    IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE | IN_MODIFY | IN_DELETE_SELF | IN_MOVE_SELF;
} // namespace

LevelWatch::LevelWatch(const std::vector<std::string>& roots)
{
    descriptor = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (descriptor < 0) {
        std::cerr << "verdanth: cannot watch the level for changes: " << std::strerror(errno) << std::endl;
        return;
    }
    for (const std::string& root : roots)
        watch(root, depth);
}

LevelWatch::~LevelWatch()
{
    if (descriptor >= 0)
        close(descriptor);
}

void LevelWatch::watch(const std::string& folder, int levelsBelow)
{
    if (folders >= maxFolders || inotify_add_watch(descriptor, folder.c_str(), changes | IN_ONLYDIR) < 0)
        return;
    ++folders;
    if (levelsBelow == 0)
        return;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        if (entry.is_directory(error) && !entry.is_symlink(error))
            watch(entry.path().string(), levelsBelow - 1);
}

bool LevelWatch::drain()
{
    if (descriptor < 0)
        return false;
    alignas(inotify_event) char buffer[4096];
    bool changed = false;
    while (read(descriptor, buffer, sizeof buffer) > 0)
        changed = true;
    return changed;
}

bool LevelWatch::settled(int now)
{
    if (drain()) {
        pending = true;
        lastChange = now;
    }
    if (!pending || now - lastChange < settleMilliseconds)
        return false;
    pending = false;
    return true;
}
