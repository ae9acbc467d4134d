#include "files/ZipDirectory.h"

#include <algorithm>
#include <cstring>
#include <optional>

// Record layouts are those of the zip format's application note: every field little-endian, at
// the offsets named below.

namespace {

constexpr uint64_t endRecordSize = 22;
constexpr uint64_t zip64LocatorSize = 20;
constexpr uint64_t zip64EndSize = 56;
constexpr uint64_t centralRecordSize = 46;
constexpr uint64_t localHeaderSize = 30;
constexpr uint64_t maxCommentSize = 0xffff;
constexpr uint32_t saturated32 = 0xffffffff; // "see the zip64 extra field"
constexpr uint16_t zip64ExtraId = 0x0001;

uint16_t little16(const unsigned char* at) { return uint16_t(at[0] | at[1] << 8); }
uint32_t little32(const unsigned char* at) { return uint32_t(little16(at)) | uint32_t(little16(at + 2)) << 16; }
uint64_t little64(const unsigned char* at) { return uint64_t(little32(at)) | uint64_t(little32(at + 4)) << 32; }

bool hasSignature(const unsigned char* at, const char* signature) { return std::memcmp(at, signature, 4) == 0; }

// What an end record says about the central directory.
struct DirectoryPlace {
    uint64_t count = 0;  // records, as the end record declares them
    uint64_t size = 0;   // bytes
    uint64_t offset = 0; // of the first record
    bool zip64 = false;
};

// A bounded reader over the archive's bytes: each read lands in `buffer`, which grows to the
// largest single read asked for (at most one central record with its name and extra field).
class Reader {
public:
    Reader(uint64_t archiveSize, const ZipDirectory::ReadAt& readAt) : archiveSize(archiveSize), readAt(readAt) {}

    const unsigned char* at(uint64_t offset, std::size_t count)
    {
        if (offset > archiveSize || count > archiveSize - offset)
            return nullptr;
        buffer.resize(count);
        return readAt(offset, buffer.data(), count) ? buffer.data() : nullptr;
    }

