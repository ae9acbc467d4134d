#include "MaterialImages.h"

#include "TextureCatalogue.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr int side = 128; // pixels a side of the small pictures

// A cheap repeatable grain in [0, 1), so that flat colours do not look painted.
float grain(int x, int y, uint32_t seed)
{
    uint32_t h = static_cast<uint32_t>(x) * 73856093u ^ static_cast<uint32_t>(y) * 19349663u ^ seed * 83492791u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<float>((h ^ (h >> 16)) & 0xffff) / 65536.0f;
}

uint8_t toByte(float value)
{
    return static_cast<uint8_t>(std::clamp(value, 0.0f, 255.0f) + 0.5f);
}

void setRgb(Image& image, int x, int y, float r, float g, float b)
{
    uint8_t* p = image.pixel(x, y);
    p[0] = toByte(r);
    p[1] = toByte(g);
    p[2] = toByte(b);
}

// Smooth noise in [0, 1) that repeats every `side` pixels: grain on a lattice `cell` pixels
// apart, eased between lattice points, summed over three octaves.
float smoothNoise(int x, int y, int cell, uint32_t seed)
{
    float total = 0.0f;
    float weight = 0.5f;
    for (int octave = 0; octave < 3; ++octave, cell /= 2, weight *= 0.5f) {
        const int period = side / cell;
        const float fx = static_cast<float>(x % cell) / cell;
        const float fy = static_cast<float>(y % cell) / cell;
        const int x0 = x / cell;
        const int y0 = y / cell;
        const auto at = [&](int i, int j) { return grain((x0 + i) % period, (y0 + j) % period, seed + octave); };
        const float ex = fx * fx * (3.0f - 2.0f * fx);
        const float ey = fy * fy * (3.0f - 2.0f * fy);
        const float top = at(0, 0) + (at(1, 0) - at(0, 0)) * ex;
        const float bottom = at(0, 1) + (at(1, 1) - at(0, 1)) * ex;
        total += weight * (top + (bottom - top) * ey);
    }
    return total / 0.875f;
}

constexpr float pi = 3.14159265f;

} // namespace

Image generateGrate()
{
    Image image(side, side, 4);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            // Upright bars every 16 pixels, cross bars every 64, a frame at the edges.
            const bool bar = x % 16 < 4 || y % 64 < 6;
            const float shade = bar ? 70.0f + 40.0f * grain(x, y, 1) : 0.0f;
            setRgb(image, x, y, shade, shade * 0.9f, shade * 0.85f);
            image.pixel(x, y)[3] = bar ? 255 : 0;
        }
    }
    return image;
}

Image generatePanel()
{
    Image image(side, side, 3);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const int edge = std::min({x, y, side - 1 - x, side - 1 - y});
            const bool frame = edge >= 4 && edge < 10;
            const bool line = edge >= 16 && (y % 16 < 3 || (x % 32 < 3 && y % 32 < 16));
            const float glow = frame ? 1.0f : (line ? 0.8f : 0.0f);
            setRgb(image, x, y, 120.0f * glow, 255.0f * glow, 240.0f * glow);
        }
    }
    return image;
}

Image generateNodraw()
{
    Image image(side, side, 3);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x)
            setRgb(image, x, y, 255.0f, 0.0f, 255.0f);
    }
    return image;
}

Image generateBricksVariant()
{
    Image image = generateTexture("bricks");
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            uint8_t* p = image.pixel(x, y);
            const float brightness = (p[0] + p[1] + p[2]) / 3.0f;
            setRgb(image, x, y, brightness * 0.75f, brightness * 0.85f, brightness * 1.25f);
        }
    }
    return image;
}

Image generateEditorImage()
{
    Image image(side, side, 3);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const bool yellow = (x / 32 + y / 32) % 2 == 0;
            setRgb(image, x, y, yellow ? 250.0f : 10.0f, yellow ? 220.0f : 10.0f, 10.0f);
        }
    }
    return image;
}

