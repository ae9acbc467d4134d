#pragma once

#include "app/OnScreenDisplay.h"
#include "app/StatusLine.h"
#include "camera/Camera.h"
#include "level/BSPMap.h"
#include "lighting/LightingModule.h"
#include "render/Frustum.h"

#include <memory>
#include <string>

// A level loaded the way start-up loads it, in the test's GL context: display, lights, map
// and camera, the camera handed to the map. Paths must outlive the scene.
namespace testsupport {

struct ViewerScene {
    Frustum frustum;
    std::unique_ptr<OnScreenDisplay> display;
    std::unique_ptr<LightingModule> lighting;
    std::unique_ptr<BSPMap> map;
    std::unique_ptr<Camera> camera;
    StatusLine text;
    std::string transcript; // what loading and the sky set-up printed

    ViewerScene(const std::string& dataPath, const std::string& levelPath, const std::string& lightsPath,
                const Point& start);

    // One frame as the frame callback draws it, with the status line starting "FPS:0".
    void frame(bool textures = true, bool lights = false);
};

} // namespace testsupport
