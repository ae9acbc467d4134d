#pragma once

#include "level/FogVolume.h"
#include "level/LevelData.h"
#include "render/BatchedLevel.h"
#include "render/FrameVertices.h"

#include <array>
#include <cstddef>
#include <vector>

class TextureResolver;

// The level's fog volumes as haze: every face drawn in the groups given is drawn once more in
// the colour of the fog its eye rays cross, with the share FogFactor gives for the length they
// run inside it as alpha, blended over what the face's passes drew.
//
// Smooth across triangles: per vertex the CPU works out the fog's length measured along the
// view axis (the depth the eye's segment to the vertex spends inside the volume's planes,
// FogVolume::lengthInside scaled from the ray to its depth), over the fog distance, as a texture
// coordinate; a ramp texture turns it into FogFactor's alpha per pixel. Texture coordinates are
// interpolated linearly in the world (perspective-correct), and depth is linear in the world,
// so wherever a planar face and the eye lie in the same volume the length is exact at every
// pixel and the curve is applied per pixel: no crease or step along a triangle's edge. Where
// the eye's segment crosses one of the volume's planes the length is a ratio of linear terms,
// so it is exact at the vertices and interpolated between them (continuous across edges).
// Depth rather than distance thickens the fog toward the sides of the view slightly less than
// the true ray length would. Volumes of one material that touch are one fog: the lengths a ray
// runs inside each of them add up. A vertex behind two fogs takes the thicker.
//
// What a frame pays for grows with the faces fogged, not with the volumes: each fog keeps the box
// of its volumes, and a face is looked at only against the fogs whose box meets the box around
// the eye and the face's vertices (every ray to the face lies in it); a face that meets none is
// not drawn again.
//
// Blended surfaces are fogged as their passes draw, by GL's fog with each vertex's share as its
// fog coordinate (interpolated per vertex, so a large blended face may show its triangles
// faintly): toward black for passes that add light, so they fade out; toward white for passes
// that multiply what is behind; toward the fog's colour for the others, whose blend then mixes
// a fogged colour. One colour per group: the thickest fog among its vertices.
//
// The frame's vertices go into arrays sized at load for every drawn face's triangles and every
// vertex a face names.
class FogPass {
public:
    // The volumes whose material gives a fog distance. Nothing is kept for a level without.
    FogPass(const LevelData& level, const TextureResolver& resolver);
    ~FogPass();
    FogPass(const FogPass&) = delete;
    FogPass& operator=(const FogPass&) = delete;

    bool empty() const { return volumes.empty(); }
    // The arrays for `batches`' triangles as they are now: at load, and after the patches change.
    void reserveFor(const LevelData& level, const BatchedLevel& batches);
    // Over groups [0, end) of `batches` as gathered and drawn this frame, seen from `eye` (world,
    // Y up). Leaves unit 0 texturing on with its coordinate array, an identity texture matrix,
    // no colour array, blending and culling as the next pass sets them.
    void draw(const LevelData& level, const BatchedLevel& batches, std::size_t end, const FrameVertices::Eye& eye);

    std::size_t fogVertexCount() const { return drawnVertices; } // in the last frame

    // Before blended group `g` (gathered this frame) is drawn: GL's fog on, with its vertices'
    // shares as fog coordinates, when any of them is seen through fog. Its passes then choose
    // their fog colour (passFogColor). endBlendedGroup switches the fog off again.
    // Returns whether the fog is on.
    bool beginBlendedGroup(const LevelData& level, const BatchedLevel& batches, std::size_t g,
                           const FrameVertices::Eye& eye);
    static void endBlendedGroup();
    // The colour a blended pass fades toward under fog of `color`: black for a pass that adds,
    // white for one that multiplies, else the fog's.
    static std::array<float, 4> passFogColor(const Material::Blend& blend, const std::array<float, 3>& color);
    const std::array<float, 3>& groupFogColor() const { return groupColor; }

private:
    struct Volume {
        FogVolume shape;
        std::array<float, 3> color{};
        float distance = 0.0f;
    };
    struct HazeVertex {
        float position[3];
        unsigned char color[4];  // the fog's colour, opaque: the ramp gives the alpha
        float texCoord[2];       // s: the length inside over the fog distance, 0..1; t: 0.5
    };
    // Touching volumes of one material, drawn as one fog.
    struct Fog {
        std::array<float, 3> mins{}; // the box around its volumes
        std::array<float, 3> maxs{};
        uint32_t firstVolume = 0;
        uint32_t volumeCount = 0;
    };
    struct Seen {
        float lengthOverDistance = 0.0f;             // of the thickest fog
        const std::array<float, 3>* color = nullptr; // its colour; null where no fog is crossed
    };
    struct View {
        std::array<float, 3> position;
        std::array<float, 3> forward; // unit, world
    };

    const float* positionOf(const LevelData& level, const BatchedLevel& batches, BatchedLevel::VertexSource source,
                            GLuint index) const;
    std::size_t addFace(const LevelData& level, const BatchedLevel& batches, int face, const View& view,
                        std::size_t at);
    void joinTouchingVolumes();
    // The fogs a ray from the eye to any of the face's vertices may cross, into `candidates`;
    // whether there is one.
    bool selectFogs(const LevelData& level, const BatchedLevel& batches, int face, const View& view);
    Seen seenThrough(const float* position, const View& view) const;
    HazeVertex haze(const float* position, const View& view) const;
    static GLuint makeRamp();
    static bool hazy(const HazeVertex& vertex);

    static View viewOf(const FrameVertices::Eye& eye);

    GLuint ramp = 0; // FogFactor's curve as alpha, across a row of texels; owned
    std::array<std::vector<float>, 3> fogCoordinates; // by vertex source and vertex index: the share
    std::array<float, 3> groupColor{};                // the blended group's fog colour

    std::vector<Volume> volumes; // fog after fog
    std::vector<Fog> fogs;
    std::vector<uint32_t> candidates; // the face being fogged's fogs; sized at load
    std::size_t candidateCount = 0;
    std::vector<HazeVertex> vertices; // this frame's triangles, three vertices each
    std::size_t drawnVertices = 0;
};
