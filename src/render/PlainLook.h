#pragma once

#include "render/Look.h"

// The frame a configuration file asks for: the plain sky image, the shots one ball at a time,
// the visible faces gathered leaf by leaf and drawn one call each with their base texture under
// the level's lights. It keeps no state of its own: everything it draws is the level's.
class PlainLook : public Look {
public:
    void recordsRead(const LevelLoader&, LevelData&, TextureManager&) override {}
    void levelReady(const LevelData&, const TextureManager&) override {}
    // Its movers stand at rest, and what is wrong with them is not the configuration's to say.
    void worldBuilt(const World&, const std::vector<std::string>&) override {}
    void advanceClock(double) override {}
    void drawSky(const Skybox& plainSky, GLuint plainTexture) const override;
    void drawShots(CameraRenderer& renderer, const std::vector<Shot>& shots) const override;
    void collectVisibleFaces(const LevelData& level, int cluster, const Camera& camera, DrawnFaceSet& drawnFaces,
                             std::vector<int>& visibleFaces) override;
    // Culling on; with lighting, colour material and the lights on; white; then each face.
    void drawFaces(const Faces& faces) override;
    bool movesWithTime() const override { return false; }
    void endLighting(LightingModule& lighting, bool lightingEnabled) const override;
    void drawStatusLine(const OnScreenDisplay& display, const char* text) const override; // at (35, 35)
    bool toggleLightmaps() override { return false; }
    bool toggleMarkers() override { return false; }
    void rebuildPatches(const LevelData&, bool) override {}
    void patchesWillChange() override {}
    // A flat face without its image is skipped; a curved one is drawn with the imageless texture.
    const char* missingImageShown() const override
    {
        return "not drawn, or drawn blank if curved, for want of an image";
    }

private:
    static void drawPolygonOrMesh(const Faces& faces, const Face& face);
    static void drawPatchFace(const Faces& faces, const Face& face);
};
