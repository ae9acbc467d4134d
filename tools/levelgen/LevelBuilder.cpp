#include "LevelBuilder.h"

#include "BrushModels.h"
#include "BspTree.h"
#include "Clusters.h"
#include "Decorations.h"
#include "EntityText.h"
#include "Geometry.h"
#include "Lightmapper.h"
#include "Materials.h"
#include "Shapes.h"
#include "TextureCatalogue.h"
#include "Visibility.h"

#include "level/LevelFormat.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace {

constexpr int maxBrushSide = 32;
constexpr float waterLevel = 0.06f; // of the room's height: a pool's surface over its floor
constexpr float fogLevel = 0.4f;    // of the room's height: the top of a fog pit's fog
constexpr int32_t fogTopSide = 4;
constexpr int slabThickness = 16; // units of the brushes under floors and over ceilings
constexpr int lavaDepth = 4;      // units of a lava floor's brush above the floor   // the fog brush's side facing up, counted from its first

struct FaceRange {
    int32_t first = 0;
    int32_t count = 0;
};

class LevelAssembler {
public:
    explicit LevelAssembler(const Plan& plan)
        : plan(plan), size(static_cast<float>(plan.cellSize)), height(static_cast<float>(plan.height)),
          geometry(level, static_cast<float>(plan.textureScale)), decorations(plan, geometry)
    {
    }

