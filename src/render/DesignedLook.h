#pragma once

#include "visibility/BrushEntityVisibility.h"
#include "visibility/DrawnFaceSet.h"
#include "visibility/PotentiallyVisibleSet.h"
#include "image/Overbright.h"
#include "level/LevelData.h"
#include "level/SurfaceStyle.h"
#include "render/AnimationQuery.h"
#include "render/BatchedLevel.h"
#include "render/CloudDome.h"
#include "render/FogPass.h"
#include "render/MarkerRenderer.h"
#include "render/MaterialRenderer.h"
#include "render/PickupRenderer.h"
#include "render/Look.h"
#include "render/ReadableText.h"
#include "render/SkyBoxImages.h"
#include "render/ToolVolumeRenderer.h"

#include <GL/glew.h>

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

class Camera;
class DataRootImages;
class World;
class LightingModule;
class Skybox;
class TextureManager;

// The designed frame (level mode, and "look = designed"): each texture's surface style from its
// flags and material, the faces in buffer objects drawn group by group (BatchedLevel), the
// visible set of the eye's cluster, the brush entities placed at rest (those that move drawn
// where the world's step left them: World's Movers), the material's sky (far
// box, cloud layers, near box), the fog's haze, the lightmap switch ('m') and level mode's
// pickups and markers ('n'), the tool view ('k': ToolVolumeRenderer, built when first shown),
// every material drawn stage by stage (MaterialRenderer) on the material clock.
class DesignedLook : public Look {
public:
    // `images` (outliving this) finds and holds the level's images; `light` brings lightmaps and
    // vertex colours up from their stored range. Lines about the level (repairs, faces naming a
    // missing lightmap) go to `log`. The material clock starts at `startSeconds`; `shown` is
    // what of the point entities is shown at first (level mode: the pickups).
    DesignedLook(DataRootImages& images, const Overbright& light, std::string levelName, std::ostream& log,
                 double startSeconds = 0.0, Markers shown = Markers::none);
    DesignedLook(const DesignedLook&) = delete;
    DesignedLook& operator=(const DesignedLook&) = delete;

    // Uploads the lightmap pages, places the brush entities at rest (before the patches take
    // their controls from the moved vertices) and says the load's repairs.
    void recordsRead(const LevelLoader& loader, LevelData& level, TextureManager& textures) override;
    // Builds the styles, batches, passes, haze, visible sets, markers, pickups and sky. Needs GL.
    void levelReady(const LevelData& level, const TextureManager& textures) override;
    // Says the world's notices; its movers are drawn by model under their poses from then on.
    void worldBuilt(const World& world, const std::vector<std::string>& notices) override;

    // ---- the frame's steps ---------------------------------------------------------------------
    // The material clock moves on by the frame's seconds (none while a snapshot's clock stands
    // still). The first frame's seconds are the time since start-up, loading included: the
    // clock starts where it was set instead.
    void advanceClock(double frameSeconds) override;
    // The level's sky material: its far box's images found (its cloud layers come after the
    // opaque faces), or its own image when it has neither; the plain sky image for a level
    // without one; nothing, so the background shows, where there is no image at all.
    void drawSky(const Skybox& plainSky, GLuint plainTexture) const override;
    void drawShots(CameraRenderer& renderer, const std::vector<Shot>& shots) const override;
    // The faces the plain frame gathers, from the leaves the eye's cluster sees, found again only
    // when the cluster changes; then the faces of every brush entity that passes its cluster and
    // frustum tests, drawn in the same groups as the world's.
    void collectVisibleFaces(const LevelData& level, int cluster, const Camera& camera, DrawnFaceSet& drawnFaces,
                             std::vector<int>& visibleFaces) override;
    // The visible faces in their groups, each drawn pass by pass as its material says at the
    // material clock, lit by their baked light: the opaque and alpha-tested groups, the sky's
    // cloud layers and near box where no face covers the window, the fog's haze, the blended
    // groups; then the pickups and the markers, as 'n' shows them (whether a pickup's pixel was
    // seen keeps frames coming, as a moving sky's does), and the tool view over all. The lights
    // are still placed under this view for the lit gun of the next frame, then switched off.
    void drawFaces(const Faces& faces) override;
    // A mover moving in view, or a pixel of the moving sky or of an animated face seen (not only
    // in view: not hidden behind what stands before it, AnimationQuery).
    bool movesWithTime() const override { return movingInView || animation->seen(); }
    void endLighting(LightingModule&, bool) const override {} // the faces were never lit by them
    // On a dark backing, sized to the window (ReadableText).
    void drawStatusLine(const OnScreenDisplay&, const char* text) const override { statusText.draw(text); }

