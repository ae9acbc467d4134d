#include "files/MappedFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

MappedFile::MappedFile(const std::string& path)
{
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        why = std::strerror(errno);
        return;
    }
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        why = S_ISDIR(status.st_mode) ? "is a folder" : "is not a regular file";
        close(descriptor);
        return;
    }
    length = std::size_t(status.st_size);
    if (length > 0) {
        // Populated at once: one walk through the file's pages rather than a fault for each.
        void* mapped = mmap(nullptr, length, PROT_READ, MAP_PRIVATE | MAP_POPULATE, descriptor, 0);
        if (mapped == MAP_FAILED) {
            why = std::strerror(errno);
            length = 0;
        } else {
            bytes = static_cast<const unsigned char*>(mapped);
        }
    }
    close(descriptor);
}

MappedFile::~MappedFile()
{
    if (bytes != nullptr)
        munmap(const_cast<unsigned char*>(bytes), length);
}
