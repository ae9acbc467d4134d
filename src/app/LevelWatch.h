#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// Tells when the files a level is made of have changed and stopped changing, through inotify:
// the level file (and an archive opened as the file), the data root's archives, and every path
// the data root was asked for, found or not, so that a material script or image edited, or an
// image the level lacked added, reloads it, while a note, a backup or a screenshot beside it does
// not. Only the folders those files are in are watched (or, for a missing one, the nearest
// folder on its way that exists), never one that a link leads out of the data root.
//
// The watch's descriptor is for the caller to wait on with the window's events; drain() reads
// what the kernel queued without blocking.
class LevelWatch {
public:
    static constexpr int settleMilliseconds = 300; // quiet this long after the last change
    static constexpr std::size_t maxFolders = 256;

    struct Files {
        std::string root;                 // the data root's folder
        std::set<std::string> consulted;  // relative to it, normalized, lower-cased (DataRoot)
        std::vector<std::string> outside; // files named by their own paths: the level file, an archive
    };

    // Watching nothing (one line on standard error) when the system refuses.
    explicit LevelWatch(const Files& files);
    ~LevelWatch();
    LevelWatch(const LevelWatch&) = delete;
    LevelWatch& operator=(const LevelWatch&) = delete;

    int descriptor() const { return inotify; } // -1 when watching nothing
    // Reads what the kernel queued, at `now` (milliseconds on any steady clock): whether one of
    // the level's files changed.
    bool drain(int now);
    // At `now`: true once when a change has been followed by settleMilliseconds of quiet.
    bool settled(int now);
    // Milliseconds from `now` until a change has settled; -1 when none is waiting.
    int untilSettled(int now) const;

private:
    struct Folder {
        std::string absolute;
        std::optional<std::string> relative; // under the root, lower-cased; none when watched for outside files only
    };
    void watchFolder(const std::string& absolute, const std::string& relative);
    bool matters(const Folder& folder, const std::string& name) const;

    int inotify = -1;
    std::string root;
    std::set<std::string> consulted;
    std::set<std::string> outside;  // absolute, normalized
    std::map<int, Folder> folders;  // by watch
    std::set<std::string> watched;  // what watchFolder was given
    bool pending = false;
    int lastChange = 0;
};
