#pragma once

#include "game/BrushEntityVisibility.h"
#include "game/DrawnFaceSet.h"
#include "game/PotentiallyVisibleSet.h"
#include "level/LevelData.h"
#include "level/SurfaceStyle.h"
#include "render/BatchedLevel.h"
#include "render/MarkerRenderer.h"
#include "render/SkyFarBox.h"

#include <GL/glew.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

class Camera;
class DataRootImages;
class LightingModule;
class Skybox;
class TextureManager;

// Everything only the designed frame has (level mode, and "look = designed"): each texture's
// surface style from its flags and material, the faces in buffer objects drawn group by group
// (BatchedLevel), the visible set of the eye's cluster, the brush entities at rest, the
// material's far-box sky, the lightmap switch ('m') and level mode's markers ('n'). Built once the
// level is loaded; BSPMap's frame calls one step of it where the plain frame would do its own.
// Per-stage drawing, a material clock and fog belong here too, beside the styles they extend.
class DesignedLook {
public:
    // `level` with its patches cut and its brush entities placed at rest; `textures` holds the
    // level's images and uploaded lightmaps, `light` brings vertex colours up from their stored
    // range. Lines about the level (faces naming a missing lightmap) go to `log`. Needs a GL
    // context.
    DesignedLook(const LevelData& level, DataRootImages& images, const TextureManager& textures,
                 const Overbright& light, std::vector<BrushEntity> brushEntities, const std::string& levelName,
                 std::ostream& log);
    DesignedLook(const DesignedLook&) = delete;
    DesignedLook& operator=(const DesignedLook&) = delete;

    // ---- the frame's steps ---------------------------------------------------------------------
    // The far box when the level's sky material names one, else the plain sky; leaves what
    // Skybox::draw leaves.
    void drawSky(const Skybox& plainSky, GLuint plainTexture) const;
    // The faces the plain frame gathers (Visibility::collectFaces), from the leaves the eye's
    // cluster sees, found again only when the cluster changes; then the faces of every brush
    // entity that passes its cluster and frustum tests, drawn in the same groups as the world's.
    void collectVisibleFaces(int cluster, const Camera& camera, DrawnFaceSet& drawnFaces,
                             std::vector<int>& visibleFaces);
    // The visible faces in their groups, lit by their baked light. The lights are still placed
    // under this view for the lit gun of the next frame, then switched off. Leaves what
    // BatchedLevel::draw leaves.
    void drawFaces(const LevelData& level, bool patchesTessellated, const std::vector<int>& visibleFaces,
                   LightingModule& lighting, bool texturesEnabled, bool lightingEnabled);
    // The markers, when shown; leaves every state as it found it.
    void drawMarkers() const;

    // ---- between frames ------------------------------------------------------------------------
    void toggleLightmaps() { lightmapsEnabled = !lightmapsEnabled; } // 'm'
    // 'n': false, changing nothing, when the level has no point entity to mark.
    bool toggleMarkers();
    // The patches' vertices changed (re-tessellated, or the other draw mode): rebuilt now.
    void rebuildPatches(const LevelData& level, bool tessellated);
    // They are about to change: rebuilt before the next draw unless rebuildPatches comes first.
    void patchesWillChange() { patchesStale = true; }

    const BatchedLevel& batchedLevel() const { return *batches; }
    const BrushEntityVisibility& brushEntities() const { return brushEntityVisibility; }

private:
    std::unique_ptr<SkyFarBox> loadFarBox(const LevelData& level, DataRootImages& images) const;

    std::vector<SurfaceStyle> styles; // by texture record
    std::unique_ptr<BatchedLevel> batches;
    PotentiallyVisibleSet visibleSet;
    BrushEntityVisibility brushEntityVisibility;
    MarkerRenderer markers;
    bool markersShown = false;
    std::unique_ptr<SkyFarBox> farBox; // null: the plain sky image
    bool lightmapsEnabled = true;
    bool patchesStale = false; // the patch buffer shows the other draw mode
};
