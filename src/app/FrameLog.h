#pragma once

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

// How long each frame took, one line of whole microseconds per frame, for long runs measured
// from outside (scripts/soak). Lines go through a stdio buffer sized once, so logging a frame
// allocates nothing; the file is flushed when the buffer fills and when the log closes.
class FrameLog {
public:
    explicit FrameLog(const std::string& path); // throws std::runtime_error naming the file
    ~FrameLog();
    FrameLog(const FrameLog&) = delete;
    FrameLog& operator=(const FrameLog&) = delete;

    void frameDone(); // the time since the previous frameDone; the first call only starts the clock
    void flush();     // every line so far written out

private:
    using Clock = std::chrono::steady_clock;

    std::FILE* file;
    std::vector<char> buffer;
    Clock::time_point previous;
    bool started = false;
};
