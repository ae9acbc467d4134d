#include "render/DesignedLook.h"

#include "camera/Camera.h"
#include "simulation/World.h"
#include "level/Material.h"
#include "level/Pickup.h"
#include "level/PointMarker.h"
#include "level/TextureResolver.h"
#include "render/CameraRenderer.h"
#include "render/DataRootImages.h"
#include "render/LightingModule.h"
#include "render/Skybox.h"
#include "render/TextureManager.h"

#include <algorithm>

DesignedLook::DesignedLook(DataRootImages& images, const Overbright& light, std::string levelName,
                           std::ostream& log, double startSeconds, Markers shown)
    : images(images), light(light), levelName(std::move(levelName)), log(log), markersShown(shown),
      clockSeconds(startSeconds)
{
}

void DesignedLook::recordsRead(const LevelLoader& loader, LevelData& level, TextureManager& textures)
{
    const LevelLoader::Bytes pages = loader.lightmapPages();
    textures.uploadLightmaps(pages.data, pages.size, light);
    placedEntities = BrushEntity::list(level, level.entities.entities, levelName, level.notices);
    BrushEntity::placeAtRest(level, placedEntities, levelName, level.notices);
    for (const std::string& notice : level.notices) // the configuration-mode transcript never holds them
        log << notice << '\n';
}

void DesignedLook::levelReady(const LevelData& level, const TextureManager& textures)
{
    // Where the level draws nothing (outside its walls, a sky without images): a dark neutral
    // grey that the status line and a missing sky never vanish into.
    glClearColor(backgroundGrey, backgroundGrey, backgroundGrey, 1.0f);
    shownLevel = &level;
    visibleSet.emplace(level);
    std::size_t mostFaces = 0;
    for (const BrushEntity& entity : placedEntities)
        mostFaces = std::max(mostFaces, std::size_t(entity.faceCount));
    moverFaces.reserve(mostFaces);
    brushEntityVisibility.emplace(level, std::move(placedEntities));
    markers.emplace(PointMarker::list(level.entities.entities));
    pickups.emplace(Pickup::list(level.entities.entities));
    if (markers->empty() && pickups->empty())
        markersShown = Markers::none;
    // Only the records faces use are looked up: the others are never drawn.
    const TextureResolver& resolver = images.resolver();
    styles.resize(level.textureNames.size());
    animated.assign(level.textureNames.size(), false);
    for (std::size_t i = 0; i < level.textureNames.size(); ++i)
        if (images.isUsed(int(i))) {
            const Material* material = resolver.material(level.textureNames[i]);
            styles[i] = SurfaceStyle::of(level.textureFlags[i], material);
            animated[i] = material != nullptr && material->changesWithTime();
        }
    batches = std::make_unique<BatchedLevel>(level, styles, light, levelName, log);
    renderer = std::make_unique<MaterialRenderer>(level, styles, images, textures);
    fog = std::make_unique<FogPass>(level, resolver);
    animation = std::make_unique<AnimationQuery>();
    fog->reserveFor(level, *batches);
    loadSky(level);
}

void DesignedLook::worldBuilt(const World& built, const std::vector<std::string>& notices)
{
    for (const std::string& notice : notices)
        log << notice << '\n';
    world = &built;
    const Movers& movers = world->movers();
    moversInView.reserve(movers.all().size());
    for (std::size_t e = 0; e < brushEntityVisibility->entities().size(); ++e)
        if (movers.ofModel(brushEntityVisibility->entities()[e].model) != nullptr)
            brushEntityVisibility->leaveOut(e);
}

// The sky of the first sky surface with a material; a level may name several sky textures, but
// one sky is drawn around the eye.
void DesignedLook::loadSky(const LevelData& level)
{
    const TextureResolver& resolver = images.resolver();
    for (std::size_t i = 0; i < level.textureNames.size(); ++i) {
        const Material* material = styles[i].sky ? resolver.material(level.textureNames[i]) : nullptr;
        if (material == nullptr)
            continue;
        if (!material->skyFarBox.empty()) {
            const std::array<GLuint, 6> sides = boxSides(material->skyFarBox);
            if (std::any_of(sides.begin(), sides.end(), [](GLuint side) { return side != 0; }))
                farBox = std::make_unique<SkyBoxImages>(sides);
        }
        clouds = std::make_unique<CloudDome>(*material, images);
        skyAnimated = material->changesWithTime();
        if (clouds->empty())
            clouds.reset();
        if (!farBox && !clouds)
            if (const auto path = resolver.imagePath(level.textureNames[i]))
                ownSkyImage = images.cache().texture(*path);
        if (!material->skyNearBox.empty()) {
            const std::array<GLuint, 6> sides = boxSides(material->skyNearBox);
            if (std::any_of(sides.begin(), sides.end(), [](GLuint side) { return side != 0; }))
                nearBox = std::make_unique<SkyBoxImages>(sides, SkyBoxImages::Layer::near);
        }
        return;
    }
}

