#pragma once

#include <cstddef>
#include <string>

// A file's bytes mapped read-only into memory, for reading a large file once without copying
// it: the pages come straight from the file cache. When the file cannot be opened or mapped,
// opened() is false and error() says why. Unmapped when it goes.
class MappedFile {
public:
    explicit MappedFile(const std::string& path);
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile();

    const unsigned char* data() const { return bytes; }
    std::size_t size() const { return length; }
    bool opened() const { return why.empty(); }
    const std::string& error() const { return why; }

private:
    const unsigned char* bytes = nullptr;
    std::size_t length = 0;
    std::string why;
};
