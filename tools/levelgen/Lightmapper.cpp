#include "Lightmapper.h"

#include "Geometry.h"
#include "LightField.h"
#include "LightmapPacker.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int border = 1;           // texels around each face's own
constexpr float surfaceLift = 1.0f; // units off the surface where light is sampled, clear of its cell's edge
constexpr float edgeInset = 0.5f;   // units inside the face's edges where light is sampled

// Where a face's texels lie: texel (i, j) of its own (border excluded) samples the light at
// corner + axisS * i * spacing + axisT * j * spacing, clamped to the face.
struct FaceLayout {
    Vector3 corner;
    Vector3 axisS; // unit vectors in the face's plane
    Vector3 axisT;
    float extentS = 0.0f; // units
    float extentT = 0.0f;
    float spacing = luxelSpacing;
    int texelsS = 1; // the face's own texels, border excluded
    int texelsT = 1;
    int width() const { return texelsS + 2 * border; }
    int height() const { return texelsT + 2 * border; }
};

int texelsFor(float extent, float spacing)
{
    return static_cast<int>(std::ceil(extent / spacing - 1e-4f)) + 1;
}

// Floors and ceilings run s east and t south, walls s rightwards and t down as seen from
// the front, as their textures do.
FaceLayout layoutOf(const Level& level, const FaceRecord& face)
{
    FaceLayout layout;
    const Vector3 normal = face.normal;
    const bool horizontal = std::abs(normal.z) > 0.5f;
    layout.axisS = horizontal ? Vector3{1.0f, 0.0f, 0.0f} : normalized(cross(normal * -1.0f, {0.0f, 0.0f, 1.0f}));
    layout.axisT = horizontal ? Vector3{0.0f, -1.0f, 0.0f} : Vector3{0.0f, 0.0f, -1.0f};
    const Vector3 first = level.vertices[static_cast<size_t>(face.firstVertex)].position;
    float minS = dot(first, layout.axisS);
    float maxS = minS;
    float minT = dot(first, layout.axisT);
    float maxT = minT;
    for (int32_t v = 1; v < face.vertexCount; ++v) {
        const Vector3 p = level.vertices[static_cast<size_t>(face.firstVertex + v)].position;
        minS = std::min(minS, dot(p, layout.axisS));
        maxS = std::max(maxS, dot(p, layout.axisS));
        minT = std::min(minT, dot(p, layout.axisT));
        maxT = std::max(maxT, dot(p, layout.axisT));
    }
    layout.corner = first + layout.axisS * (minS - dot(first, layout.axisS)) +
                    layout.axisT * (minT - dot(first, layout.axisT));
    layout.extentS = maxS - minS;
    layout.extentT = maxT - minT;
    // Faces too large for a page at the usual spacing get coarser texels.
    const float largest = std::max(layout.extentS, layout.extentT);
    const int mostTexels = lightmapSide - 2 * border;
    if (texelsFor(largest, layout.spacing) > mostTexels)
        layout.spacing = largest / static_cast<float>(mostTexels - 2);
    layout.texelsS = texelsFor(layout.extentS, layout.spacing);
    layout.texelsT = texelsFor(layout.extentT, layout.spacing);
    return layout;
}

float insideFace(float offset, float extent)
{
    const float inset = std::min(edgeInset, extent * 0.5f);
    return std::clamp(offset, inset, extent - inset);
}

class Baker {
public:
    Baker(const Plan& plan, Level& level) : field(plan), level(level) {}

