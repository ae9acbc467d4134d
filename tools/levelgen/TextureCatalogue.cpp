#include "TextureCatalogue.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <stdexcept>

namespace {

// ---- periodic noise ------------------------------------------------------------------
// All noise wraps at the texture's edge so the textures repeat without seams.

float lattice(int x, int y, int seed)
{
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 static_cast<uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xffffff) / static_cast<float>(0x1000000);
}

int wrap(int value, int period)
{
    const int r = value % period;
    return r < 0 ? r + period : r;
}

float smooth(float t)
{
    return t * t * (3.0f - 2.0f * t);
}

// Value noise over a lattice of `period` cells across the texture; u, v in [0, 1).
float valueNoise(float u, float v, int period, int seed)
{
    const float x = u * static_cast<float>(period);
    const float y = v * static_cast<float>(period);
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const float fx = smooth(x - static_cast<float>(x0));
    const float fy = smooth(y - static_cast<float>(y0));
    const auto at = [&](int dx, int dy) { return lattice(wrap(x0 + dx, period), wrap(y0 + dy, period), seed); };
    const float top = at(0, 0) + (at(1, 0) - at(0, 0)) * fx;
    const float bottom = at(0, 1) + (at(1, 1) - at(0, 1)) * fx;
    return top + (bottom - top) * fy;
}

// Fractal sum of octaves, roughly in [0, 1].
float fractalNoise(float u, float v, int basePeriod, int octaves, int seed)
{
    float sum = 0.0f;
    float amplitude = 0.5f;
    float total = 0.0f;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += amplitude * valueNoise(u, v, basePeriod << octave, seed + octave * 17);
        total += amplitude;
        amplitude *= 0.5f;
    }
    return sum / total;
}

struct CellDistances {
    float nearest = 1e9f;
    float second = 1e9f;
    int id = 0;
};

// Distances to the two nearest of n x n jittered points, wrapping; in cell units.
CellDistances cellNoise(float u, float v, int n, int seed)
{
    CellDistances result;
    const float x = u * static_cast<float>(n);
    const float y = v * static_cast<float>(n);
    const int cx = static_cast<int>(std::floor(x));
    const int cy = static_cast<int>(std::floor(y));
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int gx = wrap(cx + dx, n);
            const int gy = wrap(cy + dy, n);
            const float px = static_cast<float>(cx + dx) + 0.15f + 0.7f * lattice(gx, gy, seed);
            const float py = static_cast<float>(cy + dy) + 0.15f + 0.7f * lattice(gx, gy, seed + 1);
            const float d = std::hypot(px - x, py - y);
            if (d < result.nearest) {
                result.second = result.nearest;
                result.nearest = d;
                result.id = gy * n + gx;
            } else if (d < result.second) {
                result.second = d;
            }
        }
    }
    return result;
}

// ---- colour helpers --------------------------------------------------------------------

struct Colour {
    float r, g, b;
};

