#include "ViewerScene.h"

#include "GLContext.h"
#include "TestFiles.h"

#include "app/Callbacks.h"

#include <GL/glew.h>

namespace testsupport {

ViewerScene::ViewerScene(const std::string& dataPath, const std::string& levelPath, const std::string& lightsPath,
                         const Point& start, bool designed, std::optional<double> brightness)
{
    ensureGLContext();
    onReshape(contextWidth, contextHeight);
    initGL();
    Configuration configuration;
    configuration.dataPath = dataPath;
    configuration.levelPath = levelPath;
    configuration.lightsFile = lightsPath;
    configuration.startPoint = start;
    configuration.designedLook = designed;
    configuration.brightness = brightness;
    CerrCapture capture;
    viewer = std::make_unique<Viewer>(std::move(configuration));
    map = viewer->level();
    camera = viewer->camera();
    transcript = capture.text();
}

void ViewerScene::frame(bool textures, bool lights, float seconds)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    viewer->step(seconds);
    text.reset();
    text << "FPS:0";
    map->render(text, seconds, textures, lights);
}

} // namespace testsupport
