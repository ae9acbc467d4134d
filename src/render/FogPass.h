#pragma once

#include "level/FogVolume.h"
#include "level/LevelData.h"
#include "render/BatchedLevel.h"

#include <array>
#include <cstddef>
#include <vector>

class TextureResolver;

// The level's fog volumes as haze: every face drawn in the groups given is drawn once more in
// the colour of the fog its eye rays cross, with the share FogFactor gives for the length they
// run inside it as alpha, blended over what the face's passes drew. An approximation: the
// length is worked out per vertex on the CPU (the segment from the eye to the vertex clipped by
// the volume's planes, FogVolume::lengthInside) and shaded linearly across each triangle; a
// vertex behind two volumes takes the thicker. Blended surfaces are drawn over the haze and
// get none. The frame's vertices go into an array sized for every drawn face's triangles.
class FogPass {
public:
    // The volumes whose material gives a fog distance. Nothing is kept for a level without.
    FogPass(const LevelData& level, const TextureResolver& resolver);

    bool empty() const { return volumes.empty(); }
    // The array for `batches`' triangles as they are now: at load, and after the patches change.
    void reserveFor(const BatchedLevel& batches);
    // Over groups [0, end) of `batches` as gathered and drawn this frame, seen from `eye` (world,
    // Y up). Leaves unit 0 texturing on with its coordinate array, no colour array, blending and
    // culling as the next pass sets them.
    void draw(const LevelData& level, const BatchedLevel& batches, std::size_t end, const std::array<float, 3>& eye);

    std::size_t fogVertexCount() const { return drawnVertices; } // in the last frame

private:
    struct Volume {
        FogVolume shape;
        std::array<float, 3> color{};
        float distance = 0.0f;
    };
    struct HazeVertex {
        float position[3];
        unsigned char color[4];
    };

    const float* positionOf(const LevelData& level, const BatchedLevel& batches, BatchedLevel::VertexSource source,
                            GLuint index) const;
    std::size_t addFace(const LevelData& level, const BatchedLevel& batches, int face, const std::array<float, 3>& eye,
                        std::size_t at);
    HazeVertex haze(const float* position, const std::array<float, 3>& eye) const;

    std::vector<Volume> volumes;
    std::vector<HazeVertex> vertices; // this frame's triangles, three vertices each
    std::size_t drawnVertices = 0;
};