Image generateSkySide(SkySide which)
{
    constexpr float tints[static_cast<int>(SkySide::Count)][3] = {
        {210, 60, 50},  // right: red
        {60, 190, 70},  // left: green
        {60, 90, 220},  // back: blue
        {220, 200, 60}, // front: yellow
        {80, 200, 220}, // up: cyan
        {110, 80, 55},  // down: brown
    };
    const float* tint = tints[static_cast<int>(which)];
    const bool aroundHorizon = which != SkySide::Up && which != SkySide::Down;
    constexpr int size = 256;
    Image image(size, size, 3);
    for (int y = 0; y < size; ++y) {
        const float towardsHorizon = static_cast<float>(y) / (size - 1);
        const float light = aroundHorizon ? 0.55f + 0.45f * towardsHorizon : 0.85f;
        for (int x = 0; x < size; ++x) {
            const float f = light * (0.95f + 0.1f * grain(x / 4, y / 4, 7));
            setRgb(image, x, y, tint[0] * f, tint[1] * f, tint[2] * f);
        }
    }
    return image;
}

Image generateHills(SkySide which)
{
    // The direction each side faces, counterclockwise from the file's +X seen from above; a
    // side's left edge lies a quarter turn further round than its right edge.
    constexpr float facing[4] = {1.5f * pi, 0.5f * pi, pi, 0.0f}; // right, left, back, front
    const float centre = facing[static_cast<int>(which)];
    constexpr int size = 256;
    Image image(size, size, 4);
    for (int x = 0; x < size; ++x) {
        const float u = (x + 0.5f) / size;
        const float azimuth = centre + 0.25f * pi - 0.5f * pi * u;
        // Whole waves around the horizon, so each side's edge meets its neighbour's.
        const float ridge = 0.22f + 0.07f * std::sin(2.0f * azimuth) + 0.04f * std::sin(5.0f * azimuth + 1.0f)
                            + 0.02f * std::sin(11.0f * azimuth + 2.0f); // above the horizon, in sides
        const float ridgeRow = size * (0.5f - ridge);
        for (int y = 0; y < size; ++y) {
            const float depth = std::clamp((y - ridgeRow) / (size * 0.25f), 0.0f, 1.0f);
            const float shade = (1.0f - 0.5f * depth) * (0.92f + 0.16f * grain(x / 2, y / 2, 51));
            setRgb(image, x, y, 52.0f * shade, 64.0f * shade, 62.0f * shade);
            image.pixel(x, y)[3] = toByte(255.0f * std::clamp(y + 1.0f - ridgeRow, 0.0f, 1.0f));
        }
    }
    return image;
}

Image generateWater(WaterLayer layer)
{
    Image image(side, side, 3);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const float swell = 0.5f + 0.5f * std::sin(2.0f * pi * (x + 8.0f * std::sin(2.0f * pi * y / side)) / 32.0f);
            if (layer == WaterLayer::Deep) {
                const float n = smoothNoise(x, y, 32, 11);
                setRgb(image, x, y, 20.0f + 30.0f * swell, 70.0f + 50.0f * n + 30.0f * swell, 110.0f + 60.0f * n);
            } else {
                const float glint = std::max(0.0f, smoothNoise(x, y, 16, 12) * swell - 0.45f) * 4.0f;
                setRgb(image, x, y, 160.0f * glint, 220.0f * glint, 230.0f * glint);
            }
        }
    }
    return image;
}

Image generateLava()
{
    Image image(side, side, 3);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const float heat = smoothNoise(x, y, 32, 21);
            const float crust = heat < 0.42f ? 0.25f : 1.0f;
            setRgb(image, x, y, 255.0f * crust, (60.0f + 150.0f * heat) * crust * heat, 10.0f * crust);
        }
    }
    return image;
}

Image generatePulsePanel()
{
    Image image(side, side, 3);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const int edge = std::min({x, y, side - 1 - x, side - 1 - y});
            const float steel = edge < 6 ? 120.0f : 55.0f + 15.0f * grain(x, y, 31);
            setRgb(image, x, y, steel, steel, steel * 1.1f);
        }
    }
    return image;
}

