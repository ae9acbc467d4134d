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