// A box's six images, each found as a texture name is; 0 for a side not found.
std::array<GLuint, 6> DesignedLook::boxSides(const std::string& base)
{
    std::array<GLuint, 6> sides{};
    for (std::size_t side = 0; side < 6; ++side)
        if (const auto path = images.resolver().findImage(base + SkyBoxImages::sideSuffixes[side]))
            sides[side] = images.cache().texture(*path, ImageCache::Wrap::clampToEdge);
    return sides;
}

void DesignedLook::drawSky(const Skybox& plainSky, GLuint plainTexture) const
{
    if (farBox)
        farBox->draw();
    else if (clouds) // drawn after the opaque faces
        clouds->leaveSkyState(clockSeconds);
    else if (ownSkyImage != 0 || images.skyLoaded())
        plainSky.draw(ownSkyImage != 0 ? ownSkyImage : plainTexture);
    else { // no sky image at all: the background shows
        Skybox::beginSkyPass();
        Skybox::endSkyPass();
    }
}

void DesignedLook::advanceClock(double frameSeconds)
{
    if (clockRunning)
        clockSeconds += frameSeconds;
    clockRunning = true;
}

void DesignedLook::drawShots(CameraRenderer& renderer, const std::vector<Shot>& shots) const
{
    renderer.drawShotsInOneBatch(shots);
}

void DesignedLook::collectVisibleFaces(const LevelData&, int cluster, const Camera& camera, DrawnFaceSet& drawnFaces,
                                       std::vector<int>& visibleFaces)
{
    visibleSet->collectFaces(cluster, camera, drawnFaces, visibleFaces);
    brushEntityVisibility->collectFaces(cluster, camera, drawnFaces, visibleFaces);
    collectMovers(camera);
    if (toolViewShown)
        toolView->collect(cluster, camera);
}

void DesignedLook::holdMoversAtRest()
{
    moversHeld = true;
    moversInView.clear();
    for (std::size_t e = 0; e < brushEntityVisibility->entities().size(); ++e)
        brushEntityVisibility->leaveOut(e, false);
}

// The movers whose moved box is in view, where the world's step left them.
void DesignedLook::collectMovers(const Camera& camera)
{
    if (moversHeld)
        return;
    moversInView.clear();
    const std::vector<Movers::Mover>& all = world->movers().all();
    for (std::size_t m = 0; m < all.size(); ++m) {
        Float3 low, high;
        Movers::movedBox(all[m], low, high);
        if (camera.isBoxVisible(Vec3(low.x, low.y, low.z), Vec3(high.x, high.y, high.z)))
            moversInView.push_back(m);
    }
}

// Each mover in view gathered alone and drawn under its pose; the level's gathering is spent by
// then. The model's vertices stand at rest in the buffers, so the pose is the model-view's.
void DesignedLook::drawMovers()
{
    const std::vector<Movers::Mover>& all = world->movers().all();
    for (const std::size_t m : moversInView) {
        const Movers::Mover& mover = all[m];
        moverFaces.clear();
        for (int32_t face = mover.firstFace; face < mover.firstFace + mover.faceCount; ++face)
            moverFaces.push_back(face);
        batches->gather(moverFaces);
        const Movers::Pose& pose = mover.pose;
        glPushMatrix();
        glTranslatef(pose.pivot.x + pose.offset.x, pose.pivot.y + pose.offset.y, pose.pivot.z + pose.offset.z);
        glRotatef(pose.degrees, pose.axis.x, pose.axis.y, pose.axis.z);
        glTranslatef(-pose.pivot.x, -pose.pivot.y, -pose.pivot.z);
        renderer->drawGroups(*batches, 0, batches->groupCount());
        glPopMatrix();
        movingInView = movingInView || Movers::isMoving(mover);
    }
}

bool DesignedLook::toggleLightmaps()
{
    lightmapsEnabled = !lightmapsEnabled;
    return true;
}

void DesignedLook::restore(const Switches& kept)
{
    lightmapsEnabled = kept.lightmaps;
    markersShown = markers->empty() && pickups->empty() ? Markers::none : kept.markers;
    if (kept.toolView && !toolViewShown)
        toggleToolView();
}

bool DesignedLook::toggleToolView()
{
    if (world == nullptr)
        return false;
    if (!toolView)
        buildToolView();
    toolViewShown = !toolViewShown;
    return true;
}

