#pragma once

#include "image/Overbright.h"
#include "level/Material.h"
#include "render/GpuVertex.h"

#include <array>
#include <cstdint>
#include <vector>

// The vertices of faces whose material moves them, or maps or colours them per vertex
// (SurfaceStyle::frameVertices): kept in memory as loaded, and worked out again every frame for
// the faces in view into arrays sized at load, which the frame draws from directly (client
// arrays: nothing is uploaded, nothing allocated). The level's faces come first, then the
// patches' part, rebuilt whenever their tessellation changes. World coordinates, Y up; the
// surface layer does the arithmetic.
class FrameVertices {
public:
    using Vector = std::array<float, 3>;
    struct Eye {
        Vector position{};
        Vector right{1.0f, 0.0f, 0.0f}; // the view's unit axes
        Vector up{0.0f, 1.0f, 0.0f};
    };

    // ---- load ------------------------------------------------------------------------------
    // Every face without vertices here; colours are brought up from their stored range by `light`.
    FrameVertices(std::size_t faceCount, const Overbright& light);
    uint32_t size() const { return uint32_t(loaded.size()); }
    // A vertex with its colour as stored.
    void append(const GpuVertex& vertex, const Vector& normal);
    // Where the patches' part begins: marked the first time, dropped and begun again after.
    void beginPatches();
    // Brightens the colours appended since the last call and sizes the frame's arrays.
    void finishAppending();
    void placeFace(std::size_t face, uint32_t first, uint32_t count);

    // ---- frame -----------------------------------------------------------------------------
    // The faces' vertices moved by the material's deforms at `seconds`, in order (quads of
    // autosprite faces turned to the eye), or as loaded without any.
    void deform(const Material& material, const int* faces, std::size_t count, double seconds, const Eye& eye);
    // The same faces' texture coordinates for tcGen environment, from their deformed places.
    void mapEnvironment(const int* faces, std::size_t count, const Eye& eye);
    // Their colours for `stage` (rgbGen, alphaGen); without lighting the vertex colours are white.
    void colour(const Material::Stage& stage, const int* faces, std::size_t count, double seconds, const Eye& eye,
                bool lighting);

    const GpuVertex* drawn() const { return deformed.data(); }
    const float* mappedTexCoords() const { return texCoords.data()->data(); } // two per vertex
    const unsigned char* stageColors() const { return colors.data()->data(); } // R, G, B, A per vertex

private:
    struct Range {
        uint32_t first = 0;
        uint32_t count = 0;
    };
    void turnQuads(const Material::Deform& deform, const Range& range, const Eye& eye);

    Overbright light;
    std::vector<GpuVertex> loaded; // colours brightened
    std::vector<Vector> normals;
    std::vector<std::array<unsigned char, 4>> stored; // the colours as the level stores them
    std::vector<Range> faceRanges;                    // by face
    std::size_t brightened = 0;                       // loaded[0, brightened) are brightened
    std::size_t patchesStart = SIZE_MAX;
    // This frame's, sized with `loaded`.
    std::vector<GpuVertex> deformed;
    std::vector<Vector> deformedNormals;
    std::vector<std::array<float, 2>> texCoords;
    std::vector<std::array<unsigned char, 4>> colors;
};