    const uint64_t archiveSize;

private:
    const ZipDirectory::ReadAt& readAt;
    std::vector<unsigned char> buffer;
};

// The zip64 end record the locator just before `endAt` points at, when there is one; the
// plain end record's fields then stand for these.
std::optional<DirectoryPlace> zip64Place(Reader& reader, uint64_t endAt)
{
    if (endAt < zip64LocatorSize + zip64EndSize)
        return std::nullopt;
    const unsigned char* locator = reader.at(endAt - zip64LocatorSize, zip64LocatorSize);
    if (locator == nullptr || !hasSignature(locator, "PK\6\7"))
        return std::nullopt;
    const uint64_t recordAt = little64(locator + 8);
    if (recordAt > endAt - zip64LocatorSize - zip64EndSize)
        return std::nullopt;
    const unsigned char* record = reader.at(recordAt, zip64EndSize);
    if (record == nullptr || !hasSignature(record, "PK\6\6") || little32(record + 16) != 0
        || little64(record + 24) != little64(record + 32))
        return std::nullopt;
    return DirectoryPlace{little64(record + 32), little64(record + 40), little64(record + 48), true};
}

// The central directory the end record at `endAt` names, if its fields hold together the way
// libzip requires: one disk, the directory ending before the record, the comment inside the
// archive. Nothing when they do not; `zip64Refused` when a zip64 locator is there but broken.
std::optional<DirectoryPlace> placeOf(Reader& reader, uint64_t endAt, bool& zip64Refused)
{
    const unsigned char* end = reader.at(endAt, endRecordSize);
    if (end == nullptr || little32(end + 4) != 0 || little16(end + 8) != little16(end + 10)
        || little16(end + 20) > reader.archiveSize - endAt - endRecordSize)
        return std::nullopt;
    DirectoryPlace place{little16(end + 10), little32(end + 12), little32(end + 16), false};
    if (endAt >= zip64LocatorSize) {
        const unsigned char* locator = reader.at(endAt - zip64LocatorSize, 4);
        if (locator != nullptr && hasSignature(locator, "PK\6\7")) {
            const std::optional<DirectoryPlace> zip64 = zip64Place(reader, endAt);
            zip64Refused = !zip64;
            if (!zip64)
                return std::nullopt;
            place = *zip64;
        }
    }
    if (place.offset > endAt || place.size > endAt - place.offset)
        return std::nullopt;
    return place;
}

// The zip64 values a record's extra field holds for those of its fields that are saturated.
bool readZip64Extra(const unsigned char* extra, std::size_t extraSize, uint64_t& originalSize,
    uint64_t& storedSize, uint64_t& localOffset)
{
    std::size_t at = 0;
    while (at + 4 <= extraSize) {
        const uint16_t id = little16(extra + at);
        const std::size_t size = little16(extra + at + 2);
        at += 4;
        if (size > extraSize - at)
            return false;
        if (id == zip64ExtraId) {
            std::size_t field = at;
            for (uint64_t* value : {&originalSize, &storedSize, &localOffset}) {
                if (*value != saturated32)
                    continue;
                if (field + 8 > at + size)
                    return false;
                *value = little64(extra + field);
                field += 8;
            }
            return true;
        }
        at += size;
    }
    return false;
}

// The central directory's records at `place`, or nothing when they do not fill it exactly.
std::optional<std::vector<ZipDirectory::Record>> readRecords(Reader& reader, const DirectoryPlace& place)
{
    std::vector<ZipDirectory::Record> records;
    records.reserve(std::size_t(std::min(place.count, place.size / centralRecordSize)));
    uint64_t at = place.offset;
    uint64_t left = place.size;
    while (left > 0) {
        // Archivers without zip64 store the count modulo 65536, so more records may follow.
        if (records.size() >= place.count && (place.zip64 || left < centralRecordSize))
            break;
        const unsigned char* fixed = left < centralRecordSize ? nullptr : reader.at(at, centralRecordSize);
        if (fixed == nullptr || !hasSignature(fixed, "PK\1\2"))
            return std::nullopt;
        const uint16_t nameSize = little16(fixed + 28);
        const uint16_t extraSize = little16(fixed + 30);
        const uint64_t recordSize = centralRecordSize + nameSize + extraSize + little16(fixed + 32);
        if (recordSize > left)
            return std::nullopt;
        uint64_t storedSize = little32(fixed + 20);
        uint64_t originalSize = little32(fixed + 24);
        uint64_t localOffset = little32(fixed + 42);
        const unsigned char* variable = reader.at(at + centralRecordSize, std::size_t(nameSize) + extraSize);
        if (variable == nullptr)
            return std::nullopt;
        ZipDirectory::Record record;
        record.name.assign(reinterpret_cast<const char*>(variable), nameSize);
        const bool needsZip64 =
            storedSize == saturated32 || originalSize == saturated32 || localOffset == saturated32;
        if (needsZip64 && !readZip64Extra(variable + nameSize, extraSize, originalSize, storedSize, localOffset))
            return std::nullopt;
        record.storedSize = storedSize;
        record.begin = localOffset;
        records.push_back(std::move(record));
        at += recordSize;
        left -= recordSize;
    }
    const bool countHolds = records.size() == place.count
        || (!place.zip64 && records.size() > place.count && records.size() % 0x10000 == place.count);
    if (left != 0 || !countHolds)
        return std::nullopt;
    return records;
}

// Where each record's stored data ends, from its local header's own name and extra lengths.
void placeData(Reader& reader, ZipDirectory::Record& record)
{
    const unsigned char* local = reader.at(record.begin, localHeaderSize);
    if (local == nullptr) {
        record.problem = "its local header lies outside the archive";
        return;
    }
    const uint64_t dataBegin = record.begin + localHeaderSize + little16(local + 26) + little16(local + 28);
    if (dataBegin > reader.archiveSize || record.storedSize > reader.archiveSize - dataBegin) {
        record.problem = "its data runs past the end of the archive";
        return;
    }
    record.end = dataBegin + record.storedSize;
}

// Whether two directories name the same entries at the same places: a copy of the directory
// (in a comment, say) leaves nothing to choose.
bool sameEntries(const std::vector<ZipDirectory::Record>& some, const std::vector<ZipDirectory::Record>& others)
{
    return std::equal(some.begin(), some.end(), others.begin(), others.end(), [](const auto& one, const auto& other) {
        return one.name == other.name && one.storedSize == other.storedSize && one.begin == other.begin;
    });
}

} // namespace