    Level run(BuildStatistics* statistics)
    {
        addTextures();
        fogRects = buildRectangles(
            plan, [](const Plan& p, int column, int row) { return p.at(column, row) == Cell::FogPit; }, maxBrushSide);
        addCellFaces();
        addShapeFaces();
        worldFaceCount = static_cast<int32_t>(level.faces.size());
        brushModels = addBrushModelFaces(plan, brushEntities,
                                         {texture(Surface::Arch), texture(Surface::Pillar), texture(Surface::Arch)},
                                         geometry);
        addButtonFaces();
        bakeLighting(plan, faceLighting(), level);
        storeAroundOrigins(brushEntities, brushModels, level);
        const ClusterMap clusters = buildClusters(plan);
        const ClusterMap brushRects = buildRectangles(
            plan, [](const Plan& p, int column, int row) { return !p.isOpen(column, row); }, maxBrushSide);
        addBrushes(brushRects);
        addFloorAndCeilingSlabs();
        addLiquidBrushes();
        addFogVolumes();
        addLiquidFog();
        addShapeBrushes();
        addTree(buildBspTree(clusters), brushRects);
        addWorldModel();
        addBrushModels();
        addShapeModels();
        level.visibility = computeVisibility(clusters);
        level.entities = entityText(plan);
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

    int addTexture(const TextureRecord& record, FaceLighting lighting)
    {
        for (size_t i = 0; i < level.textures.size(); ++i) {
            if (level.textures[i].name == record.name)
                return static_cast<int>(i);
        }
        level.textures.push_back(record);
        textureLighting.push_back(lighting);
        return static_cast<int>(level.textures.size()) - 1;
    }

    // The catalogue's textures for every surface, then the materials the plan shows.
    void addTextures()
    {
        for (int s = 0; s < static_cast<int>(Surface::Count); ++s) {
            const std::string name = textureDirectory + plan.texture(static_cast<Surface>(s));
            surfaceTextures.push_back(addTexture({name, 0, solidContents}, FaceLighting::Lightmap));
        }
        for (int m = 0; m < static_cast<int>(Material::Count); ++m) {
            const Material material = static_cast<Material>(m);
            if (!planUses(plan, material)) {
                materialTextures.push_back(-1);
                continue;
            }
            const MaterialRecord record = materialRecord(plan, material);
            materialTextures.push_back(addTexture({record.textureName, record.flags, record.contents},
                                                  materialLighting(material)));
        }
        // Only a plan with clips or triggers has their records, so other levels keep their bytes.
        for (const PlanShape& shape : plan.shapes) {
            if (shape.kind == ShapeKind::clip)
                clipTexture = addTexture({std::string(textureDirectory) + "clip", nodrawSurfaceFlag, playerClipContents},
                                         FaceLighting::Unlit);
            if (isTriggerShape(shape.kind) && !shape.wall)
                triggerTexture = addTexture({triggerTextureName, nodrawSurfaceFlag, solidContents}, FaceLighting::Unlit);
        }
        for (int k = 0; k < plan.images; ++k)
            imageTextures.push_back(addTexture({planImageName(k), 0, solidContents}, FaceLighting::Lightmap));
    }

    // Only the surfaces whose materials take the lightmap get one; the rest glow by themselves,
    // blend over what is behind, reflect, or are never drawn with a picture.
    static FaceLighting materialLighting(Material material)
    {
        switch (material) {
        case Material::Grate:
            return FaceLighting::LightmapBothSides;
        case Material::PanelWall:
            return FaceLighting::Lightmap;
        default:
            return FaceLighting::Unlit;
        }
    }

    std::vector<FaceLighting> faceLighting() const
    {
        std::vector<FaceLighting> lighting;
        for (const FaceRecord& face : level.faces)
            lighting.push_back(face.type == LevelFormat::Polygon ? textureLighting[static_cast<size_t>(face.texture)]
                                                                 : FaceLighting::VertexColours);
        return lighting;
    }

    int materialTexture(Material material) const { return materialTextures[static_cast<size_t>(material)]; }

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
        const int32_t firstFace = static_cast<int32_t>(level.faces.size());
        const int floor = cell == Cell::Lava      ? materialTexture(Material::Lava)
                        : imageTextures.empty() ? texture(floorSurface(column, row))
                                                : imageTextures[nextImage++ % imageTextures.size()];
        geometry.addPolygon({{x0, y0, 0.0f}, {x1, y0, 0.0f}, {x1, y1, 0.0f}, {x0, y1, 0.0f}}, {0.0f, 0.0f, 1.0f},
                            floor, {{1.0f, 0.0f, 0.0f}, {0.0f, -1.0f, 0.0f}, 0.0f, 0.0f});
        const int ceiling = cell == Cell::Sky ? materialTexture(skyMaterial(plan)) : texture(Surface::Ceiling);
        geometry.addPolygon({{x0, y0, height}, {x1, y0, height}, {x1, y1, height}, {x0, y1, height}},
                            {0.0f, 0.0f, -1.0f}, ceiling, {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, 0.0f, 0.0f});
        addWallIfSolid(column, row - 1, {x0, y1, 0.0f}, {x1, y1, 0.0f}, {0.0f, -1.0f, 0.0f});
        addWallIfSolid(column, row + 1, {x0, y0, 0.0f}, {x1, y0, 0.0f}, {0.0f, 1.0f, 0.0f});
        addWallIfSolid(column - 1, row, {x0, y0, 0.0f}, {x0, y1, 0.0f}, {1.0f, 0.0f, 0.0f});
        addWallIfSolid(column + 1, row, {x1, y0, 0.0f}, {x1, y1, 0.0f}, {-1.0f, 0.0f, 0.0f});

        const Vector3 centre{(x0 + x1) * 0.5f, (y0 + y1) * 0.5f, 0.0f};
        switch (cell) {
        case Cell::Pillar:
            decorations.addPillar(centre, texture(Surface::Pillar));
            break;
        case Cell::Arch:
            decorations.addArch(column, row, {x0, y0, 0.0f}, texture(Surface::Arch));
            break;
        case Cell::Object:
            decorations.addPedestal(centre, texture(Surface::Object));
            break;
        case Cell::Billboard:
            decorations.addBillboard(centre, texture(Surface::Billboard));
            break;
        case Cell::Grate:
            decorations.addGrate(column, row, materialTexture(Material::Grate));
            break;
        case Cell::Nodraw:
            decorations.addScreen(column, row, materialTexture(Material::Nodraw));
            break;
        case Cell::Water:
            decorations.addLevelSurface(column, row, height * waterLevel, materialTexture(Material::Water));
            putInFog(firstFace, liquidEffect(column, row), height * waterLevel);
            break;
        case Cell::Lava:
            putInFog(firstFace, liquidEffect(column, row), static_cast<float>(lavaDepth));
            break;
        case Cell::Flame:
            decorations.addFlame(centre, materialTexture(Material::Flame));
            break;
        case Cell::FogPit:
            decorations.addLevelSurface(column, row, height * fogLevel, materialTexture(Material::Fog));
            putInFog(firstFace, fogRects.at(column, row), height * fogLevel);
            break;
        default:
            break;
        }
    }

