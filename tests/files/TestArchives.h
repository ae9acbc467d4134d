#pragma once

#include "TestFiles.h"

#include <zip.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

// Zip archives written for a test with libzip, and the byte surgery that breaks them the way a
// damaged download or a hostile archive would.
namespace testarchives {

using Bytes = std::vector<unsigned char>;

enum class Storage { deflated, stored, directory };

struct TestEntry {
    std::string name;
    std::string contents;
    Storage storage = Storage::deflated;
};

// Writes the entries, in order, to `fileName` in `folder`; returns the archive's path.
inline std::string writeZip(const testsupport::TempDir& folder, const std::string& fileName,
    const std::vector<TestEntry>& entries)
{
    const std::string path = folder.path() + fileName;
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (archive == nullptr)
        throw std::runtime_error(path + ": cannot create, libzip error " + std::to_string(code));
    for (const TestEntry& entry : entries) {
        zip_int64_t index = -1;
        if (entry.storage == Storage::directory) {
            index = zip_dir_add(archive, entry.name.c_str(), ZIP_FL_ENC_UTF_8);
        } else {
            // The contents live in `entries` until zip_close, which is when libzip reads them.
            zip_source_t* source = zip_source_buffer(archive, entry.contents.data(), entry.contents.size(), 0);
            index = source == nullptr ? -1 : zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_ENC_UTF_8);
            if (index < 0)
                zip_source_free(source);
            else if (entry.storage == Storage::stored)
                zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0);
        }
        if (index < 0) {
            const std::string reason = zip_strerror(archive);
            zip_discard(archive);
            throw std::runtime_error(path + ": cannot add " + entry.name + ": " + reason);
        }
    }
    if (zip_close(archive) != 0) {
        const std::string reason = zip_strerror(archive);
        zip_discard(archive);
        throw std::runtime_error(path + ": cannot write: " + reason);
    }
    return path;
}

inline Bytes readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(bytes.data()),
        std::streamsize(bytes.size()));
}

// The offset of the record with this 4-byte signature that is followed, `nameAt` bytes after
// it starts, by `name`.
inline std::size_t findRecord(const Bytes& file, const char* signature, std::size_t nameAt, const std::string& name)
{
    for (std::size_t at = 0; at + nameAt + name.size() <= file.size(); ++at)
        if (std::memcmp(&file[at], signature, 4) == 0 && std::memcmp(&file[at + nameAt], name.data(), name.size()) == 0)
            return at;
    throw std::runtime_error("no record for " + name);
}

inline uint16_t little16(const Bytes& file, std::size_t at) { return uint16_t(file[at] | file[at + 1] << 8); }

inline void putLittle32(Bytes& file, std::size_t at, uint32_t value)
{
    for (int byte = 0; byte < 4; ++byte)
        file[at + std::size_t(byte)] = uint8_t(value >> (8 * byte));
}

// The first byte of an entry's stored (possibly compressed) data.
inline std::size_t dataOffset(const Bytes& file, const std::string& name)
{
    const std::size_t local = findRecord(file, "PK\3\4", 30, name);
    return local + 30 + little16(file, local + 26) + little16(file, local + 28);
}

// Makes the local and central headers declare another uncompressed size for the entry.
inline void setDeclaredSize(const std::string& path, const std::string& name, uint32_t size)
{
    Bytes file = readBytes(path);
    putLittle32(file, findRecord(file, "PK\3\4", 30, name) + 22, size);
    putLittle32(file, findRecord(file, "PK\1\2", 46, name) + 24, size);
    writeBytes(path, file);
}

// XORs one byte of the entry's data, `offset` bytes into it.
inline void flipDataByte(const std::string& path, const std::string& name, std::size_t offset, uint8_t mask)
{
    Bytes file = readBytes(path);
    file.at(dataOffset(file, name) + offset) ^= mask;
    writeBytes(path, file);
}

} // namespace testarchives