ZipDirectory ZipDirectory::read(uint64_t archiveSize, const ReadAt& readAt)
{
    ZipDirectory directory;
    Reader reader(archiveSize, readAt);
    // libzip looks for the end record among the archive's last bytes, the first one whose
    // directory reads consistently winning; a second consistent one leaves the choice to its
    // checks of the local headers, which this does not repeat.
    const uint64_t tailSize = std::min(archiveSize, maxCommentSize + endRecordSize + zip64LocatorSize);
    const uint64_t tailStart = archiveSize - tailSize;
    const unsigned char* tail = tailSize < endRecordSize ? nullptr : reader.at(tailStart, std::size_t(tailSize));
    if (tail == nullptr) {
        directory.problem = "no end of central directory record";
        return directory;
    }
    std::vector<uint64_t> endRecords;
    for (uint64_t at = 0; at + endRecordSize <= tailSize; ++at)
        if (hasSignature(tail + at, "PK\5\6"))
            endRecords.push_back(tailStart + at);

    std::optional<DirectoryPlace> found;
    std::size_t tried = 0;
    bool zip64Refused = false;
    for (const uint64_t endAt : endRecords) {
        const std::optional<DirectoryPlace> place = placeOf(reader, endAt, zip64Refused);
        if (!place)
            continue;
        if (++tried > maxEndRecordsTried)
            return {{}, "more than " + std::to_string(maxEndRecordsTried) + " end records to try"};
        const bool samePlace = found && found->offset == place->offset && found->size == place->size;
        if (samePlace)
            continue;
        std::optional<std::vector<Record>> records = readRecords(reader, *place);
        if (!records)
            continue;
        if (found && !sameEntries(*records, directory.records))
            return {{}, "more than one central directory"};
        found = place;
        directory.records = std::move(*records);
    }
    if (!found) {
        directory.problem = zip64Refused ? "a broken zip64 end record" : "no consistent central directory";
        return directory;
    }
    for (Record& record : directory.records)
        placeData(reader, record);
    return directory;
}

std::vector<bool> ZipDirectory::overlapping(const std::vector<Record>& records)
{
    std::vector<std::size_t> placed;
    for (std::size_t index = 0; index < records.size(); ++index)
        if (records[index].problem.empty())
            placed.push_back(index);
    std::sort(placed.begin(), placed.end(),
        [&](std::size_t a, std::size_t b) { return records[a].begin < records[b].begin; });

    // In order of their first bytes, a record meets an earlier one exactly when it starts before
    // the furthest end so far, and a later one exactly when the next one starts before its end.
    std::vector<bool> shares(records.size(), false);
    uint64_t furthestEnd = 0;
    for (std::size_t rank = 0; rank < placed.size(); ++rank) {
        const Record& record = records[placed[rank]];
        const bool meetsEarlier = rank > 0 && record.begin < furthestEnd;
        const bool meetsLater = rank + 1 < placed.size() && records[placed[rank + 1]].begin < record.end;
        shares[placed[rank]] = meetsEarlier || meetsLater;
        furthestEnd = std::max(furthestEnd, record.end);
    }
    return shares;
}
