#include "LevelBuilder.h"

#include "BspTree.h"
#include "Clusters.h"
#include "Geometry.h"
#include "TextureCatalogue.h"
#include "Visibility.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace {

constexpr float pi = 3.14159265f;
constexpr int maxBrushSide = 32;

struct FaceRange {
    int32_t first = 0;
    int32_t count = 0;
};

class LevelAssembler {
public:
    explicit LevelAssembler(const Plan& plan)
        : plan(plan), size(static_cast<float>(plan.cellSize)), height(static_cast<float>(plan.height)),
          geometry(level, static_cast<float>(plan.textureScale))
    {
    }

    Level run(BuildStatistics* statistics)
    {
        addTextures();
        addCellFaces();
        const ClusterMap clusters = buildClusters(plan);
        const ClusterMap brushRects = buildRectangles(
            plan, [](const Plan& p, int column, int row) { return !p.isOpen(column, row); }, maxBrushSide);
        addBrushes(brushRects);
        addTree(buildBspTree(clusters), brushRects);
        addModel();
        level.visibility = computeVisibility(clusters);
        addEntities();
        if (statistics) {
            statistics->clusters = static_cast<int>(clusters.clusters.size());
            statistics->brushes = static_cast<int>(brushRects.clusters.size());
        }
        return std::move(level);
    }

private:
    // ---- coordinates ------------------------------------------------------------------

    float columnX(int column) const { return static_cast<float>(column) * size; }
    float rowLineY(int rowLine) const { return static_cast<float>(plan.rows - rowLine) * size; } // top of row
    int columnXInt(int column) const { return column * plan.cellSize; }
    int rowLineYInt(int rowLine) const { return (plan.rows - rowLine) * plan.cellSize; }

    int texture(Surface surface) const { return surfaceTextures[static_cast<size_t>(surface)]; }

    // ---- textures ---------------------------------------------------------------------

    void addTextures()
    {
        for (int s = 0; s < static_cast<int>(Surface::Count); ++s) {
            const std::string name = textureDirectory + plan.texture(static_cast<Surface>(s));
            int index = -1;
            for (size_t i = 0; i < level.textures.size(); ++i) {
                if (level.textures[i].name == name)
                    index = static_cast<int>(i);
            }
            if (index < 0) {
                index = static_cast<int>(level.textures.size());
                level.textures.push_back({name, 0, 1});
            }
            surfaceTextures.push_back(index);
        }
    }

    // ---- faces, cell by cell ------------------------------------------------------------

    void addCellFaces()
    {
        cellFaces.resize(static_cast<size_t>(plan.columns) * plan.rows);
        for (int row = 0; row < plan.rows; ++row) {
            for (int column = 0; column < plan.columns; ++column) {
                FaceRange& range = cellFaces[static_cast<size_t>(row) * plan.columns + column];
                range.first = static_cast<int32_t>(level.faces.size());
                if (plan.isOpen(column, row))
                    addOpenCell(column, row);
                range.count = static_cast<int32_t>(level.faces.size()) - range.first;
            }
        }
    }

    void addOpenCell(int column, int row)
    {
        const Cell cell = plan.at(column, row);
        const float x0 = columnX(column);
        const float x1 = columnX(column + 1);
        const float y0 = rowLineY(row + 1);
        const float y1 = rowLineY(row);
        const Surface floor = floorSurface(column, row);
        geometry.addPolygon({{x0, y0, 0.0f}, {x1, y0, 0.0f}, {x1, y1, 0.0f}, {x0, y1, 0.0f}}, {0.0f, 0.0f, 1.0f},
                            texture(floor), {{1.0f, 0.0f, 0.0f}, {0.0f, -1.0f, 0.0f}, 0.0f});
        geometry.addPolygon({{x0, y0, height}, {x1, y0, height}, {x1, y1, height}, {x0, y1, height}},
                            {0.0f, 0.0f, -1.0f}, texture(Surface::Ceiling),
                            {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, 0.0f});
        addWallIfSolid(column, row - 1, {x0, y1, 0.0f}, {x1, y1, 0.0f}, {0.0f, -1.0f, 0.0f});
        addWallIfSolid(column, row + 1, {x0, y0, 0.0f}, {x1, y0, 0.0f}, {0.0f, 1.0f, 0.0f});
        addWallIfSolid(column - 1, row, {x0, y0, 0.0f}, {x0, y1, 0.0f}, {1.0f, 0.0f, 0.0f});
        addWallIfSolid(column + 1, row, {x1, y0, 0.0f}, {x1, y1, 0.0f}, {-1.0f, 0.0f, 0.0f});

        const Vector3 centre{(x0 + x1) * 0.5f, (y0 + y1) * 0.5f, 0.0f};
        switch (cell) {
        case Cell::Pillar:
            addPillar(centre);
            break;
        case Cell::Arch:
            addArch(column, row, {x0, y0, 0.0f});
            break;
        case Cell::Object:
            addPedestal(centre);
            break;
        case Cell::Billboard: {
            const float half = size * 0.25f;
            const float top = height * 0.6f;
            geometry.addBillboard({{centre.x - half, centre.y, 0.0f}, {centre.x + half, centre.y, 0.0f},
                                   {centre.x + half, centre.y, top}, {centre.x - half, centre.y, top}},
                                  {0.0f, 1.0f, 0.0f}, texture(Surface::Billboard));
            break;
        }
        default:
            break;
        }
    }

