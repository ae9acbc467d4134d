#include "render/BSPMap.h"

#include "camera/Camera.h"
#include "entities/Friendlies.h"
#include "visibility/Visibility.h"
#include "level/LevelFormat.h"
#include "level/LevelLoader.h"
#include "render/DataPathImages.h"
#include "render/LightingModule.h"
#include "render/OnScreenDisplay.h"
#include "render/PlainLook.h"
#include "render/StatusLine.h"

#include <algorithm>
#include <iomanip>
#include <iostream>
#include <sstream>

namespace {
constexpr char skyImageName[LevelFormat::textureNameSize] = "textures/skies/intelredclouds";
} // namespace

BSPMap::BSPMap(const std::string& dataPath, const std::string& levelPath, OnScreenDisplay* display,
               LightingModule* lighting)
    : display(display), lighting(lighting), dataPath(dataPath), levelPath(levelPath),
      images(std::make_unique<DataPathImages>(dataPath)), look(std::make_unique<PlainLook>())
{
    load(levelPath, LevelLoader::readLevelFile(levelPath), std::nullopt);
    prepareFrames();
}

BSPMap::BSPMap(Source source, OnScreenDisplay* display, LightingModule* lighting)
    : display(display), lighting(lighting), dataPath(std::move(source.dataPath)), levelPath(std::move(source.name)),
      images(std::move(source.images)), look(std::move(source.look))
{
    load(levelPath, std::move(source.bytes), std::move(source.entities));
    prepareFrames();
}

// Takes the file's bytes by value, so they go before the patches take their memory; the look
// takes what it needs of them (the lightmap pages) while they are here.
void BSPMap::load(const std::string& name, std::vector<unsigned char> bytes, std::optional<EntityList> entities)
{
    LevelLoader loader(name, bytes, images->transcript());
    loader.readHeader(*this);
    loader.readTextureNames(*this);
    const std::vector<bool> inUse = loader.texturesInUse(*this);
    const bool texturesLast = images->beginImages(*this, inUse);
    LevelLoader::BottomUpQuery keepsRowsBottomUp;
    if (!texturesLast) {
        textureManager = images->loadTextures(*this, inUse, lightmapCount);
        keepsRowsBottomUp = [this](int texture) { return images->keepsRowsBottomUp(*textureManager, texture); };
    }
    loader.readRecords(*this, keepsRowsBottomUp);
    loader.readVisibility(*this);
    if (entities)
        loader.readEntities(*this, std::move(*entities));
    else
        loader.readEntities(*this);
    if (texturesLast)
        textureManager = images->loadTextures(*this, inUse, lightmapCount);
    look->recordsRead(loader, *this, *textureManager);
}

void BSPMap::prepareFrames()
{
    LevelLoader::buildPatches(*this);
    skybox = std::make_unique<Skybox>();
    look->levelReady(*this, *textureManager);
    // Sized once, so gathering a frame's faces never allocates.
    drawnFaces.resize(faces.size());
    visibleFaces.reserve(faces.size());
}

// The 'b' key re-tessellates right after switching on, which rebuilds the patch buffer; building
// it here as well would do the work twice, so it is only marked out of date.
void BSPMap::enablePatchTessellation()
{
    patchesTessellated = true;
    look->patchesWillChange();
}

void BSPMap::disablePatchTessellation()
{
    patchesTessellated = false;
    look->rebuildPatches(*this, false);
}

BSPMap::~BSPMap() = default;

// Every patch's new tessellation is built before any patch gives up its old one, so running
// out of memory part way (std::bad_alloc) leaves the level as it was.
void BSPMap::retessellatePatches(int level)
{
    if (!patchesTessellated)
        return;
    std::vector<BezierPatch::Tessellation> fresh;
    fresh.reserve(patchCount());
    for (const Face& face : faces)
        for (const BezierPatch& patch : face.patches)
            fresh.push_back(patch.tessellated(level));
    auto next = fresh.begin();
    for (Face& face : faces)
        for (BezierPatch& patch : face.patches)
            patch.adopt(std::move(*next++));
    look->rebuildPatches(*this, true);
}

