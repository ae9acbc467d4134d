#pragma once

#include "files/DataRoot.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

class DecodedImage;

// A level's images read from its data root (inflated and checked, where archived) and decoded on
// worker threads, ahead of the thread that owns the root, which takes them one at a time, in the
// order it asks for them, and uploads them. What may run where:
//   - the owner (the GL thread) builds and destroys it and calls take; it alone plans, claims
//     and drops reads on the root, so every lookup, count and line of the root happens there;
//   - each worker fetches planned reads through an Archive::Reader of its own and decodes what it
//     fetched; it prints nothing: what the read and the decode say is kept with the image and
//     said when the owner takes it, where the serial load would have said it.
// Workers run at most `window` images ahead of the last one taken and hold at most
// heldLimit bytes of them; an image asked for out of the planned order lets those planned before
// it go. Sized by the machine's cores, at most maxWorkers, never more than there are images.
class ImageReadAhead {
public:
    static constexpr unsigned maxWorkers = 8;
    static constexpr std::size_t heldLimit = std::size_t(256) << 20;

    // What decoding one file gives, and what the decode says: libjpeg's warnings as it prints
    // them on standard error, and why the bytes do not decode.
    struct Decoded {
        std::unique_ptr<DecodedImage> image; // null when the bytes do not decode
        std::string warnings;
        std::string error;
    };

    // Owner thread. `paths`, under the root, in the order they will be asked for (a path asked for
    // twice is listed twice); those the root cannot plan (missing, past its limits) are left to
    // the owner. Decodes within `maxSide` as DecodedImage does.
    ImageReadAhead(const DataRoot& root, uint32_t maxSide, const std::vector<std::string>& paths);
    // Owner thread: drops what was not taken (the root counts what was inflated of it) and waits
    // for the workers.
    ~ImageReadAhead();
    ImageReadAhead(const ImageReadAhead&) = delete;
    ImageReadAhead& operator=(const ImageReadAhead&) = delete;

    // Owner thread, where the serial load would read and decode `path`: the image (null when it
    // cannot be shown), every line of its read and decode said now on the root's log, standard
    // error and `log` as TextureResolver::decodeImage says them; nothing, with nothing said, when
    // `path` is not the next read ahead or its read ahead cannot stand: the caller decodes it.
    std::optional<std::unique_ptr<DecodedImage>> take(const std::string& path, std::ostream& log);

    // Owner thread: waits until the workers have read every image they may read before the next
    // take, for a caller that wants those read before it goes on.
    void waitForWorkers();

    // The decode of one file's bytes; any thread.
    static Decoded decode(const std::vector<unsigned char>& bytes, const std::string& path, uint32_t maxSide);

    std::size_t workerCount() const { return workers.size(); }
    // The cores this process may run on (a process held to some by taskset counts those), at least 1.
    static unsigned usableCores();

private:
    enum class State { waiting, running, done, dropped };
    struct Job {
        DataRoot::Planned planned;
        State state = State::waiting;
        DataRoot::Fetched fetched; // its bytes let go once decoded
        Decoded decoded;
        bool failed = false;       // it threw (out of memory): the owner reads it again itself
        std::size_t heldBytes = 0;
    };

    void work();
    void run(Job& job, Archive::Reader& reader) const;
    bool mayStart() const; // under `lock`
    void passOver(std::size_t end, std::unique_lock<std::mutex>& lock);
    void let(Job& job);    // under `lock`: a job the owner will not take

    const DataRoot& root;
    const uint32_t maxSide;
    std::vector<Job> jobs; // never resized while the workers run
    std::unordered_map<std::string, std::vector<std::size_t>> jobsOf; // by path as asked, in order
    std::size_t window = 0;
    std::size_t lent = 0; // archive handles lent by the root: one per worker

    std::mutex lock;
    std::condition_variable changed;
    std::size_t next = 0;   // the next job a worker starts
    std::size_t cursor = 0; // one past the last job taken or passed over
    std::size_t held = 0;   // bytes of jobs done and not yet taken
    bool stopping = false;
    std::vector<std::thread> workers;
};