    // The cell's faces that reach down into the fog (up to `top`), its surface included, lie in
    // fog volume `effect`; the ceiling and a sign above the fog do not.
    void putInFog(int32_t firstFace, int32_t effect, float top)
    {
        for (int32_t f = firstFace; f < static_cast<int32_t>(level.faces.size()); ++f) {
            FaceRecord& face = level.faces[static_cast<size_t>(f)];
            float lowest = height;
            for (int32_t v = face.firstVertex; v < face.firstVertex + face.vertexCount; ++v)
                lowest = std::min(lowest, level.vertices[static_cast<size_t>(v)].position.z);
            if (lowest <= top)
                face.effect = effect;
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
        geometry.addWall(a, b, height, normal, wallTexture(neighbour));
        switch (neighbour) {
        case Cell::GlowWall:
            decorations.addPanel(a, b, normal, materialTexture(Material::Panel), Decorations::glowingPanel);
            break;
        case Cell::PulseWall:
            decorations.addPanel(a, b, normal, materialTexture(Material::PulsePanel), Decorations::glowingPanel);
            break;
        case Cell::ChromeWall:
            decorations.addPanel(a, b, normal, materialTexture(Material::Chrome), Decorations::trim);
            break;
        case Cell::SignWall:
            decorations.addPanel(a, b, normal, materialTexture(Material::Sign), Decorations::sign);
            break;
        default:
            break;
        }
    }

    int wallTexture(Cell solid) const
    {
        if (solid == Cell::PanelWall)
            return materialTexture(Material::PanelWall);
        return texture(solid == Cell::AltWall ? Surface::AltWall : Surface::Wall);
    }

    // ---- shapes ---------------------------------------------------------------------------

    int shapeTexture(const PlanShape& shape) const
    {
        switch (shape.kind) {
        case ShapeKind::clip: return clipTexture;
        case ShapeKind::water: return materialTexture(Material::Water);
        case ShapeKind::button: return texture(Surface::Pillar); // as a lift's platform
        default: return isTriggerShape(shape.kind) && !shape.wall ? triggerTexture : texture(Surface::AltWall);
        }
    }

    // The world's shapes' faces, after the cells' and before the brush models', so that model
    // 0 holds them and the leaves they stand in list them.
    void addShapeFaces()
    {
        for (const PlanShape& shape : plan.shapes) {
            FaceRange range{static_cast<int32_t>(level.faces.size()), 0};
            if (!isModelShape(shape.kind))
                ::addShapeFaces(shape, shapeTexture(shape), geometry);
            range.count = static_cast<int32_t>(level.faces.size()) - range.first;
            shapeFaces.push_back(range);
        }
    }

    void addShapeBrushes()
    {
        for (const PlanShape& shape : plan.shapes) {
            const std::vector<ShapePlane> planes = shapePlanes(shape);
            if (isModelShape(shape.kind) || planes.empty()) {
                shapeBrushes.push_back(-1);
                continue;
            }
            shapeBrushes.push_back(static_cast<int32_t>(level.brushes.size()));
            addBrush(planes, shapeTexture(shape));
        }
    }

    void addBrush(const std::vector<ShapePlane>& planes, int32_t tex)
    {
        level.brushes.push_back({static_cast<int32_t>(level.brushSides.size()),
                                 static_cast<int32_t>(planes.size()), tex});
        for (const ShapePlane& side : planes)
            level.brushSides.push_back({plane(side.normal, side.distance), tex});
    }

    static bool overlaps(const PlanShape& shape, const IntBox& box)
    {
        return shape.low[0] < box.maxs[0] && shape.high[0] > box.mins[0] && shape.low[1] < box.maxs[1]
            && shape.high[1] > box.mins[1];
    }

    // The world's shapes over a leaf: their brushes, and (open leaves only) their faces.
    void listShapes(const IntBox& box, bool open)
    {
        for (size_t i = 0; i < plan.shapes.size(); ++i) {
            if (!overlaps(plan.shapes[i], box))
                continue;
            if (shapeBrushes[i] >= 0)
                level.leafBrushes.push_back(shapeBrushes[i]);
            for (int32_t f = shapeFaces[i].first; open && f < shapeFaces[i].first + shapeFaces[i].count; ++f)
                level.leafFaces.push_back(f);
        }
    }

    // The buttons' faces, after the cells' models' and in plan order, so that each shape's model
    // holds the faces between the previous model's and the next one's; lit where they stand.
    void addButtonFaces()
    {
        firstShapeModelFace = geometry.faceCount();
        shapeModels.resize(plan.shapes.size());
        for (size_t i = 0; i < plan.shapes.size(); ++i) {
            if (plan.shapes[i].kind == ShapeKind::button)
                shapeModels[i] = ::addButtonFaces(plan.shapes[i], shapeTexture(plan.shapes[i]), geometry);
        }
    }

    // Each shape that is an entity of its own, in plan order after the cells' models: one brush
    // and, for a button, its faces. A trigger's model has none, so it starts where the next
    // model's faces would.
    void addShapeModels()
    {
        int32_t nextFace = firstShapeModelFace;
        for (size_t i = 0; i < plan.shapes.size(); ++i) {
            const PlanShape& shape = plan.shapes[i];
            if (!isModelShape(shape.kind))
                continue;
            ModelRecord model;
            model.firstFace = nextFace;
            model.faceCount = shapeModels[i].faceCount; // none but a button's
            nextFace += model.faceCount;
            model.firstBrush = static_cast<int32_t>(level.brushes.size());
            model.brushCount = 1;
            model.mins = {float(shape.low[0]), float(shape.low[1]), float(shape.low[2])};
            model.maxs = {float(shape.high[0]), float(shape.high[1]), float(shape.high[2])};
            addBrush(shapePlanes(shape), shapeTexture(shape));
            level.models.push_back(model);
        }
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
            const int32_t tex = wallTexture(plan.at(r.column, r.row));
            level.brushes.push_back({static_cast<int32_t>(level.brushSides.size()), 6, tex});
            // Brush side planes face out of the brush.
            for (const auto& [normal, distance] :
                 {std::pair<Vector3, float>{{1, 0, 0}, x1}, {{-1, 0, 0}, -x0}, {{0, 1, 0}, y1}, {{0, -1, 0}, -y0},
                  {{0, 0, 1}, height}, {{0, 0, -1}, 0.0f}})
                level.brushSides.push_back({plane(normal, distance), tex});
        }
    }