Colour mix(Colour a, Colour b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour scale(Colour c, float f)
{
    return {c.r * f, c.g * f, c.b * f};
}

uint8_t toByte(float value)
{
    return static_cast<uint8_t>(std::clamp(value, 0.0f, 1.0f) * 255.0f + 0.5f);
}

using Shader = std::function<Colour(float u, float v, int x, int y)>;

Image paint(int channels, const Shader& shader)
{
    Image image(textureSide, textureSide, channels);
    for (int y = 0; y < textureSide; ++y) {
        for (int x = 0; x < textureSide; ++x) {
            const float u = static_cast<float>(x) / textureSide;
            const float v = static_cast<float>(y) / textureSide;
            const Colour c = shader(u, v, x, y);
            uint8_t* p = image.pixel(x, y);
            p[0] = toByte(c.r);
            p[1] = toByte(c.g);
            p[2] = toByte(c.b);
            if (channels == 4)
                p[3] = 255;
        }
    }
    return image;
}

float grain(float u, float v, int seed)
{
    return fractalNoise(u, v, 64, 2, seed) - 0.5f;
}

// ---- the textures ----------------------------------------------------------------------

Image bricks()
{
    constexpr int rowHeight = 32;
    constexpr int brickWidth = 64;
    constexpr int mortar = 3;
    return paint(3, [](float u, float v, int x, int y) {
        const int row = y / rowHeight;
        const int shifted = x + (row % 2) * (brickWidth / 2);
        const int column = (shifted / brickWidth) % (textureSide / brickWidth);
        const int inRowY = y % rowHeight;
        const int inBrickX = shifted % brickWidth;
        const float dirt = fractalNoise(u, v, 8, 4, 3);
        if (inRowY < mortar || inBrickX < mortar)
            return scale(Colour{0.62f, 0.58f, 0.52f}, 0.8f + 0.4f * dirt);
        const float tone = lattice(column, row, 11);
        Colour base = mix(Colour{0.55f, 0.22f, 0.14f}, Colour{0.72f, 0.36f, 0.22f}, tone);
        const float edge = std::min({inRowY - mortar, rowHeight - 1 - inRowY, inBrickX - mortar,
                                     brickWidth - 1 - inBrickX}) / 4.0f;
        base = scale(base, 0.8f + 0.2f * std::min(edge, 1.0f));
        return scale(base, 0.75f + 0.5f * dirt + 0.25f * grain(u, v, 5));
    });
}

Image stone()
{
    return paint(3, [](float u, float v, int, int) {
        const CellDistances cells = cellNoise(u, v, 5, 21);
        const float groove = std::clamp((cells.second - cells.nearest) * 6.0f, 0.0f, 1.0f);
        const float tone = lattice(cells.id, 0, 23);
        Colour base = mix(Colour{0.45f, 0.45f, 0.48f}, Colour{0.62f, 0.60f, 0.55f}, tone);
        base = scale(base, 0.7f + 0.6f * fractalNoise(u, v, 8, 4, 25));
        return scale(base, 0.35f + 0.65f * groove);
    });
}

Image tiles()
{
    constexpr int tile = 64;
    return paint(3, [](float u, float v, int x, int y) {
        const int tx = x / tile;
        const int ty = y / tile;
        const int ix = x % tile;
        const int iy = y % tile;
        if (ix < 2 || iy < 2)
            return Colour{0.30f, 0.28f, 0.26f};
        const bool dark = (tx + ty) % 2 == 1;
        Colour base = dark ? Colour{0.55f, 0.25f, 0.16f} : Colour{0.86f, 0.80f, 0.66f};
        const float veins = fractalNoise(u, v, 8, 4, 31);
        base = scale(base, 0.85f + 0.3f * veins);
        const float bevel = (ix < 5 || iy < 5) ? 1.12f : ((ix > tile - 4 || iy > tile - 4) ? 0.85f : 1.0f);
        return scale(base, bevel);
    });
}

Image slate()
{
    return paint(3, [](float u, float v, int, int) {
        const CellDistances cells = cellNoise(u, v, 8, 41);
        const float groove = std::clamp((cells.second - cells.nearest) * 8.0f, 0.0f, 1.0f);
        const float tone = lattice(cells.id, 1, 43);
        Colour base = mix(Colour{0.20f, 0.26f, 0.24f}, Colour{0.34f, 0.40f, 0.36f}, tone);
        base = scale(base, 0.8f + 0.4f * fractalNoise(u, v, 16, 3, 45));
        return scale(base, 0.45f + 0.55f * groove);
    });
}

Image plaster()
{
    return paint(3, [](float u, float v, int, int) {
        const float cloud = fractalNoise(u, v, 4, 5, 51);
        const Colour base = mix(Colour{0.80f, 0.76f, 0.68f}, Colour{0.92f, 0.89f, 0.82f}, cloud);
        return scale(base, 0.95f + 0.1f * grain(u, v, 53));
    });
}

Image marble()
{
    constexpr float pi = 3.14159265f;
    return paint(3, [pi](float u, float v, int, int) {
        const float turbulence = fractalNoise(u, v, 4, 5, 61);
        const float vein = std::abs(std::sin(2.0f * pi * (2.0f * u + v + 2.5f * turbulence)));
        const float line = std::pow(vein, 0.25f);
        return mix(Colour{0.35f, 0.33f, 0.40f}, Colour{0.93f, 0.92f, 0.90f}, line);
    });
}

Image metal()
{
    return paint(3, [](float u, float v, int x, int y) {
        const float streaks = valueNoise(u * 0.05f, v, 128, 71) * 0.6f + valueNoise(u, v, 32, 73) * 0.4f;
        Colour base = scale(Colour{0.55f, 0.58f, 0.62f}, 0.8f + 0.35f * streaks);
        const int px = x % 128;
        const int py = y % 128;
        if (px < 2 || py < 2)
            return scale(base, 0.45f);
        for (const int cx : {10, 117}) {
            for (const int cy : {10, 117}) {
                const float d = std::hypot(static_cast<float>(px - cx), static_cast<float>(py - cy));
                if (d < 5.0f)
                    return scale(Colour{0.75f, 0.77f, 0.80f}, 1.1f - 0.08f * d);
            }
        }
        return base;
    });
}

Image wood()
{
    constexpr float pi = 3.14159265f;
    constexpr int plank = 64;
    return paint(4, [pi](float u, float v, int x, int y) {
        const int column = x / plank;
        const int shift = static_cast<int>(lattice(column, 0, 81) * textureSide);
        if (x % plank < 2 || (y + shift) % textureSide < 2)
            return Colour{0.18f, 0.10f, 0.05f};
        const float bend = fractalNoise(u, v, 4, 3, 83 + column);
        const float rings = 0.5f + 0.5f * std::sin(2.0f * pi * (8.0f * u + 3.0f * bend));
        const Colour base = mix(Colour{0.45f, 0.27f, 0.13f}, Colour{0.66f, 0.44f, 0.24f}, rings);
        return scale(base, 0.85f + 0.3f * lattice(column, 1, 85) + 0.2f * grain(u, v, 87));
    });
}

Image foliage()
{
    Image image = paint(4, [](float u, float v, int, int) {
        const float shade = fractalNoise(u, v, 16, 3, 91);
        return mix(Colour{0.10f, 0.30f, 0.08f}, Colour{0.35f, 0.62f, 0.20f}, shade);
    });
    // Leaves are opaque, the gaps between them transparent.
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const float u = static_cast<float>(x) / textureSide;
            const float v = static_cast<float>(y) / textureSide;
            image.pixel(x, y)[3] = fractalNoise(u, v, 8, 3, 93) > 0.45f ? 255 : 0;
        }
    }
    return image;
}

