#pragma once

#include <string>
#include <vector>

// Tells when the files a level is made of have changed and stopped changing: the level file's
// folder and the data root with its folders a few levels down (archives, scripts, images),
// through inotify. Nothing is read until asked; asking drains what the kernel queued, so a
// check costs one system call when nothing happened.
class LevelWatch {
public:
    static constexpr int settleMilliseconds = 300; // quiet this long after the last change
    static constexpr int depth = 3;                // folders below the data root watched
    static constexpr std::size_t maxFolders = 256;

    // Watches `folders` and the folders below each to `depth`; watching nothing (one line on
    // standard error) when the system refuses.
    explicit LevelWatch(const std::vector<std::string>& folders);
    ~LevelWatch();
    LevelWatch(const LevelWatch&) = delete;
    LevelWatch& operator=(const LevelWatch&) = delete;

    // At `now` (milliseconds on any steady clock): true once when a change has been followed by
    // settleMilliseconds of quiet.
    bool settled(int now);

private:
    void watch(const std::string& folder, int levelsBelow);
    bool drain(); // whether any change was queued

    int descriptor = -1;
    std::size_t folders = 0;
    bool pending = false;
    int lastChange = 0;
};