// Built on the first 'k', not at load: most loads never show it.
void DesignedLook::buildToolView()
{
    const ToolVolumes volumes(*shownLevel, world->triggers());
    if (volumes.skippedBrushes() > 0)
        log << levelName << ": the tool view leaves out " << volumes.skippedBrushes()
            << " brushes it cannot build" << std::endl;
    toolView.emplace(*shownLevel, volumes);
}

bool DesignedLook::toggleMarkers()
{
    if (markers->empty() && pickups->empty())
        return false;
    switch (markersShown) {
    case Markers::pickups: markersShown = Markers::all; break;
    case Markers::all: markersShown = Markers::none; break;
    case Markers::none: markersShown = Markers::pickups; break;
    }
    return true;
}

void DesignedLook::drawFaces(const Faces& faces)
{
    const LevelData& level = faces.level;
    if (patchesStale) // switched on without a re-tessellation after it
        rebuildPatches(level, faces.patchesTessellated);
    if (faces.lightingEnabled) {
        faces.lighting.applyLights();
        faces.lighting.disableLighting();
    }
    const std::vector<int>& visibleFaces = faces.visible;
    batches->gather(visibleFaces);
    const FrameVertices::Eye eye = eyeOfView();
    renderer->begin({clockSeconds, eye, {faces.texturesEnabled, faces.lightingEnabled, lightmapsEnabled}});
    renderer->drawGroups(*batches, 0, batches->firstBlendedGroup());
    const bool skyShown = (clouds || nearBox) && skyInView(level, visibleFaces);
    movingInView = false;
    if (skyShown) {
        if (clouds && skyAnimated)
            animation->count(AnimationQuery::Part::sky, [&] { clouds->draw(clockSeconds); });
        else if (clouds)
            clouds->draw(clockSeconds);
        if (nearBox)
            nearBox->draw();
    }
    if (!(skyShown && clouds && skyAnimated))
        animation->clear(AnimationQuery::Part::sky);
    fog->draw(level, *batches, batches->firstBlendedGroup(), eye);
    drawBlendedGroups(level, eye);
    if (animatedInView(level, visibleFaces))
        animation->measure(*batches, animated);
    else
        animation->clear(AnimationQuery::Part::faces);
    drawMovers();
    renderer->end();
    if (markersShown == Markers::all)
        markers->draw();
    if (markersShown != Markers::none && !pickups->empty())
        animation->count(AnimationQuery::Part::pickups, [&] { pickups->draw(clockSeconds); });
    else
        animation->clear(AnimationQuery::Part::pickups);
    if (toolViewShown)
        toolView->draw();
}

// Each blended group under GL's fog where its vertices are seen through a fog volume.
void DesignedLook::drawBlendedGroups(const LevelData& level, const FrameVertices::Eye& eye)
{
    if (fog->empty()) {
        renderer->drawGroups(*batches, batches->firstBlendedGroup(), batches->groupCount());
        return;
    }
    for (std::size_t g = batches->firstBlendedGroup(); g < batches->groupCount(); ++g) {
        if (batches->indexCount(g) == 0)
            continue;
        const bool fogged = fog->beginBlendedGroup(level, *batches, g, eye);
        renderer->fogPassesToward(fogged ? &fog->groupFogColor() : nullptr);
        renderer->drawGroups(*batches, g, g + 1);
        FogPass::endBlendedGroup();
    }
    renderer->fogPassesToward(nullptr);
}

// The cloud layers and near box are drawn only when a sky surface is among the faces in view:
// elsewhere every pixel of the dome would be hidden, yet cost its rasterising.
bool DesignedLook::skyInView(const LevelData& level, const std::vector<int>& visibleFaces) const
{
    return std::any_of(visibleFaces.begin(), visibleFaces.end(), [&](int face) {
        return styles[std::size_t(level.faces[std::size_t(face)].texture)].sky;
    });
}

bool DesignedLook::animatedInView(const LevelData& level, const std::vector<int>& visibleFaces) const
{
    return std::any_of(visibleFaces.begin(), visibleFaces.end(), [&](int face) {
        return animated[std::size_t(level.faces[std::size_t(face)].texture)];
    });
}

// The eye's place and axes in world coordinates, from the model-view matrix the view loaded:
// its rotation's rows are the eye's axes, and the eye sits at minus the translation rotated back.
FrameVertices::Eye DesignedLook::eyeOfView()
{
    float view[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, view);
    FrameVertices::Eye eye;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        eye.right[axis] = view[axis * 4];
        eye.up[axis] = view[axis * 4 + 1];
        eye.position[axis] = -(view[axis * 4] * view[12] + view[axis * 4 + 1] * view[13] + view[axis * 4 + 2] * view[14]);
    }
    return eye;
}

void DesignedLook::rebuildPatches(const LevelData& level, bool tessellated)
{
    patchesStale = false;
    batches->rebuildPatches(level, tessellated);
    fog->reserveFor(level, *batches);
}