    // Under every open rectangle a floor slab and over it a ceiling slab, so that something
    // stops a walker where the faces show the floor and the ceiling.
    void addFloorAndCeilingSlabs()
    {
        openRects = buildRectangles(
            plan, [](const Plan& p, int column, int row) { return p.isOpen(column, row); }, maxBrushSide);
        for (const ClusterRect& r : openRects.clusters) {
            const std::array<int, 3> low{columnXInt(r.column), rowLineYInt(r.row + r.height), 0};
            const std::array<int, 3> high{columnXInt(r.column + r.width), rowLineYInt(r.row), plan.height};
            PlanShape slab;
            slab.low = {low[0], low[1], -slabThickness};
            slab.high = {high[0], high[1], 0};
            slabBrushes.push_back(static_cast<int32_t>(level.brushes.size()));
            addBrush(shapePlanes(slab), texture(Surface::Floor));
            slab.low[2] = plan.height;
            slab.high[2] = plan.height + slabThickness;
            addBrush(shapePlanes(slab), texture(Surface::Ceiling));
        }
    }

    // A pool's water from its floor to its surface, and a lava floor's first few units, as
    // brushes of their materials' contents: a walker wades in one and stands in the other.
    void addLiquidBrushes()
    {
        liquidBrushes.assign(static_cast<size_t>(plan.columns) * plan.rows, -1);
        for (int row = 0; row < plan.rows; ++row) {
            for (int column = 0; column < plan.columns; ++column) {
                const Cell cell = plan.at(column, row);
                if (cell != Cell::Water && cell != Cell::Lava)
                    continue;
                PlanShape volume;
                volume.low = {columnXInt(column), rowLineYInt(row + 1), 0};
                volume.high = {columnXInt(column + 1), rowLineYInt(row),
                               cell == Cell::Water ? static_cast<int>(std::lround(height * waterLevel)) : lavaDepth};
                liquidBrushes[static_cast<size_t>(row) * plan.columns + column] = static_cast<int32_t>(level.brushes.size());
                addBrush(shapePlanes(volume), materialTexture(cell == Cell::Water ? Material::Water : Material::Lava));
            }
        }
    }

