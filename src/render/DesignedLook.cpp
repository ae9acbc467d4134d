#include "render/DesignedLook.h"

#include "level/EntityText.h"
#include "level/Material.h"
#include "level/PointMarker.h"
#include "level/TextureResolver.h"
#include "render/DataRootImages.h"
#include "render/LightingModule.h"
#include "render/Skybox.h"

DesignedLook::DesignedLook(const LevelData& level, DataRootImages& images, const TextureManager& textures,
                           const Overbright& light, std::vector<BrushEntity> brushEntities,
                           const std::string& levelName, std::ostream& log)
    : visibleSet(level),
      brushEntityVisibility(level, std::move(brushEntities)),
      markers(PointMarker::list(EntityText::parse(level.entityText).entities))
{
    // Only the records faces use are looked up: the others are never drawn.
    const TextureResolver& resolver = images.resolver();
    styles.resize(level.textureNames.size());
    for (std::size_t i = 0; i < level.textureNames.size(); ++i)
        if (images.isUsed(int(i)))
            styles[i] = SurfaceStyle::of(level.textureFlags[i], resolver.material(level.textureNames[i]));
    batches = std::make_unique<BatchedLevel>(level, styles, textures, light, levelName, log);
    farBox = loadFarBox(level, images);
}

// The far box of the first sky surface whose material names one.
std::unique_ptr<SkyFarBox> DesignedLook::loadFarBox(const LevelData& level, DataRootImages& images) const
{
    const TextureResolver& resolver = images.resolver();
    for (std::size_t i = 0; i < level.textureNames.size(); ++i) {
        if (!styles[i].sky)
            continue;
        const Material* material = resolver.material(level.textureNames[i]);
        if (material == nullptr || material->skyFarBox.empty())
            continue;
        std::array<GLuint, 6> sides{};
        for (std::size_t side = 0; side < 6; ++side)
            if (const auto path = resolver.findImage(material->skyFarBox + SkyFarBox::sideSuffixes[side]))
                sides[side] = images.cache().texture(*path, ImageCache::Wrap::clampToEdge);
        return std::make_unique<SkyFarBox>(sides);
    }
    return nullptr;
}

void DesignedLook::drawSky(const Skybox& plainSky, GLuint plainTexture) const
{
    if (farBox)
        farBox->draw();
    else
        plainSky.draw(plainTexture);
}

void DesignedLook::collectVisibleFaces(int cluster, const Camera& camera, DrawnFaceSet& drawnFaces,
                                       std::vector<int>& visibleFaces)
{
    visibleSet.collectFaces(cluster, camera, drawnFaces, visibleFaces);
    brushEntityVisibility.collectFaces(cluster, camera, drawnFaces, visibleFaces);
}

bool DesignedLook::toggleMarkers()
{
    if (markers.empty())
        return false;
    markersShown = !markersShown;
    return true;
}

void DesignedLook::drawMarkers() const
{
    if (markersShown)
        markers.draw();
}

void DesignedLook::drawFaces(const LevelData& level, bool patchesTessellated, const std::vector<int>& visibleFaces,
                             LightingModule& lighting, bool texturesEnabled, bool lightingEnabled)
{
    if (patchesStale) // switched on without a re-tessellation after it
        rebuildPatches(level, patchesTessellated);
    if (lightingEnabled) {
        lighting.applyLights();
        lighting.disableLighting();
    }
    batches->draw(visibleFaces, {texturesEnabled, lightingEnabled, lightmapsEnabled});
}

void DesignedLook::rebuildPatches(const LevelData& level, bool tessellated)
{
    patchesStale = false;
    batches->rebuildPatches(level, tessellated);
}
