#pragma once

#include "visibility/DrawnFaceSet.h"
#include "camera/Shot.h"
#include "level/LevelData.h"
#include "level/LevelLoader.h"

#include <GL/glew.h>

#include <string>
#include <vector>

class Camera;
class CameraRenderer;
class LightingModule;
class OnScreenDisplay;
class Skybox;
class TextureManager;
class World;

// What differs between the two frames a level can be drawn with: the plain frame a configuration
// file asks for (PlainLook) and the designed frame of level mode and "look = designed"
// (DesignedLook). The level holds one, chosen where it is opened, and calls it at every step in
// which the two differ, so BSPMap::render is one list of steps with no test of the mode.
class Look {
public:
    virtual ~Look();

    // ---- loading -------------------------------------------------------------------------------
    // The records are read and the file's bytes are still at hand (`loader` reads them); the
    // patches are not cut yet.
    virtual void recordsRead(const LevelLoader& loader, LevelData& level, TextureManager& textures) = 0;
    // The level is whole, its patches cut.
    virtual void levelReady(const LevelData& level, const TextureManager& textures) = 0;
    // The level's world (outliving the look's frames) is built; `notices` are its lines about
    // movers and buttons left at rest.
    virtual void worldBuilt(const World& world, const std::vector<std::string>& notices) = 0;

    // ---- the frame's steps ---------------------------------------------------------------------
    virtual void advanceClock(double frameSeconds) = 0;
    // Leaves what Skybox::draw leaves.
    virtual void drawSky(const Skybox& plainSky, GLuint plainTexture) const = 0;
    virtual void drawShots(CameraRenderer& renderer, const std::vector<Shot>& shots) const = 0;
    virtual void collectVisibleFaces(const LevelData& level, int cluster, const Camera& camera,
                                     DrawnFaceSet& drawnFaces, std::vector<int>& visibleFaces) = 0;
    // What drawing the visible faces needs from the level and the frame.
    struct Faces {
        const LevelData& level;
        const TextureManager& textures;
        const std::vector<int>& visible;
        LightingModule& lighting;
        bool patchesTessellated;
        bool texturesEnabled;
        bool lightingEnabled;
    };
    // The visible faces, and whatever the look draws in the scene with them. Leaves texturing on
    // either unit and culling in any state: the frame switches them off after.
    virtual void drawFaces(const Faces& faces) = 0;
    // Whether what the last drawFaces drew looks different at another time on the clock.
    virtual bool movesWithTime() const = 0;
    // Before the status line: the level's lights off, where this look lit the faces with them.
    virtual void endLighting(LightingModule& lighting, bool lightingEnabled) const = 0;
    // The finished status line over the scene, texturing and lighting off, the colour white.
    virtual void drawStatusLine(const OnScreenDisplay& display, const char* text) const = 0;

    // ---- between frames ------------------------------------------------------------------------
    // 'm': false, changing nothing, where the look has no lightmaps.
    virtual bool toggleLightmaps() = 0;
    // What 'n' shows of the point entities, in the order it steps through them: the pickups
    // alone, every other one's marker with them, nothing.
    enum class Markers { pickups, all, none };
    // 'n': false, changing nothing, where the look has no point entity to show.
    virtual bool toggleMarkers() = 0;
    // 'k': false, changing nothing, where the look has no tool view.
    virtual bool toggleToolView() { return false; }
    // The patches' vertices changed (re-tessellated, or the other draw mode), or are about to.
    virtual void rebuildPatches(const LevelData& level, bool tessellated) = 0;
    virtual void patchesWillChange() = 0;
    // How a face whose texture has no image is shown, for the line after loading.
    virtual const char* missingImageShown() const = 0;
    // Seconds on the material clock, where this look keeps one; a reloaded level goes on from it.
    virtual double clock() const { return 0.0; }
    // The look's own switches ('m', 'n', 'k'), which a reloaded level takes over from the one shown.
    struct Switches {
        bool lightmaps = true;
        Markers markers = Markers::none;
        bool toolView = false;
    };
    virtual Switches switches() const { return {}; }
    virtual void restore(const Switches&) {}
};
