#pragma once

#include "game/BrushEntityVisibility.h"
#include "game/DrawnFaceSet.h"
#include "game/PotentiallyVisibleSet.h"
#include "level/LevelData.h"
#include "level/SurfaceStyle.h"
#include "render/BatchedLevel.h"
#include "render/CloudDome.h"
#include "render/FogPass.h"
#include "render/MarkerRenderer.h"
#include "render/MaterialRenderer.h"
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
// material's sky (far box, cloud layers, near box), the fog's haze, the lightmap switch ('m')
// and level mode's markers ('n'), every material drawn stage by stage (MaterialRenderer) on the
// material clock. Built once the level is loaded; BSPMap's frame calls one step of it where the
// plain frame would do its own.
class DesignedLook {
public:
    // `level` with its patches cut and its brush entities placed at rest; `textures` holds the
    // level's images and uploaded lightmaps, `light` brings vertex colours up from their stored
    // range. Lines about the level (faces naming a missing lightmap) go to `log`. Needs a GL
    // context. The material clock starts at `startSeconds`.
    DesignedLook(const LevelData& level, DataRootImages& images, const TextureManager& textures,
                 const Overbright& light, std::vector<BrushEntity> brushEntities, const std::string& levelName,
                 std::ostream& log, double startSeconds = 0.0);
    DesignedLook(const DesignedLook&) = delete;
    DesignedLook& operator=(const DesignedLook&) = delete;

    // ---- the frame's steps ---------------------------------------------------------------------
    // The material clock moves on by the frame's seconds (none while a snapshot's clock stands
    // still). The first frame's seconds are the time since start-up, loading included: the
    // clock starts where it was set instead.
    void advanceClock(double frameSeconds);
    // The level's sky material: its far box (its cloud layers come after the opaque faces), or
    // its own image when it has neither; the plain sky image for a level without one. Leaves
    // what Skybox::draw leaves.
    void drawSky(const Skybox& plainSky, GLuint plainTexture) const;
    // The faces the plain frame gathers (Visibility::collectFaces), from the leaves the eye's
    // cluster sees, found again only when the cluster changes; then the faces of every brush
    // entity that passes its cluster and frustum tests, drawn in the same groups as the world's.
    void collectVisibleFaces(int cluster, const Camera& camera, DrawnFaceSet& drawnFaces,
                             std::vector<int>& visibleFaces);
    // The visible faces in their groups, each drawn pass by pass as its material says at the
    // material clock, lit by their baked light: the opaque and alpha-tested groups, the sky's
    // cloud layers and near box where no face covers the window, the fog's haze, the blended
    // groups. The lights are still placed under this view for the lit gun of the next frame, then
    // switched off. Leaves what MaterialRenderer::end leaves.
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
    const MaterialRenderer& materialRenderer() const { return *renderer; }
    const FogPass& fogPass() const { return *fog; }
    double clock() const { return clockSeconds; } // seconds on the material clock
    const BrushEntityVisibility& brushEntities() const { return brushEntityVisibility; }

private:
    void loadSky(const LevelData& level, DataRootImages& images);
    static std::array<GLuint, 6> boxSides(const std::string& base, DataRootImages& images);
    static FrameVertices::Eye eyeOfView();
    bool skyInView(const LevelData& level, const std::vector<int>& visibleFaces) const;

    std::vector<SurfaceStyle> styles; // by texture record
    std::unique_ptr<BatchedLevel> batches;
    std::unique_ptr<MaterialRenderer> renderer;
    std::unique_ptr<FogPass> fog;
    PotentiallyVisibleSet visibleSet;
    BrushEntityVisibility brushEntityVisibility;
    MarkerRenderer markers;
    bool markersShown = false;
    std::unique_ptr<SkyFarBox> farBox;  // null: none
    std::unique_ptr<CloudDome> clouds;  // null: none
    std::unique_ptr<SkyFarBox> nearBox; // null: none, or none of its images found
    GLuint ownSkyImage = 0;             // with neither: the sky material's image; 0: the plain one
    bool lightmapsEnabled = true;
    bool patchesStale = false; // the patch buffer shows the other draw mode
    double clockSeconds = 0.0;
    bool clockRunning = false; // after the first frame
};