    // Each fog rectangle as the format records it: a brush of six sides facing out, from the
    // floor to the fog's top, and an effect naming the fog material, the brush and its top side.
    void addFogVolumes()
    {
        const int32_t fog = materialTexture(Material::Fog);
        for (const ClusterRect& r : fogRects.clusters) {
            const float x0 = columnX(r.column);
            const float x1 = columnX(r.column + r.width);
            const float y0 = rowLineY(r.row + r.height);
            const float y1 = rowLineY(r.row);
            fogBrushes.push_back(static_cast<int32_t>(level.brushes.size()));
            level.effects.push_back({level.textures[static_cast<size_t>(fog)].name, fogBrushes.back(), fogTopSide});
            level.brushes.push_back({static_cast<int32_t>(level.brushSides.size()), 6, fog});
            for (const auto& [normal, distance] :
                 {std::pair<Vector3, float>{{1, 0, 0}, x1}, {{-1, 0, 0}, -x0}, {{0, 1, 0}, y1}, {{0, -1, 0}, -y0},
                  {{0, 0, 1}, height * fogLevel}, {{0, 0, -1}, 0.0f}})
                level.brushSides.push_back({plane(normal, distance), fog});
        }
    }

    bool isLiquid(int column, int row) const
    {
        return plan.at(column, row) == Cell::Water || plan.at(column, row) == Cell::Lava;
    }

    // A water or lava cell's fog volume: its liquid brush, after the fog pits' effects, in
    // row-major order of the cells.
    int32_t liquidEffect(int column, int row) const
    {
        int32_t before = 0;
        for (int r = 0; r < plan.rows; ++r)
            for (int c = 0; c < plan.columns; ++c) {
                if (r == row && c == column)
                    return static_cast<int32_t>(fogRects.clusters.size()) + before;
                before += isLiquid(c, r) ? 1 : 0;
            }
        return -1;
    }

