#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What a material script says about one surface name: a list of stages, each drawing one
// image (or the lightmap, or white) with its own blending, tests, colour and texture
// coordinates, and the properties of the whole surface (culling, sort, vertex deforms, sky,
// fog). Plain values in this layer's own enums; the renderer maps them to GL and the
// `surface` layer evaluates what moves with time. Directions and positions the script writes
// in the file's axes (Z up) are held Y-up, as everything in LevelData is.

// Blend factors, named after GL's (GL_ONE, GL_SRC_COLOR, ...).
enum class BlendFactor : uint8_t {
    one,
    zero,
    sourceColor,
    oneMinusSourceColor,
    destinationColor,
    oneMinusDestinationColor,
    sourceAlpha,
    oneMinusSourceAlpha,
    destinationAlpha,
    oneMinusDestinationAlpha,
    sourceAlphaSaturate,
};

// Which fragments a stage keeps, by their alpha (0 to 255 in the script's terms).
enum class AlphaFunction : uint8_t {
    always,              // no alphaFunc
    greaterThanZero,     // GT0
    lessThan128,         // LT128
    greaterOrEqualTo128, // GE128
};

enum class DepthFunction : uint8_t { lessOrEqual, equal };

// The shape of a periodic value over one cycle (surface/Oscillator evaluates it).
enum class Waveform : uint8_t { sine, triangle, square, sawtooth, inverseSawtooth, noise };

// rgbGen: where a stage's colour comes from.
enum class ColorSource : uint8_t {
    identity,         // white (also when the stage says nothing)
    identityLighting, // white: the viewer brightens lightmaps instead of dimming the frame
    vertex,           // the vertex colours, brightened as the designed frame brightens them
    exactVertex,      // the vertex colours as stored
    oneMinusVertex,
    constant,         // const ( r g b )
    wave,             // grey at the wave's value, clamped to 0..1
    lightingDiffuse,  // lit by the level's light; approximated by the vertex colours
};

// alphaGen: where a stage's alpha comes from.
enum class AlphaSource : uint8_t {
    identity, // 1 (also when the stage says nothing)
    constant,
    wave,
    vertex,
    oneMinusVertex,
    portal,           // grows with the distance from the eye, 1 at the portal range
    lightingSpecular, // a highlight from a fixed light (surface/StageColor says which)
};

enum class TexCoordSource : uint8_t { base, lightmap, environment, vector };

enum class TexCoordModKind : uint8_t { scroll, scale, rotate, turbulence, stretch, transform };

enum class DeformKind : uint8_t { wave, move, bulge, normal, autosprite, autosprite2 };

// Which side of a surface is drawn: its front (`cull front`, the default), its back
// (`cull back`), or both (`cull none`, `disable` or `twosided`).
enum class Culling : uint8_t { frontSided, backSided, twoSided };

struct Material {
    // A periodic value: base + amplitude x shape(phase + seconds x frequency).
    struct Wave {
        Waveform function = Waveform::sine;
        float base = 0.0f;
        float amplitude = 0.0f;
        float phase = 0.0f;     // cycles
        float frequency = 0.0f; // cycles per second
    };

    struct Blend {
        bool blends = false; // false without blendFunc and for GL_ONE GL_ZERO, which just replaces
        BlendFactor sourceFactor = BlendFactor::one;
        BlendFactor destinationFactor = BlendFactor::zero;
    };

    // One tcMod line; `values` by kind: scroll s t (per second), scale s t, rotate degrees per
    // second, transform m00 m01 m10 m11 t0 t1. turb and stretch use `wave` (turb's base unused).
    struct TexCoordMod {
        TexCoordModKind kind = TexCoordModKind::scroll;
        std::array<float, 6> values{};
        Wave wave;
    };

    // One deformVertexes line. wave: `spread` is the script's div (units of position per
    // cycle of phase; 0 for none), then `wave`; move: `vector` (Y up) times `wave`; normal:
    // `wave.amplitude` and `wave.frequency`; bulge: width, height, speed.
    struct Deform {
        DeformKind kind = DeformKind::wave;
        float spread = 0.0f;
        Wave wave;
        std::array<float, 3> vector{};
        float bulgeWidth = 0.0f;
        float bulgeHeight = 0.0f;
        float bulgeSpeed = 0.0f;
    };

