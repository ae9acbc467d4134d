#pragma once

#include "game/DrawnFaceSet.h"
#include "image/Overbright.h"
#include "level/BrushEntity.h"
#include "level/LevelData.h"
#include "render/CameraRenderer.h"
#include "render/DataRootImages.h"
#include "render/DesignedLook.h"
#include "render/LevelImages.h"
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
// belong to the game layer (moves, hits, visibility) and to the renderers here. Where the
// designed frame differs, one step goes to `look`; null, the frame is the configuration's.
class BSPMap : public LevelData {
public:
    // Reads the level file, prints the loading transcript and creates every texture. A bad
    // file raises LevelFormatError before any array is used. Needs a current GL context.
    BSPMap(const std::string& dataPath, const std::string& levelPath, OnScreenDisplay* display,
           LightingModule* lighting);

    // A level already read (from a loose file or an archive) whose images are found under a
    // data root: no transcript, one line per image that cannot be decoded. Images are uploaded
    // top row first, so no texture coordinate is flipped.
    struct Source {
        std::string name; // names the level in messages
        std::vector<unsigned char> bytes;
        std::unique_ptr<DataRootImages> images;
        bool designed = false; // the designed frame: lightmaps, materials, far-box sky, batches
        float brightness = 1;  // the designed frame's baked light, times its intended brightness
        double materialSeconds = 0.0; // where the designed frame's material clock starts (--time)
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
    // Keeps the camera and uploads the sky image; once, before the first frame.
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
    std::unique_ptr<LevelImages> images; // where the images come from: the mode
    std::unique_ptr<DesignedLook> look;  // the designed frame; null: the configuration's frame

private:
    // `designedLight` brings the designed frame's lightmaps up; null, the configuration's frame.
    // Returns the brush entities the designed frame draws, placed at rest (none for the other).
    std::vector<BrushEntity> load(const std::string& name, std::vector<unsigned char> bytes,
                                  const Overbright* designedLight);
    std::vector<BrushEntity> placeBrushEntities(const std::string& name);
    void prepareFrames(); // patches, sky, the frame's face lists
    void moveAndDrawPlayers();
    void pruneShots();
    void beginFaces(bool lightingEnabled);
    void drawFaces(bool texturesEnabled);
    void drawPolygonOrMesh(const Face& face, bool texturesEnabled);
    void drawPatchFace(const Face& face, bool texturesEnabled);
    void endFaces();
    void drawStatusLine(StatusLine& text, bool lightingEnabled);

    CameraRenderer cameraRenderer;
    PlayerRenderer playerRenderer;
};
