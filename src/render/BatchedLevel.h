#pragma once

#include "image/Overbright.h"
#include "level/LevelData.h"
#include "level/SurfaceStyle.h"

#include <GL/glew.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

class TextureManager;

// The designed frame's faces. Every drawable face's triangles live in buffer objects uploaded
// at load (patches in a second one, rebuilt when their tessellation changes), grouped by how
// they are drawn: pass (opaque, alpha-tested, blended), surface style, image and lightmap. A
// frame gathers its visible faces' indices group by group into one array sized at load and
// issues one draw per group that has any.
class BatchedLevel {
public:
    struct Switches {
        bool textures = true;  // off: every face shows plain grey, still lit
        bool lighting = true;  // off: every face at full brightness
        bool lightmaps = true; // off: faces are lit by their vertex colours
    };

    // styles: one per texture of the level, kept by reference (they outlive this). `levelName` names the level in the one line that
    // reports faces naming a lightmap the level lacks (drawn with their vertex colours instead).
    // Needs a current GL context.
    // Vertex colours are brought up from their stored range by `light`.
    BatchedLevel(const LevelData& level, const std::vector<SurfaceStyle>& styles, const TextureManager& textures,
                 const Overbright& light, const std::string& levelName, std::ostream& log);
    ~BatchedLevel();
    BatchedLevel(const BatchedLevel&) = delete;
    BatchedLevel& operator=(const BatchedLevel&) = delete;

    // The patches' vertices again: their control grids, or their current tessellation.
    void rebuildPatches(const LevelData& level, bool tessellated);

    // Draws the visible faces. Leaves lighting off, depth writes on, blending and alpha testing
    // with their pass-everything functions, the colour and texture-coordinate arrays off, unit 1
    // texturing off and no buffer bound; unit 0 texturing stays on for the frame to switch off.
    void draw(const std::vector<int>& visibleFaces, const Switches& switches);

    std::size_t groupCount() const { return groups.size(); }
    std::size_t drawCalls() const { return lastDrawCalls; } // in the last draw
    GLuint vertexBuffer() const { return staticBuffer; }
    std::size_t bufferBytes() const { return staticBytes + patchBytes; } // uploaded into both buffers
    // The frame's triangles as indices into vertexBuffer(), for a benchmark's single draw:
    // every visible polygon and mesh face that is drawn.
    void appendStaticIndices(const std::vector<int>& visibleFaces, std::vector<GLuint>& out) const;

    static constexpr uint32_t noGroup = UINT32_MAX;

    // One vertex in the buffers: the arrays are pointed at its fields by offsetof.
    struct GpuVertex {
        float position[3];
        float texCoord[2];
        float lightmapCoord[2];
        unsigned char color[4]; // brightened from the stored range
    };

private:    // Sorting order of the groups: style rank (drawing order), image, lightmap, patch.
    struct GroupKey {
        uint32_t rank = 0;
        int texture = 0;
        int lightmap = -1;
        bool patch = false;
        bool operator<(const GroupKey& other) const
        {
            return std::tie(rank, texture, lightmap, patch) < std::tie(other.rank, other.texture, other.lightmap, other.patch);
        }
    };
    struct Group {
        int texture;
        int lightmap; // -1: none
        bool patch;   // drawn from the patch buffer, both sides
    };

    void assignGroups(const LevelData& level, std::ostream& log, const std::string& levelName);
    bool isDrawn(const Face& face) const;
    void buildStaticFaces(const LevelData& level);
    void appendPatchFace(const Face& face, bool tessellated, std::vector<GpuVertex>& vertices);
    static std::vector<float> controlWeights(int steps);
    void gather(const std::vector<int>& visibleFaces);
    void drawGroup(std::size_t group, const Switches& switches);
    void useBuffer(GLuint buffer);
    void applyStyle(const SurfaceStyle& style, bool patch);
    void applyLight(const Group& group, const SurfaceStyle& style, const Switches& switches);
    static GpuVertex gpuVertex(const Vertex& vertex);
    void brightenColours(std::vector<GpuVertex>& vertices) const; // from the stored range, in place
    static std::size_t upload(GLuint buffer, const std::vector<GpuVertex>& vertices); // bytes

    const std::vector<SurfaceStyle>& styles; // by texture
    const TextureManager& textures;
    const Overbright light;
    std::vector<Group> groups;        // sorted: pass, style, image, lightmap, patch
    std::vector<int> faceLightmaps;   // by face: the lightmap it is drawn with, -1 for none
    std::vector<uint32_t> faceGroup;  // by face: noGroup when the face is not drawn
    std::vector<uint32_t> faceStart;  // by face: its first index in faceIndices
    std::vector<uint32_t> faceCount;
    std::vector<GLuint> faceIndices;  // every drawn face's triangles; the patch faces' at the end
    std::size_t staticIndexCount = 0; // where the patch faces' indices begin
    std::vector<GLuint> frameIndices; // the frame's, group after group; sized with faceIndices
    std::vector<std::size_t> groupFill; // per group, this frame: indices gathered
    std::vector<std::size_t> groupStart;
    std::vector<float> weightsForSteps; // controlWeights(weightsSteps), kept between patches
    int weightsSteps = 0;
    GLuint staticBuffer = 0;
    GLuint patchBuffer = 0;
    GLuint greyTexture = 0;
    std::size_t staticBytes = 0;
    std::size_t patchBytes = 0;
    std::size_t lastDrawCalls = 0;
    // State the last group left, so a group changes only what differs.
    GLuint boundBuffer = 0;
    const SurfaceStyle* lastStyle = nullptr;
    bool lastPatch = false;
    GLuint boundImage = 0;
    enum class Light { unset, lightmap, vertexColours, none } lastLight = Light::unset;
    GLuint boundLightmap = 0;
};