    struct Stage {
        // The image: a file (`image`, as written; for animMap the first frame), the level's
        // lightmap, or white. `image` is empty for $lightmap, $whiteimage and other $ names.
        std::string image;
        bool lightmapStage = false; // map $lightmap
        bool whiteImage = false;    // map $whiteimage
        bool clamp = false;         // clampMap: texture coordinates clamp to the edge
        std::vector<std::string> animationFrames; // animMap, at most maxAnimationFrames; empty otherwise
        float animationFrequency = 0.0f;          // frames per second
        bool detail = false;

        AlphaFunction alphaFunction = AlphaFunction::always;
        Blend blend;
        bool depthWrite = false; // written: writes depth even when blending (else only when not)
        DepthFunction depthFunction = DepthFunction::lessOrEqual;

        ColorSource rgbGen = ColorSource::identity;
        std::array<float, 3> constantColor{1.0f, 1.0f, 1.0f}; // rgbGen const, 0..1
        Wave colorWave;                                      // rgbGen wave
        AlphaSource alphaGen = AlphaSource::identity;
        float constantAlpha = 1.0f; // alphaGen const
        Wave alphaWave;             // alphaGen wave
        float portalRange = 256.0f; // alphaGen portal RANGE, units

        TexCoordSource tcGen = TexCoordSource::base;
        std::array<std::array<float, 3>, 2> tcGenVectors{}; // tcGen vector: s and t axes, Y up
        std::vector<TexCoordMod> tcMods;                    // in script order, at most maxTexCoordMods

        static constexpr std::size_t maxAnimationFrames = 8;
        static constexpr std::size_t maxTexCoordMods = 8;
    };

    // Named sort values; a script may also write any number.
    struct Sort {
        static constexpr float portal = 1.0f;
        static constexpr float sky = 2.0f;
        static constexpr float opaque = 3.0f;
        static constexpr float decal = 4.0f;
        static constexpr float seeThrough = 5.0f;
        static constexpr float banner = 6.0f;
        static constexpr float underwater = 8.0f;
        static constexpr float additive = 9.0f;
        static constexpr float nearest = 16.0f;
    };

    std::string name; // as written in the script
    std::string key;  // name in ASCII lower case: materials are found ignoring case

    // surfaceparm
    bool sky = false;
    bool nodraw = false;
    bool translucent = false; // trans
    bool noLightmap = false;  // nolightmap
    bool fog = false;         // surfaceparm fog, or fogparms

    Culling culling = Culling::frontSided;
    bool polygonOffset = false;
    float sort = 0.0f;        // as written; 0 when the script gives none (see drawOrder)
    bool noMipmaps = false;   // nomipmaps or nopicmip: the images are drawn without mipmaps
    std::vector<Deform> deforms; // at most maxDeforms

    std::string editorImage; // qer_editorimage; empty when absent
    // skyParms: the far box images are skyFarBox + _rt, _lf, _bk, _ft, _up, _dn with .jpg or
    // .tga; empty for none (written as -). The cloud stages are drawn on a dome this high.
    std::string skyFarBox;
    float skyCloudHeight = 128.0f;
    std::string skyNearBox;

    std::array<float, 3> fogColor{}; // fogparms ( r g b ), 0..1
    float fogDistance = 0.0f;        // fogparms: units of depth at which the fog is opaque; 0 without

    std::vector<Stage> stages; // in script order

    // Drawing keywords (or their arguments) the viewer does not honour, as written, each once:
    // "videoMap", "rgbGen entity". Keywords for the level compiler and the editor, and
    // surfaceparms that do not change drawing, are not listed.
    std::vector<std::string> skipped;

    static constexpr std::size_t maxDeforms = 4;
    static constexpr std::size_t maxSkipped = 16;

    bool twoSided() const { return culling == Culling::twoSided; }

    // The first stage showing a real image (not the lightmap); null when there is none.
    const Stage* firstImageStage() const;
    // Whether the surface looks different at another time on the material clock, the eye kept
    // still: a deform that moves, an animMap, a tcMod that moves or a wave of colour or alpha.
    bool changesWithTime() const;

    // The sort the surface draws in: as written, else the sky's, else additive when its first
    // stage blends, decal with a polygon offset, else opaque.
    float drawOrder() const;

    static std::string keyOf(std::string_view name); // ASCII lower case, locale-independent
};
