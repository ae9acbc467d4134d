#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What a material script says about one surface name, reduced to what the viewer draws: which
// image each stage shows, how it blends, whether the surface is sky, hidden or two-sided. The
// factors and tests are this layer's own enums; the renderer maps them to GL's.

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
};

// Which fragments a stage keeps, by their alpha (0 to 255 in the script's terms).
enum class AlphaFunction : uint8_t {
    always,              // no alphaFunc
    greaterThanZero,     // GT0
    lessThan128,         // LT128
    greaterOrEqualTo128, // GE128
};

struct Material {
    struct Blend {
        bool blends = false; // false without blendFunc and for GL_ONE GL_ZERO, which just replaces
        BlendFactor sourceFactor = BlendFactor::one;
        BlendFactor destinationFactor = BlendFactor::zero;
    };

    struct Stage {
        std::string image;          // as written; empty for $lightmap, $whiteimage and other $ names
        bool lightmapStage = false; // map $lightmap: the level's lightmap goes here
        bool clamp = false;         // clampMap: texture coordinates clamp to the edge
        AlphaFunction alphaFunction = AlphaFunction::always;
        Blend blend;
    };

    std::string name;        // as written in the script
    std::string key;         // name in ASCII lower case: materials are found ignoring case
    bool sky = false;        // surfaceparm sky
    bool nodraw = false;     // surfaceparm nodraw
    bool twoSided = false;   // cull none, disable or twosided
    std::string editorImage; // qer_editorimage; empty when absent
    // skyParms base path: the sky box images are skyFarBox + _rt, _lf, _bk, _ft, _up, _dn with
    // .jpg or .tga. Empty for none (written as -).
    std::string skyFarBox;
    std::vector<Stage> stages; // in script order

    // The first stage showing a real image (not the lightmap); null when there is none.
    const Stage* firstImageStage() const;

    static std::string keyOf(std::string_view name); // ASCII lower case, locale-independent
};
