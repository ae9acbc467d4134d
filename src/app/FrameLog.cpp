#include "app/FrameLog.h"

#include <stdexcept>

namespace {
constexpr std::size_t bufferBytes = 1 << 16;
} // namespace

FrameLog::FrameLog(const std::string& path) : file(std::fopen(path.c_str(), "w")), buffer(bufferBytes)
{
    if (file == nullptr)
        throw std::runtime_error(path + ": cannot write the frame log");
    std::setvbuf(file, buffer.data(), _IOFBF, buffer.size());
}

FrameLog::~FrameLog() { std::fclose(file); }

void FrameLog::frameDone()
{
    const Clock::time_point now = Clock::now();
    if (started) {
        const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(now - previous).count();
        std::fprintf(file, "%lld\n", static_cast<long long>(micros));
    }
    previous = now;
    started = true;
}

void FrameLog::flush() { std::fflush(file); }
