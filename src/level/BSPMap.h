#pragma once

#include "level/LevelData.h"
#include "render/DrawnFaceSet.h"
#include "render/Skybox.h"
#include "texture/TextureManager.h"

#include <GL/glew.h>

#include <memory>
#include <vector>

class Camera;
class Friendlies;
class LightingModule;
class OnScreenDisplay;
class StatusLine;

// The in-memory level: its constructor reads the level file once, prints the loading
// transcript, creates every texture, validates every index (a bad file raises
// LevelFormatError before any array is used) and cuts patch faces into Bezier patches.
// The record arrays are the LevelData members, index = record number in the file.
class BSPMap : public LevelData {
public:
    // dataPath and levelPath are not copied and must outlive the map. Needs a current GL
    // context for the textures.
    BSPMap(const char* dataPath, const char* levelPath, OnScreenDisplay* display, LightingModule* lighting);
    virtual ~BSPMap();
    BSPMap(const BSPMap&) = delete;
    BSPMap& operator=(const BSPMap&) = delete;

    void enablePatchTessellation() { patchesTessellated = true; }
    void disablePatchTessellation() { patchesTessellated = false; }
    // Re-tessellates every patch at `level` (2..20 from the keys), only while tessellation is on.
    void retessellatePatches(int level);

    // ---- frame operations ------------------------------------------------------------------
    // Keeps the camera and uploads the sky image; once, before the first frame.
    void setCamera(Camera* newCamera);
    // Draws one whole frame, appends "  SCORE: " and the score to the status line and draws it.
    void render(StatusLine& text, float frameSeconds, bool texturesEnabled, bool lightingEnabled);
    int findCameraLeaf() const;            // the leaf holding the camera's position
    void collectVisibleFaces(int cluster); // appends to visibleFaces, each face once

    OnScreenDisplay* display;  // not owned
    LightingModule* lighting;  // not owned
    const char* dataPath;      // not owned; prefix of texture and sky image paths
    const char* levelPath;     // not owned
    Camera* camera = nullptr;  // not owned; handed over after construction
    std::unique_ptr<Skybox> skybox;
    GLuint skyTexture = 0;     // made when the camera is handed over
    std::unique_ptr<TextureManager> textureManager;
    bool patchesTessellated = false;
    std::vector<int> visibleFaces; // per frame, in drawing order; capacity kept between frames
    DrawnFaceSet drawnFaces;       // per frame, the faces already in visibleFaces
    int score = 0;
    Friendlies* friendlies = nullptr; // not owned

private:
    void loadTextures();
    void drawFaces(bool texturesEnabled);
    void drawPolygonOrMesh(const Face& face, bool texturesEnabled);
    void pruneShots();
};