    void bakeLightmap(FaceRecord& face, const FaceLayout& layout, const LightmapPlacement& at, bool bothSides)
    {
        face.lightmapIndex = at.page;
        face.lightmapStart = {at.x, at.y};
        face.lightmapSize = {layout.width(), layout.height()};
        face.lightmapOrigin = layout.corner - (layout.axisS + layout.axisT) * (layout.spacing * border);
        face.lightmapVectors = {layout.axisS * layout.spacing, layout.axisT * layout.spacing};
        for (int32_t v = 0; v < face.vertexCount; ++v) {
            VertexRecord& vertex = level.vertices[static_cast<size_t>(face.firstVertex + v)];
            const Vector3 offset = vertex.position - layout.corner;
            vertex.lightmapCoord[0] = (at.x + border + dot(offset, layout.axisS) / layout.spacing + 0.5f) / lightmapSide;
            vertex.lightmapCoord[1] = (at.y + border + dot(offset, layout.axisT) / layout.spacing + 0.5f) / lightmapSide;
        }
        uint8_t* page = &level.lightmaps[static_cast<size_t>(at.page) * lightmapPageBytes];
        const auto texel = [&](int x, int y) { // x, y within the rectangle
            return page + (static_cast<size_t>(at.y + y) * lightmapSide + at.x + x) * 3;
        };
        for (int j = 0; j < layout.texelsT; ++j) {
            for (int i = 0; i < layout.texelsS; ++i) {
                const Vector3 point = layout.corner + layout.axisS * insideFace(i * layout.spacing, layout.extentS) +
                                      layout.axisT * insideFace(j * layout.spacing, layout.extentT) +
                                      face.normal * surfaceLift;
                const std::array<uint8_t, 3> value = quarterRange(field.at(point, face.normal, bothSides));
                std::copy(value.begin(), value.end(), texel(i + border, j + border));
            }
        }
        // Border texels repeat the nearest texel of the face's own.
        for (int y = 0; y < layout.height(); ++y) {
            for (int x = 0; x < layout.width(); ++x) {
                const int i = std::clamp(x - border, 0, layout.texelsS - 1);
                const int j = std::clamp(y - border, 0, layout.texelsT - 1);
                if (i != x - border || j != y - border)
                    std::copy(texel(i + border, j + border), texel(i + border, j + border) + 3, texel(x, y));
            }
        }
    }

    void colourVertices(const FaceRecord& face)
    {
        for (int32_t v = 0; v < face.vertexCount; ++v) {
            VertexRecord& vertex = level.vertices[static_cast<size_t>(face.firstVertex + v)];
            const Vector3 normal = normalized(vertex.normal);
            const std::array<uint8_t, 3> value = quarterRange(field.at(vertex.position + normal * surfaceLift, normal, false));
            std::copy(value.begin(), value.end(), vertex.color.begin());
        }
    }

private:
    LightField field;
    Level& level;
};

bool takesLightmap(FaceLighting lighting)
{
    return lighting == FaceLighting::Lightmap || lighting == FaceLighting::LightmapBothSides;
}

} // namespace

void bakeLighting(const Plan& plan, const std::vector<FaceLighting>& lighting, Level& level)
{
    std::vector<size_t> mapped;
    std::vector<FaceLayout> layouts(level.faces.size());
    for (size_t f = 0; f < level.faces.size(); ++f) {
        if (takesLightmap(lighting[f])) {
            layouts[f] = layoutOf(level, level.faces[f]);
            mapped.push_back(f);
        }
    }
    // Tallest first, so that shelves are filled by rectangles of about their height.
    std::stable_sort(mapped.begin(), mapped.end(), [&layouts](size_t a, size_t b) {
        return layouts[a].height() > layouts[b].height();
    });
    LightmapPacker packer(lightmapSide);
    std::vector<LightmapPlacement> placements(level.faces.size());
    for (const size_t f : mapped)
        placements[f] = packer.place(layouts[f].width(), layouts[f].height());
    level.lightmaps.assign(mapped.empty() ? 0 : static_cast<size_t>(packer.pageCount()) * lightmapPageBytes, 0);

    Baker baker(plan, level);
    for (size_t f = 0; f < level.faces.size(); ++f) {
        FaceRecord& face = level.faces[f];
        face.lightmapIndex = -1;
        if (takesLightmap(lighting[f]))
            baker.bakeLightmap(face, layouts[f], placements[f], lighting[f] == FaceLighting::LightmapBothSides);
        else if (lighting[f] == FaceLighting::VertexColours)
            baker.colourVertices(face);
    }
}
