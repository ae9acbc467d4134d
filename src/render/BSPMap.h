#pragma once

#include "visibility/DrawnFaceSet.h"
#include "level/BrushEntity.h"
#include "level/LevelData.h"
#include "render/CameraRenderer.h"
#include "render/LevelImages.h"
#include "render/Look.h"
#include "render/PlayerRenderer.h"
#include "render/Skybox.h"
#include "render/TextureManager.h"

#include <GL/glew.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class Camera;
class Friendlies;
class LightingModule;
class OnScreenDisplay;
class StatusLine;

// The level as the viewer shows it: the level's arrays (LevelData, read and validated by
// LevelLoader) with their textures on the GPU, the sky, and the frame that draws it all.
// `render` is the one place that fixes the order of a frame's steps; the steps themselves
// belong to the GL-free layers (moves, hits, visibility) and to the renderers here. Where the two
// frames differ, the step is the look's: the plain frame or the designed one, chosen once,
// where the level is opened.
class BSPMap : public LevelData {
public:
    // Reads the level file, prints the loading transcript and creates every texture, for the
    // plain frame. A bad file raises LevelFormatError before any array is used. Needs a current
    // GL context.
    BSPMap(const std::string& dataPath, const std::string& levelPath, OnScreenDisplay* display,
           LightingModule* lighting);

    // A level already read (from a loose file or an archive), with where its images come from
    // (which says whether loading prints the transcript) and the frame it is drawn with.
    struct Source {
        std::string name;     // names the level in messages
        std::string dataPath; // the configuration's data path, or the data root's folder
        std::vector<unsigned char> bytes;
        std::unique_ptr<LevelImages> images;
        std::unique_ptr<Look> look;
        std::optional<EntityList> entities; // the entity text, parsed already by a peek at `bytes`
    };
    BSPMap(Source source, OnScreenDisplay* display, LightingModule* lighting);
    virtual ~BSPMap();
    BSPMap(const BSPMap&) = delete;
    BSPMap& operator=(const BSPMap&) = delete;

    void enablePatchTessellation();
    void disablePatchTessellation();
    // Re-tessellates every patch at `level` (2..20 from the keys), only while tessellation is
    // on. Throws std::bad_alloc, with every patch as it was, when memory runs out.
    void retessellatePatches(int level);
    std::size_t patchCount() const;
    // Why re-tessellating at `level` is refused (too much memory for this level), or nothing.
    std::optional<std::string> tessellationRefusal(int level) const;

    // ---- frame operations ------------------------------------------------------------------
    // Keeps the camera; once, before the first frame. The plain sky's image is uploaded here
    // too, where the frame it is drawn in first is known to come.
    void setCamera(Camera* newCamera);
    // Draws one whole frame, appends "  SCORE: " and the score to the status line and draws it.
    void render(StatusLine& text, float frameSeconds, bool texturesEnabled, bool lightingEnabled);
    int findCameraLeaf() const;            // the leaf holding the camera's position
    void collectVisibleFaces(int cluster); // appends to visibleFaces, each face once

    OnScreenDisplay* display;  // not owned
    LightingModule* lighting;  // not owned
    std::string dataPath;      // prefix of texture and sky image paths
    std::string levelPath;
    Camera* camera = nullptr;  // not owned; handed over after construction
    std::unique_ptr<Skybox> skybox;
    GLuint skyTexture = 0;     // made when the camera is handed over
    std::unique_ptr<TextureManager> textureManager;
    bool patchesTessellated = false;
    std::vector<int> visibleFaces; // per frame, in drawing order; capacity kept between frames
    DrawnFaceSet drawnFaces;       // per frame, the faces already in visibleFaces
    int score = 0;
    bool hudShown = true; // the gun and the status line ('h' and --no-hud in level mode)
    Friendlies* friendlies = nullptr; // not owned
    std::unique_ptr<LevelImages> images; // where the images come from, and whether loading speaks
    std::unique_ptr<Look> look;          // the frame: plain or designed, never null

private:
    void load(const std::string& name, std::vector<unsigned char> bytes, std::optional<EntityList> entities);
    void prepareFrames(); // patches, sky, the look, the frame's face lists
    void moveAndDrawPlayers();
    void pruneShots();
    void endFaces();
    void drawStatusLine(StatusLine& text, bool lightingEnabled);

    CameraRenderer cameraRenderer;
    PlayerRenderer playerRenderer;
};