    // ---- between frames ------------------------------------------------------------------------
    bool toggleLightmaps() override;
    bool toggleMarkers() override;
    bool toggleToolView() override;
    Switches switches() const override { return {lightmapsEnabled, markersShown, toolViewShown}; }
    // Markers and pickups stay hidden where the level has no point entity to show.
    void restore(const Switches& kept) override;
    void rebuildPatches(const LevelData& level, bool tessellated) override;
    // Rebuilt before the next draw unless rebuildPatches comes first.
    void patchesWillChange() override { patchesStale = true; }
    const char* missingImageShown() const override { return "drawn grey for want of an image"; }
    // The movers stand where the file puts them, drawn in the level's groups: the frame the
    // benchmark weighs moving them against.
    void holdMoversAtRest();

    const BatchedLevel& batchedLevel() const { return *batches; }
    const MaterialRenderer& materialRenderer() const { return *renderer; }
    const FogPass& fogPass() const { return *fog; }
    static constexpr float backgroundGrey = 0.1f; // the clear colour's each channel, 0..1
    double clock() const override { return clockSeconds; }
    const BrushEntityVisibility& brushEntities() const { return *brushEntityVisibility; }
    const std::optional<ToolVolumeRenderer>& toolVolumes() const { return toolView; } // once first shown

private:
    void loadSky(const LevelData& level);
    std::array<GLuint, 6> boxSides(const std::string& base);
    static FrameVertices::Eye eyeOfView();
    bool skyInView(const LevelData& level, const std::vector<int>& visibleFaces) const;
    void drawBlendedGroups(const LevelData& level, const FrameVertices::Eye& eye);
    bool animatedInView(const LevelData& level, const std::vector<int>& visibleFaces) const;
    void collectMovers(const Camera& camera);
    void drawMovers();
    void buildToolView();

    DataRootImages& images;
    const Overbright light;
    const std::string levelName;
    std::ostream& log;
    std::vector<BrushEntity> placedEntities; // between recordsRead and levelReady
    std::vector<SurfaceStyle> styles; // by texture record
    std::unique_ptr<BatchedLevel> batches;
    std::unique_ptr<MaterialRenderer> renderer;
    std::unique_ptr<FogPass> fog;
    std::unique_ptr<AnimationQuery> animation;
    std::optional<PotentiallyVisibleSet> visibleSet;
    std::optional<BrushEntityVisibility> brushEntityVisibility;
    std::optional<MarkerRenderer> markers;
    std::optional<PickupRenderer> pickups;
    std::optional<ToolVolumeRenderer> toolView; // built when first shown
    const LevelData* shownLevel = nullptr;      // from levelReady; outlives this look
    const World* world = nullptr;          // its movers are drawn where they stand
    std::vector<std::size_t> moversInView; // this frame's, into the movers; sized at load
    std::vector<int> moverFaces;           // one mover's faces at a time; sized at load
    ReadableText statusText;
    Markers markersShown;
    std::unique_ptr<SkyBoxImages> farBox;  // null: none
    std::unique_ptr<CloudDome> clouds;  // null: none
    std::unique_ptr<SkyBoxImages> nearBox; // null: none, or none of its images found
    GLuint ownSkyImage = 0;             // with neither: the sky material's image; 0: the plain one
    std::vector<bool> animated;  // by texture record: its material changes with time
    bool skyAnimated = false;    // the cloud layers move
    bool movingInView = false;   // a mover, in the last frame drawn
    bool lightmapsEnabled = true;
    bool toolViewShown = false;
    bool patchesStale = false; // the patch buffer shows the other draw mode
    double clockSeconds = 0.0;
    bool clockRunning = false; // after the first frame
    bool moversHeld = false;
};