    // Plain floors keep their own kind; a cell holding a marker or decoration takes the
    // floor most of its neighbours have, so a pillar in a wooden hall stands on wood.
    Surface floorSurface(int column, int row) const
    {
        const Cell cell = plan.at(column, row);
        if (cell == Cell::Floor || cell == Cell::AltFloor)
            return cell == Cell::AltFloor ? Surface::AltFloor : Surface::Floor;
        int alternative = 0;
        int plain = 0;
        for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
            alternative += plan.at(column + dx, row + dy) == Cell::AltFloor;
            plain += plan.at(column + dx, row + dy) == Cell::Floor;
        }
        return alternative > plain ? Surface::AltFloor : Surface::Floor;
    }

    void addWallIfSolid(int column, int row, Vector3 a, Vector3 b, Vector3 normal)
    {
        const Cell neighbour = plan.at(column, row);
        if (!isSolid(neighbour))
            return;
        const Surface surface = neighbour == Cell::AltWall ? Surface::AltWall : Surface::Wall;
        geometry.addWall(a, b, height, normal, texture(surface));
    }

    // A round column from floor to ceiling: a 9 x 3 control grid, four patches around.
    void addPillar(Vector3 centre)
    {
        const float radius = size * 0.22f;
        const float ring[9][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}, {1, 0}};
        const float repeats = std::max(1.0f, std::round(2.0f * pi * radius / plan.textureScale));
        std::vector<VertexRecord> controls;
        for (int i = 0; i < 3; ++i) {
            const float z = height * 0.5f * static_cast<float>(i);
            for (int j = 0; j < 9; ++j) {
                VertexRecord v;
                v.position = {centre.x + ring[j][0] * radius, centre.y + ring[j][1] * radius, z};
                v.normal = normalized({ring[j][0], ring[j][1], 0.0f});
                v.texCoord[0] = repeats * static_cast<float>(j) / 8.0f;
                v.texCoord[1] = (height - z) / plan.textureScale;
                controls.push_back(v);
            }
        }
        geometry.addPatch(controls, 9, 3, texture(Surface::Pillar), {0.0f, 0.0f, 1.0f});
    }

    // A round arch under the ceiling of a doorway: the curved underside (a 5 x 3 grid
    // across the doorway and along the passage) and the two flat faces that close the
    // space between the curve and the ceiling.
    void addArch(int column, int row, Vector3 corner)
    {
        const bool passageAlongY = isSolid(plan.at(column - 1, row));
        const Vector3 across = passageAlongY ? Vector3{1.0f, 0.0f, 0.0f} : Vector3{0.0f, 1.0f, 0.0f};
        const Vector3 along = passageAlongY ? Vector3{0.0f, 1.0f, 0.0f} : Vector3{1.0f, 0.0f, 0.0f};
        const Vector3 up{0.0f, 0.0f, 1.0f};
        const float crown = height - std::max(4.0f, size / 8.0f);
        // Half an ellipse: as wide as the doorway, and at least a third of the room high
        // so that it reads as an arch rather than a lintel.
        const float radius = std::min(std::max(size * 0.5f, height * 0.35f), crown * 0.6f);
        const float spring = crown - radius;
        const float acrossAt[5] = {0.0f, 0.0f, size * 0.5f, size, size};
        const float zAt[5] = {spring, crown, crown, crown, spring};
        const Vector3 inward[5] = {across, normalized(across - up), up * -1.0f, normalized(across * -1.0f - up),
                                   across * -1.0f};
        const float arcLength = pi * 0.5f * (size * 0.5f + radius);

        std::vector<VertexRecord> underside;
        for (int i = 0; i < 3; ++i) {
            for (int k = 0; k < 5; ++k) {
                VertexRecord v;
                v.position = corner + across * acrossAt[k] + along * (size * 0.5f * static_cast<float>(i)) +
                             up * zAt[k];
                v.normal = inward[k];
                v.texCoord[0] = arcLength * static_cast<float>(k) / 4.0f / plan.textureScale;
                v.texCoord[1] = size * 0.5f * static_cast<float>(i) / plan.textureScale;
                underside.push_back(v);
            }
        }
        geometry.addPatch(underside, 5, 3, texture(Surface::Arch), {0.0f, 0.0f, -1.0f});

        for (const float side : {0.0f, 1.0f}) {
            const Vector3 normal = side == 0.0f ? along * -1.0f : along;
            std::vector<VertexRecord> face;
            for (int i = 0; i < 3; ++i) {
                for (int k = 0; k < 5; ++k) {
                    const float z = zAt[k] + (height - zAt[k]) * 0.5f * static_cast<float>(i);
                    VertexRecord v;
                    v.position = corner + across * acrossAt[k] + along * (size * side) + up * z;
                    v.normal = normal;
                    v.texCoord[0] = acrossAt[k] / plan.textureScale;
                    v.texCoord[1] = (height - z) / plan.textureScale;
                    face.push_back(v);
                }
            }
            geometry.addPatch(face, 5, 3, texture(Surface::Arch), normal);
        }
    }

    // A square plinth with a pyramid on top, as one triangle mesh.
    void addPedestal(Vector3 centre)
    {
        const float half = size * 0.18f;
        const float top = height * 0.3f;
        const float apex = top + half * 1.6f;
        const Vector3 corners[4] = {{centre.x - half, centre.y - half, 0.0f},
                                    {centre.x + half, centre.y - half, 0.0f},
                                    {centre.x + half, centre.y + half, 0.0f},
                                    {centre.x - half, centre.y + half, 0.0f}};
        const Vector3 lift{0.0f, 0.0f, top};
        const Vector3 peak{centre.x, centre.y, apex};
        std::vector<Geometry::Triangle> triangles;
        for (int i = 0; i < 4; ++i) {
            const Vector3 a = corners[i];
            const Vector3 b = corners[(i + 1) % 4];
            const Vector3 outward = (a + b) * 0.5f - centre; // horizontal: both lie on the floor
            triangles.push_back({{a, b, b + lift}, outward});
            triangles.push_back({{a, b + lift, a + lift}, outward});
            triangles.push_back({{a + lift, b + lift, peak}, outward + Vector3{0.0f, 0.0f, half}});
        }
        geometry.addMesh(triangles, texture(Surface::Object));
    }

    // ---- planes, brushes, tree ----------------------------------------------------------

    int plane(Vector3 normal, float distance)
    {
        const auto key = std::make_tuple(normal.x, normal.y, normal.z, distance);
        const auto found = planeIndex.find(key);
        if (found != planeIndex.end())
            return found->second;
        const int index = static_cast<int>(level.planes.size());
        level.planes.push_back({normal, distance});
        planeIndex.emplace(key, index);
        return index;
    }

    void addBrushes(const ClusterMap& rects)
    {
        for (const ClusterRect& r : rects.clusters) {
            const float x0 = columnX(r.column);
            const float x1 = columnX(r.column + r.width);
            const float y0 = rowLineY(r.row + r.height);
            const float y1 = rowLineY(r.row);
            const Surface surface = plan.at(r.column, r.row) == Cell::AltWall ? Surface::AltWall : Surface::Wall;
            const int32_t tex = texture(surface);
            level.brushes.push_back({static_cast<int32_t>(level.brushSides.size()), 6, tex});
            // Brush side planes face out of the brush.
            for (const auto& [normal, distance] :
                 {std::pair<Vector3, float>{{1, 0, 0}, x1}, {{-1, 0, 0}, -x0}, {{0, 1, 0}, y1}, {{0, -1, 0}, -y0},
                  {{0, 0, 1}, height}, {{0, 0, -1}, 0.0f}})
                level.brushSides.push_back({plane(normal, distance), tex});
        }
    }

    IntBox box(const GridRegion& region) const
    {
        IntBox b;
        b.mins = {columnXInt(region.column0), rowLineYInt(region.row1), 0};
        b.maxs = {columnXInt(region.column1), rowLineYInt(region.row0), plan.height};
        return b;
    }

    void addTree(const BspTree& tree, const ClusterMap& brushRects)
    {
        for (const BspSplit& split : tree.nodes) {
            NodeRecord node;
            node.plane = split.acrossColumns ? plane({1.0f, 0.0f, 0.0f}, columnX(split.line))
                                             : plane({0.0f, 1.0f, 0.0f}, rowLineY(split.line));
            node.children = {split.front, split.back};
            node.box = box(split.region);
            level.nodes.push_back(node);
        }
        std::vector<int> brushSeen(brushRects.clusters.size(), -1);
        for (const BspLeafRegion& region : tree.leaves) {
            LeafRecord leaf;
            leaf.cluster = region.cluster;
            leaf.area = region.cluster >= 0 ? 0 : -1;
            leaf.box = box(region.region);
            leaf.firstLeafFace = static_cast<int32_t>(level.leafFaces.size());
            leaf.firstLeafBrush = static_cast<int32_t>(level.leafBrushes.size());
            const int leafIndex = static_cast<int>(level.leaves.size());
            const GridRegion& g = region.region;
            for (int row = std::max(g.row0, 0); row < std::min(g.row1, plan.rows); ++row) {
                for (int column = std::max(g.column0, 0); column < std::min(g.column1, plan.columns); ++column) {
                    if (region.cluster >= 0) {
                        const FaceRange& faces = cellFaces[static_cast<size_t>(row) * plan.columns + column];
                        for (int32_t f = faces.first; f < faces.first + faces.count; ++f)
                            level.leafFaces.push_back(f);
                        continue;
                    }
                    const int brush = brushRects.at(column, row);
                    if (brush >= 0 && brushSeen[static_cast<size_t>(brush)] != leafIndex) {
                        brushSeen[static_cast<size_t>(brush)] = leafIndex;
                        level.leafBrushes.push_back(brush);
                    }
                }
            }
            leaf.leafFaceCount = static_cast<int32_t>(level.leafFaces.size()) - leaf.firstLeafFace;
            leaf.leafBrushCount = static_cast<int32_t>(level.leafBrushes.size()) - leaf.firstLeafBrush;
            level.leaves.push_back(leaf);
        }
    }

    void addModel()
    {
        ModelRecord model;
        model.mins = {0.0f, 0.0f, 0.0f};
        model.maxs = {columnX(plan.columns), rowLineY(0), height};
        model.faceCount = static_cast<int32_t>(level.faces.size());
        model.brushCount = static_cast<int32_t>(level.brushes.size());
        level.models.push_back(model);
    }

    void addEntities()
    {
        const auto origin = [this](GridPosition cell, float z) {
            const float x = columnX(cell.column) + size * 0.5f;
            const float y = rowLineY(cell.row + 1) + size * 0.5f;
            return "\"origin\" \"" + std::to_string(static_cast<int>(x)) + " " + std::to_string(static_cast<int>(y)) +
                   " " + std::to_string(static_cast<int>(z)) + "\"\n";
        };
        level.entities = "{\n\"classname\" \"world\"\n\"message\" \"" + plan.name + "\"\n}\n";
        level.entities += "{\n\"classname\" \"start\"\n" + origin(plan.start, static_cast<float>(eyeHeight(plan))) + "}\n";
        for (const GridPosition& light : plan.lights)
            level.entities += "{\n\"classname\" \"light\"\n" + origin(light, static_cast<float>(lightPosition(plan, light).y)) + "}\n";
    }

    const Plan& plan;
    float size;
    float height;
    Level level;
    Geometry geometry;
    std::vector<int> surfaceTextures;
    std::vector<FaceRange> cellFaces;
    std::map<std::tuple<float, float, float, float>, int> planeIndex;
};

} // namespace

Level buildLevel(const Plan& plan, BuildStatistics* statistics)
{
    return LevelAssembler(plan).run(statistics);
}

int eyeHeight(const Plan& plan)
{
    return std::clamp(plan.height * 45 / 100, 8, plan.height - 8);
}

WorldPosition startPosition(const Plan& plan)
{
    const int x = plan.start.column * plan.cellSize + plan.cellSize / 2;
    const int y = (plan.rows - 1 - plan.start.row) * plan.cellSize + plan.cellSize / 2;
    return {x, eyeHeight(plan), -y};
}

WorldPosition lightPosition(const Plan& plan, GridPosition cell)
{
    const int x = cell.column * plan.cellSize + plan.cellSize / 2;
    const int y = (plan.rows - 1 - cell.row) * plan.cellSize + plan.cellSize / 2;
    return {x, plan.height - std::max(4, plan.height / 10), -y};
}