    // The water and lava materials carry fogparms: each liquid brush is also a fog volume.
    void addLiquidFog()
    {
        for (int row = 0; row < plan.rows; ++row)
            for (int column = 0; column < plan.columns; ++column) {
                if (!isLiquid(column, row))
                    continue;
                const int32_t brush = liquidBrushes[static_cast<size_t>(row) * plan.columns + column];
                const int32_t material = level.brushes[static_cast<size_t>(brush)].texture;
                level.effects.push_back({level.textures[static_cast<size_t>(material)].name, brush, -1});
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
        std::vector<int> fogSeen(fogRects.clusters.size(), -1);
        std::vector<int> slabSeen(openRects.clusters.size(), -1);
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
                        const int slab = openRects.at(column, row);
                        if (slab >= 0 && slabSeen[static_cast<size_t>(slab)] != leafIndex) {
                            slabSeen[static_cast<size_t>(slab)] = leafIndex;
                            level.leafBrushes.push_back(slabBrushes[static_cast<size_t>(slab)]);
                            level.leafBrushes.push_back(slabBrushes[static_cast<size_t>(slab)] + 1);
                        }
                        const int32_t liquid = liquidBrushes[static_cast<size_t>(row) * plan.columns + column];
                        if (liquid >= 0)
                            level.leafBrushes.push_back(liquid);
                        const int fog = fogRects.at(column, row); // open leaves list the fog they hold
                        if (fog >= 0 && fogSeen[static_cast<size_t>(fog)] != leafIndex) {
                            fogSeen[static_cast<size_t>(fog)] = leafIndex;
                            level.leafBrushes.push_back(fogBrushes[static_cast<size_t>(fog)]);
                        }
                        continue;
                    }
                    const int brush = brushRects.at(column, row);
                    if (brush >= 0 && brushSeen[static_cast<size_t>(brush)] != leafIndex) {
                        brushSeen[static_cast<size_t>(brush)] = leafIndex;
                        level.leafBrushes.push_back(brush);
                    }
                }
            }
            listShapes(leaf.box, region.cluster >= 0);
            leaf.leafFaceCount = static_cast<int32_t>(level.leafFaces.size()) - leaf.firstLeafFace;
            leaf.leafBrushCount = static_cast<int32_t>(level.leafBrushes.size()) - leaf.firstLeafBrush;
            level.leaves.push_back(leaf);
        }
    }

    void addWorldModel()
    {
        ModelRecord model;
        model.mins = {0.0f, 0.0f, 0.0f};
        model.maxs = {columnX(plan.columns), rowLineY(0), height};
        model.faceCount = worldFaceCount;
        model.brushCount = static_cast<int32_t>(level.brushes.size());
        level.models.push_back(model);
    }

    // Models 1 and up, each with a brush per solid part; a placed model's box and brushes lie
    // around its own origin, as its faces do.
    void addBrushModels()
    {
        for (size_t m = 0; m < brushModels.size(); ++m) {
            const BrushModel& built = brushModels[m];
            const Vector3 back = brushEntities[m].origin * -1.0f;
            ModelRecord model;
            model.firstFace = built.firstFace;
            model.faceCount = built.faceCount;
            model.firstBrush = static_cast<int32_t>(level.brushes.size());
            model.mins = moved(built.boxes.front(), back).low;
            model.maxs = moved(built.boxes.front(), back).high;
            for (const Box& part : built.boxes) {
                const Box stored = moved(part, back);
                model.mins = {std::min(model.mins.x, stored.low.x), std::min(model.mins.y, stored.low.y),
                              std::min(model.mins.z, stored.low.z)};
                model.maxs = {std::max(model.maxs.x, stored.high.x), std::max(model.maxs.y, stored.high.y),
                              std::max(model.maxs.z, stored.high.z)};
                addBoxBrush(stored, texture(brushEntities[m].kind == BrushKind::lift ? Surface::Pillar : Surface::Arch));
            }
            model.brushCount = static_cast<int32_t>(level.brushes.size()) - model.firstBrush;
            level.models.push_back(model);
        }
    }

    void addBoxBrush(const Box& box, int32_t tex)
    {
        level.brushes.push_back({static_cast<int32_t>(level.brushSides.size()), 6, tex});
        for (const auto& [normal, distance] :
             {std::pair<Vector3, float>{{1, 0, 0}, box.high.x}, {{-1, 0, 0}, -box.low.x}, {{0, 1, 0}, box.high.y},
              {{0, -1, 0}, -box.low.y}, {{0, 0, 1}, box.high.z}, {{0, 0, -1}, -box.low.z}})
            level.brushSides.push_back({plane(normal, distance), tex});
    }

    const Plan& plan;
    float size;
    float height;
    Level level;
    Geometry geometry;
    Decorations decorations;
    std::vector<int> surfaceTextures;  // by Surface
    std::vector<int> materialTextures; // by Material; -1 where the plan does not show it
    std::vector<int> imageTextures;    // the plan's own images, by number
    size_t nextImage = 0;              // the image the next open cell's floor shows
    std::vector<FaceLighting> textureLighting; // by texture, for polygon faces
    std::vector<FaceRange> cellFaces;
    ClusterMap fogRects;               // the fog pits' rectangles; rectangle i is effect i
    std::vector<int32_t> fogBrushes;   // by fog rectangle
    std::map<std::tuple<float, float, float, float>, int> planeIndex;
    std::vector<PlanBrushEntity> brushEntities = planBrushEntities(plan);
    std::vector<BrushModel> brushModels; // by brush entity
    int32_t worldFaceCount = 0;          // model 0's: the faces the leaves list
    std::vector<FaceRange> shapeFaces;   // by plan shape
    ClusterMap openRects;                // the open cells' rectangles, each with two slabs
    std::vector<int32_t> slabBrushes;    // by open rectangle: its floor slab; the ceiling's follows
    std::vector<int32_t> liquidBrushes;  // by cell, row-major: its water or lava brush; -1 for none
    std::vector<int32_t> shapeBrushes;   // by plan shape; -1 for a curve or an entity's shape
    std::vector<BrushModel> shapeModels; // by plan shape: a button's faces; empty for the rest
    int32_t firstShapeModelFace = 0;     // after the cells' models' faces
    int clipTexture = -1;
    int triggerTexture = -1;
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
