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
// the true ray length would. A vertex behind two volumes takes the thicker. Blended surfaces
// are drawn over the haze and get none. The frame's vertices go into an array sized for every
// drawn face's triangles.
class FogPass {
public:
    // The volumes whose material gives a fog distance. Nothing is kept for a level without.
    FogPass(const LevelData& level, const TextureResolver& resolver);
    ~FogPass();
    FogPass(const FogPass&) = delete;
    FogPass& operator=(const FogPass&) = delete;

    bool empty() const { return volumes.empty(); }
    // The array for `batches`' triangles as they are now: at load, and after the patches change.
    void reserveFor(const BatchedLevel& batches);
    // Over groups [0, end) of `batches` as gathered and drawn this frame, seen from `eye` (world,
    // Y up). Leaves unit 0 texturing on with its coordinate array, an identity texture matrix,
    // no colour array, blending and culling as the next pass sets them.
    void draw(const LevelData& level, const BatchedLevel& batches, std::size_t end, const FrameVertices::Eye& eye);

    std::size_t fogVertexCount() const { return drawnVertices; } // in the last frame

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
    struct View {
        std::array<float, 3> position;
        std::array<float, 3> forward; // unit, world
    };

    const float* positionOf(const LevelData& level, const BatchedLevel& batches, BatchedLevel::VertexSource source,
                            GLuint index) const;
    std::size_t addFace(const LevelData& level, const BatchedLevel& batches, int face, const View& view,
                        std::size_t at);
    HazeVertex haze(const float* position, const View& view) const;
    static GLuint makeRamp();
    static bool hazy(const HazeVertex& vertex);

    GLuint ramp = 0; // FogFactor's curve as alpha, across a row of texels; owned

    std::vector<Volume> volumes;
    std::vector<HazeVertex> vertices; // this frame's triangles, three vertices each
    std::size_t drawnVertices = 0;
};
