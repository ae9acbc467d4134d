#pragma once

#include "files/MappedFile.h"
#include "level/LevelData.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

// Decodes and validates a level from its whole file held in memory, step by step in the
// order the console transcript follows, so the map can put its texture step in between.
// Every index is checked before any array is used; a bad file raises LevelFormatError
// naming the file, lump, record and field. Needs no GL.
class LevelLoader {
public:
    // Whether the image of a valid texture index keeps its rows bottom-up (TGA), so the
    // faces using it have their t coordinates flipped.
    using BottomUpQuery = std::function<bool(int)>;
    // Bytes held elsewhere (a file's, or a part of them).
    struct Bytes {
        const unsigned char* data;
        std::size_t size;
    };

    // The whole file in one read; raises LevelFormatError when it cannot be opened or read.
    static std::vector<unsigned char> readLevelFile(const std::string& path);
    // The same file mapped rather than read, for a caller that reads it through once.
    static std::unique_ptr<MappedFile> mapLevelFile(const std::string& path);

    // `bytes` must outlive the loader; `fileName` only prefixes messages.
    LevelLoader(std::string fileName, const std::vector<unsigned char>& bytes, std::ostream& log);
    LevelLoader(std::string fileName, Bytes bytes, std::ostream& log);
    virtual ~LevelLoader() = default;

    // Header and directory lines; refuses a file shorter than them and lumps outside it.
    void readHeader(LevelData& level);
    // The "distinct textures" line, the texture names and the lightmap count.
    void readTextureNames(LevelData& level) const;
    // By texture record (after readTextureNames): whether a face of a type the viewer draws
    // names it. Read from the face lump ahead of the faces, so the texture step can pass over
    // the records nothing shows; a face naming no record is left for readRecords to refuse.
    std::vector<bool> texturesInUse(const LevelData& level) const;
    // Lumps 2 to 13 with their progress lines (the effects lump has none). Faces are checked
    // against textures, vertices and mesh vertices as they are read; a face whose image keeps
    // its rows bottom-up has its t coordinates flipped right after it is read. Then the tree and
    // leaves are checked. Effects and the faces' effect indices are repaired rather than
    // refused: a bad one is dropped and said in LevelData::notices.
    void readRecords(LevelData& level, const BottomUpQuery& keepsRowsBottomUp) const;
    // The visibility line and bits (none when the lump is shorter than its header), then the
    // leaves' clusters against them.
    void readVisibility(LevelData& level) const;
    // The entity text and its entities, parsed here; or, when the caller parsed this file's
    // text already (a peek before the window), those entities adopted as they are.
    void readEntities(LevelData& level) const;
    void readEntities(LevelData& level, EntityList parsed) const;
    void readModels(LevelData& level) const; // with its progress line, as readRecords does
    // The whole pages of lump 14, in the file's bytes (valid while they are); no progress line.
    Bytes lightmapPages() const;
    // Cuts every type-2 face into patches; the grids were checked by readRecords.
    static void buildPatches(LevelData& level);

private:
    struct Lump;
    Lump lump(int index, int recordSize) const;
    void checkLumpsDoNotOverlap(const std::vector<DirectoryEntry>& entries) const;
    [[noreturn]] void fail(const std::string& what) const;
    template <typename Record>
    void readLump(int index, const char* opening, const char* closing, std::vector<Record>& into) const;
    void readIndexLump(int index, const char* opening, std::vector<int32_t>& into) const;
    void readEffects(LevelData& level) const;
    std::string effectProblem(const LevelData& level, std::size_t index) const;
    void readFaces(LevelData& level, const BottomUpQuery& keepsRowsBottomUp) const;
    class EffectTally;
    class RangeExtremes;
    void checkFace(const LevelData& level, std::size_t index, const RangeExtremes& meshExtremes,
        int64_t& patchTotal) const;
    void checkNodes(const LevelData& level) const;
    void checkTreeHasNoCycle(const LevelData& level) const;
    void checkLeaves(const LevelData& level) const;
    // Names a record, or one of its fields, in messages; the text is only built for a failure.
    struct FieldName {
        const char* array;
        std::size_t index;
        const char* field = nullptr;
        int element = -1; // for array fields such as children[1]
        std::string text() const;
    };
    void checkRange(const FieldName& record, const char* firstName, int64_t first, const char* countName,
        int64_t count, std::size_t limit, const char* limitName) const;
    void checkIndex(const FieldName& field, int64_t value, std::size_t limit, const char* limitName) const;

    std::string fileName;
    const Bytes file;
    std::ostream& log;
    std::vector<DirectoryEntry> directory; // as read by readHeader, bounds checked
};

// Only what a level says about itself before it is shown: header, directory, entity text and
// models (model 0's box bounds the level), no transcript. Refuses a file whose header or
// directory is broken, like the full load.
LevelData peekLevel(const std::string& fileName, const std::vector<unsigned char>& bytes);

// The whole load without GL or textures (every texture taken as JPEG, so nothing is flipped):
// the transcript goes to `log`, a bad file raises LevelFormatError.
LevelData parseLevel(const std::string& fileName, const std::vector<unsigned char>& bytes, std::ostream& log);
LevelData parseLevel(const std::string& fileName, LevelLoader::Bytes bytes, std::ostream& log);