Image generatePulseGlow()
{
    Image image(side, side, 3);
    const float middle = (side - 1) * 0.5f;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const float radius = std::hypot(x - middle, y - middle);
            const bool ring = std::abs(radius - side * 0.32f) < 5.0f;
            const bool cross = (std::abs(x - middle) < 3.0f || std::abs(y - middle) < 3.0f) && radius < side * 0.32f;
            const float glow = ring || cross ? 1.0f : 0.0f;
            setRgb(image, x, y, 255.0f * glow, 60.0f * glow, 220.0f * glow);
        }
    }
    return image;
}

Image generateChrome()
{
    Image image(side, side, 3);
    for (int y = 0; y < side; ++y) {
        const float down = static_cast<float>(y) / (side - 1);
        for (int x = 0; x < side; ++x) {
            if (down < 0.45f)
                setRgb(image, x, y, 150.0f + 150.0f * down, 190.0f + 100.0f * down, 250.0f);
            else if (down < 0.55f)
                setRgb(image, x, y, 40.0f, 40.0f, 50.0f);
            else
                setRgb(image, x, y, 120.0f - 40.0f * down, 90.0f - 30.0f * down, 60.0f - 20.0f * down);
        }
    }
    return image;
}

Image generateFlame()
{
    Image image(side, side, 3);
    for (int y = 0; y < side; ++y) {
        // A tongue, widest a quarter up from the bottom and pointed at the top.
        const float up = 1.0f - static_cast<float>(y) / (side - 1);
        const float halfWidth = 0.38f * std::sin(pi * std::pow(std::min(up / 0.95f, 1.0f), 0.6f)) * (up < 0.95f ? 1.0f : 0.0f);
        for (int x = 0; x < side; ++x) {
            const float across = std::abs(static_cast<float>(x) / (side - 1) - 0.5f);
            const float inside = halfWidth > 0.0f ? 1.0f - across / halfWidth : 0.0f;
            if (inside <= 0.0f) {
                setRgb(image, x, y, 0.0f, 0.0f, 0.0f);
                continue;
            }
            const float core = std::min(1.0f, inside * 1.5f);
            setRgb(image, x, y, 255.0f * std::min(1.0f, inside * 3.0f), 80.0f + 170.0f * core * core, 30.0f * core);
        }
    }
    return image;
}

Image generateClouds(CloudLayer layer)
{
    Image image(side, side, 3);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            if (layer == CloudLayer::Sky) {
                const float cloud = std::clamp((smoothNoise(x, y, 64, 41) - 0.45f) * 2.5f, 0.0f, 1.0f);
                setRgb(image, x, y, 70.0f + 180.0f * cloud, 120.0f + 130.0f * cloud, 210.0f + 40.0f * cloud);
            } else {
                const float wisp = std::clamp((smoothNoise(x, y, 32, 42) - 0.55f) * 3.0f, 0.0f, 1.0f);
                setRgb(image, x, y, 200.0f * wisp, 200.0f * wisp, 210.0f * wisp);
            }
        }
    }
    return image;
}

Image generateFogEditorImage()
{
    Image image(side, side, 3);
    for (int y = 0; y < side; ++y) {
        const float band = (y / 16) % 2 == 0 ? 1.0f : 0.85f;
        for (int x = 0; x < side; ++x)
            setRgb(image, x, y, 140.0f * band, 153.0f * band, 115.0f * band);
    }
    return image;
}

Image generateSign(int frame)
{
    constexpr float backgrounds[signFrames][3] = {{170, 30, 30}, {30, 140, 40}, {30, 60, 170}, {180, 150, 20}};
    const float* background = backgrounds[frame % signFrames];
    Image image(side, side, 3);
    const int bars = frame % signFrames + 1;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            // `bars` upright white stripes with background between them, across the sign's middle
            const int slot = x * (2 * bars + 1) / side;
            const bool bar = slot % 2 == 1 && y > side / 5 && y < side * 4 / 5;
            if (bar)
                setRgb(image, x, y, 245.0f, 245.0f, 245.0f);
            else
                setRgb(image, x, y, background[0], background[1], background[2]);
        }
    }
    return image;
}
