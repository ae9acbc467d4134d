#pragma once

#include "app/Viewer.h"
#include "camera/Camera.h"
#include "render/BSPMap.h"
#include "render/StatusLine.h"

#include <memory>
#include <optional>
#include <string>

// A viewer built exactly as start-up builds it, in the test's GL context, with short names
// for what the tests look at.
namespace testsupport {

struct ViewerScene {
    std::unique_ptr<Viewer> viewer;
    BSPMap* map = nullptr;
    Camera* camera = nullptr;
    StatusLine text;
    std::string transcript; // what loading and the sky set-up printed

    ViewerScene(const std::string& dataPath, const std::string& levelPath, const std::string& lightsPath,
                const Point& start, bool designed = false, std::optional<double> brightness = std::nullopt);

    // One frame as the frame callback draws it, with the status line starting "FPS:0", `seconds`
    // after the one before.
    void frame(bool textures = true, bool lights = false, float seconds = 0.0f);
};

} // namespace testsupport
