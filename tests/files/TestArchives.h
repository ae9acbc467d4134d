#pragma once

#include "TestFiles.h"

#include <zip.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
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

inline void putLittle16(Bytes& file, std::size_t at, uint16_t value)
{
    file[at] = uint8_t(value);
    file[at + 1] = uint8_t(value >> 8);
}

inline uint32_t little32(const Bytes& file, std::size_t at)
{
    return uint32_t(little16(file, at)) | uint32_t(little16(file, at + 2)) << 16;
}

inline void append(Bytes& to, const Bytes& bytes) { to.insert(to.end(), bytes.begin(), bytes.end()); }

// An archive as libzip writes one (no comment, no zip64), cut where its central directory
// starts, so that a test can build another directory over the same entries.
struct SplitArchive {
    Bytes entries;              // every local header and its data
    std::vector<Bytes> records; // the central directory's records, in order
};

inline SplitArchive split(const Bytes& file)
{
    const std::size_t end = file.size() - 22;
    const std::size_t directory = little32(file, end + 16);
    SplitArchive parts{Bytes(file.begin(), file.begin() + long(directory)), {}};
    for (std::size_t at = directory; at < end;) {
        const std::size_t size = 46u + little16(file, at + 28) + little16(file, at + 30) + little16(file, at + 32);
        parts.records.emplace_back(file.begin() + long(at), file.begin() + long(at + size));
        at += size;
    }
    return parts;
}

// The record of `split` whose name is `name`.
inline Bytes& recordNamed(SplitArchive& parts, const std::string& name)
{
    for (Bytes& record : parts.records)
        if (std::string(record.begin() + 46, record.begin() + 46 + little16(record, 28)) == name)
            return record;
    throw std::runtime_error("no record for " + name);
}

// The same record (the same local header and data) under another name.
inline Bytes renamed(const Bytes& record, const std::string& name)
{
    Bytes copy(record.begin(), record.begin() + 46);
    putLittle16(copy, 28, uint16_t(name.size()));
    putLittle16(copy, 30, 0);
    putLittle16(copy, 32, 0);
    copy.insert(copy.end(), name.begin(), name.end());
    return copy;
}

// The record with its sizes and local header offset moved into a zip64 extra field.
inline Bytes asZip64(const Bytes& record)
{
    Bytes copy(record.begin(), record.begin() + 46 + little16(record, 28));
    Bytes extra = {1, 0, 24, 0};
    for (const std::size_t field : {24, 20, 42}) { // uncompressed size, stored size, local offset
        for (int byte = 0; byte < 8; ++byte)
            extra.push_back(byte < 4 ? record[field + std::size_t(byte)] : 0);
        putLittle32(copy, field, 0xffffffff);
    }
    putLittle16(copy, 30, uint16_t(extra.size()));
    putLittle16(copy, 32, 0);
    append(copy, extra);
    return copy;
}

inline Bytes endRecord(std::size_t count, std::size_t directorySize, std::size_t directoryOffset,
    std::size_t commentSize)
{
    Bytes end = {'P', 'K', 5, 6, 0, 0, 0, 0};
    end.resize(22);
    putLittle16(end, 8, uint16_t(std::min<std::size_t>(count, 0xffff)));
    putLittle16(end, 10, uint16_t(std::min<std::size_t>(count, 0xffff)));
    putLittle32(end, 12, uint32_t(directorySize));
    putLittle32(end, 16, uint32_t(directoryOffset));
    putLittle16(end, 20, uint16_t(commentSize));
    return end;
}

// The entries, then `records` as the central directory and an end record with `comment`.
inline Bytes assemble(const SplitArchive& parts, const Bytes& comment = {})
{
    Bytes file = parts.entries;
    for (const Bytes& record : parts.records)
        append(file, record);
    append(file, endRecord(parts.records.size(), file.size() - parts.entries.size(), parts.entries.size(),
        comment.size()));
    append(file, comment);
    return file;
}

// As assemble, with a zip64 end record and locator, the plain end record's fields saturated.
inline Bytes assembleZip64(const SplitArchive& parts)
{
    Bytes file = parts.entries;
    for (const Bytes& record : parts.records)
        append(file, record);
    const uint64_t size = file.size() - parts.entries.size(), offset = parts.entries.size();
    const uint64_t zip64EndAt = file.size();
    Bytes zip64End = {'P', 'K', 6, 6, 44, 0, 0, 0, 0, 0, 0, 0, 45, 0, 45, 0};
    zip64End.resize(56);
    for (const auto& [at, value] : {std::pair<std::size_t, uint64_t>{24, parts.records.size()},
             {32, parts.records.size()}, {40, size}, {48, offset}})
        for (int byte = 0; byte < 8; ++byte)
            zip64End[at + std::size_t(byte)] = uint8_t(value >> (8 * byte));
    append(file, zip64End);
    Bytes locator = {'P', 'K', 6, 7, 0, 0, 0, 0};
    for (int byte = 0; byte < 8; ++byte)
        locator.push_back(uint8_t(zip64EndAt >> (8 * byte)));
    append(locator, {1, 0, 0, 0});
    append(file, locator);
    Bytes end = endRecord(0xffff, 0, 0, 0);
    putLittle32(end, 12, 0xffffffff);
    putLittle32(end, 16, 0xffffffff);
    append(file, end);
    return file;
}

// XORs one byte of the entry's data, `offset` bytes into it.
inline void flipDataByte(const std::string& path, const std::string& name, std::size_t offset, uint8_t mask)
{
    Bytes file = readBytes(path);
    file.at(dataOffset(file, name) + offset) ^= mask;
    writeBytes(path, file);
}

} // namespace testarchives
