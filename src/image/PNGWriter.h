#pragma once

#include <stdexcept>
#include <string>
#include <vector>

// Writes 8-bit RGB pixels to a PNG file. The file is written under a temporary name in the
// same folder and renamed when complete, so the final name never holds a partial picture,
// whatever stops the write (a full disk, a missing folder, the process killed).
class PNGWriter {
public:
    // rgb: width * height * 3 bytes, rows from the top. Throws PNGWriteError, with nothing
    // left behind, when the file cannot be written.
    static void write(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb);

    // The hidden name beside `path` that this process writes under first; `attempt` counts up
    // past names that are taken.
    static std::string temporaryPath(const std::string& path, int attempt = 0);
};

// "<path>: cannot write the picture: <reason>".
class PNGWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