struct Entry {
    const char* name;
    ImageFormat format;
    Image (*generate)();
};

constexpr Entry catalogue[] = {
    {"bricks", ImageFormat::Jpeg, bricks},   {"stone", ImageFormat::Jpeg, stone},
    {"tiles", ImageFormat::Jpeg, tiles},     {"slate", ImageFormat::Jpeg, slate},
    {"plaster", ImageFormat::Jpeg, plaster}, {"marble", ImageFormat::Jpeg, marble},
    {"metal", ImageFormat::Tga, metal},      {"wood", ImageFormat::Tga, wood},
    {"foliage", ImageFormat::Tga, foliage},
};

const Entry& findEntry(const std::string& name)
{
    for (const Entry& entry : catalogue) {
        if (name == entry.name)
            return entry;
    }
    throw std::invalid_argument("no texture named " + name);
}

} // namespace

bool isCatalogueTexture(const std::string& name)
{
    for (const Entry& entry : catalogue) {
        if (name == entry.name)
            return true;
    }
    return false;
}

ImageFormat catalogueFormat(const std::string& name)
{
    return findEntry(name).format;
}

std::vector<std::string> catalogueNames()
{
    std::vector<std::string> names;
    for (const Entry& entry : catalogue)
        names.emplace_back(entry.name);
    return names;
}

Image generateTexture(const std::string& name)
{
    return findEntry(name).generate();
}

Image generateSky()
{
    return paint(3, [](float u, float v, int, int) {
        const float cloud = fractalNoise(u, v, 4, 6, 101);
        const float cover = std::clamp((cloud - 0.42f) * 3.0f, 0.0f, 1.0f);
        // The viewer shows the image's top row along the lower edge of the sky's sides,
        // so the horizon glow is at v = 0.
        const Colour sky = mix(Colour{0.80f, 0.36f, 0.20f}, Colour{0.36f, 0.10f, 0.16f}, v);
        const Colour clouds = mix(Colour{0.95f, 0.62f, 0.45f}, Colour{1.0f, 0.85f, 0.70f}, cloud);
        return mix(sky, clouds, cover);
    });
}

DataFile catalogueTextureFile(const std::string& name)
{
    const Image image = generateTexture(name);
    const std::string path = std::string(textureDirectory) + name;
    if (catalogueFormat(name) == ImageFormat::Jpeg)
        return {path + ".jpg", encodeJpeg(image)};
    return {path + ".tga", encodeTga(image)};
}

DataFile skyFile()
{
    return {std::string(skyTextureName) + ".jpg", encodeJpeg(generateSky())};
}

std::string planImageName(int index)
{
    std::string digits = std::to_string(index);
    digits.insert(0, digits.size() < 3 ? 3 - digits.size() : 0, '0');
    return std::string(textureDirectory) + "images/" + digits;
}

std::vector<DataFile> planImageFiles(int count)
{
    std::vector<Image> bases;
    for (const Entry& entry : catalogue)
        bases.push_back(entry.generate());
    std::vector<DataFile> files;
    for (int k = 0; k < count; ++k) {
        const Image& base = bases[static_cast<size_t>(k) % bases.size()];
        // A shift keeps the texture seamless; the tint tells images of the same base apart.
        const int shiftX = (k * 37) % textureSide;
        const int shiftY = (k * 53) % textureSide;
        const float tint[3] = {0.6f + 0.4f * lattice(k, 0, 7), 0.6f + 0.4f * lattice(k, 1, 7),
                               0.6f + 0.4f * lattice(k, 2, 7)};
        Image image(textureSide, textureSide, 3);
        for (int y = 0; y < textureSide; ++y) {
            for (int x = 0; x < textureSide; ++x) {
                const uint8_t* from = base.pixel((x + shiftX) % textureSide, (y + shiftY) % textureSide);
                uint8_t* to = image.pixel(x, y);
                for (int c = 0; c < 3; ++c)
                    to[c] = toByte(static_cast<float>(from[c]) / 255.0f * tint[c]);
            }
        }
        const std::string name = planImageName(k);
        files.push_back(k % 2 == 0 ? DataFile{name + ".jpg", encodeJpeg(image)} : DataFile{name + ".tga", encodeTga(image)});
    }
    return files;
}
