#pragma once

#include <string>

// A thumbnail's bound in time: a file manager runs thumbnailers unattended, so a level that
// takes too long to read or draw (huge, or built to be slow) ends the process with status 1 and
// one line naming it, and takes the picture's temporary file with it, leaving nothing at the
// output path. One per process; the alarm is off again once it is destroyed.
class ThumbnailDeadline {
public:
    static constexpr unsigned seconds = 5;

    ThumbnailDeadline(const std::string& level, const std::string& picture);
    ~ThumbnailDeadline();
    ThumbnailDeadline(const ThumbnailDeadline&) = delete;
    ThumbnailDeadline& operator=(const ThumbnailDeadline&) = delete;
};