// The old and the new tessellation are held at once while they change, so a level of many
// patches could need many times its own memory at the finest levels. That is refused above a
// multiple of the level's footprint, with a floor that every small level stays under.
std::optional<std::string> BSPMap::tessellationRefusal(int level) const
{
    constexpr std::size_t footprintFactor = 4;
    constexpr std::size_t floorBytes = std::size_t(64) << 20;
    constexpr double mebibyte = 1024.0 * 1024.0;
    std::size_t held = 0;
    for (const Face& face : faces)
        for (const BezierPatch& patch : face.patches)
            held += patch.vertices.capacity() * sizeof(Vertex) + patch.indices.capacity() * sizeof(unsigned int);
    const std::size_t needed = held + patchCount() * BezierPatch::tessellationBytes(level);
    const std::size_t footprint = footprintBytes();
    const std::size_t allowed = std::max(footprintFactor * footprint, floorBytes);
    if (!patchesTessellated || needed <= allowed)
        return std::nullopt;
    std::ostringstream why;
    why << std::fixed << std::setprecision(0) << "the curved surfaces at level " << level << " would need "
        << double(needed) / mebibyte << " MiB while they change, more than the " << double(allowed) / mebibyte
        << " MiB allowed (" << footprintFactor << " times the level's " << double(footprint) / mebibyte
        << " MiB); they keep their tessellation";
    return why.str();
}

std::size_t BSPMap::patchCount() const
{
    std::size_t count = 0;
    for (const Face& face : faces)
        count += face.patches.size();
    return count;
}

void BSPMap::setCamera(Camera* newCamera)
{
    camera = newCamera;
    glGenTextures(1, &skyTexture);
    glBindTexture(GL_TEXTURE_2D, skyTexture);
    images->loadSky(skyImageName);
}

int BSPMap::findCameraLeaf() const { return Visibility::findLeaf(*this, camera->getPosition()); }

void BSPMap::collectVisibleFaces(int cluster)
{
    Visibility::collectFaces(*this, cluster, *camera, drawnFaces, visibleFaces);
}

// ---- the frame -------------------------------------------------------------------------------

void BSPMap::render(StatusLine& text, float frameSeconds, bool texturesEnabled, bool lightingEnabled)
{
    const int cluster = leaves[std::size_t(findCameraLeaf())].cluster;
    visibleFaces.clear();
    glPushMatrix();
    cameraRenderer.applyView(*camera, frameSeconds);
    // The sky leaves unit 0 texturing on with its texture at coordinate (0, 1): the gun,
    // shots and players, and the faces when textures are off, are drawn with that state.
    look->drawSky(*skybox, skyTexture);
    if (hudShown)
        cameraRenderer.drawGun();
    camera->advanceShots();
    look->drawShots(cameraRenderer, camera->shots());
    moveAndDrawPlayers();
    pruneShots();
    look->collectVisibleFaces(*this, cluster, *camera, drawnFaces, visibleFaces);
    look->drawFaces({*this, *textureManager, visibleFaces, *lighting, patchesTessellated, texturesEnabled,
                     lightingEnabled});
    glPopMatrix();
    endFaces();
    drawStatusLine(text, lightingEnabled);
    drawnFaces.clear();
}

void BSPMap::moveAndDrawPlayers()
{
    if (friendlies == nullptr)
        return;
    score += friendlies->update(camera->shots());
    playerRenderer.drawPlayers(*friendlies);
}

// The shots live inside the root node's box; its stored mins carry the larger Z after the
// axis conversion, so the corners are put together per axis.
void BSPMap::pruneShots()
{
    const Node& root = nodes[0];
    const Vec3 minCorner(float(root.mins[0]), float(root.mins[1]), float(root.maxs[2]));
    const Vec3 maxCorner(float(root.maxs[0]), float(root.maxs[1]), float(root.mins[2]));
    camera->pruneShots(minCorner, maxCorner);
}

// Texturing on both units and culling end with the faces; the arrays stay enabled.
void BSPMap::endFaces()
{
    TextureManager::switchOffLightmapUnit();
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
}

void BSPMap::drawStatusLine(StatusLine& text, bool lightingEnabled)
{
    text << "  SCORE: " << score;
    look->endLighting(*lighting, lightingEnabled);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    if (hudShown)
        look->drawStatusLine(*display, text.c_str());
    glColor3f(1.0f, 1.0f, 1.0f);
}
