#include "ViewerScene.h"

#include "GLContext.h"
#include "TestFiles.h"

#include "app/Callbacks.h"

#include <GL/glew.h>
#include <GL/glut.h>

namespace testsupport {

ViewerScene::ViewerScene(const std::string& dataPath, const std::string& levelPath, const std::string& lightsPath,
                         const Point& start)
{
    ensureGLContext();
    onReshape(contextWidth, contextHeight);
    initGL();
    CerrCapture capture;
    display = std::make_unique<OnScreenDisplay>(GLUT_BITMAP_TIMES_ROMAN_24);
    lighting = std::make_unique<LightingModule>(lightsPath);
    map = std::make_unique<BSPMap>(dataPath.c_str(), levelPath.c_str(), display.get(), lighting.get());
    camera = std::make_unique<Camera>(start, &frustum);
    map->setCamera(camera.get());
    transcript = capture.text();
}

void ViewerScene::frame(bool textures, bool lights)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    text.reset();
    text << "FPS:0";
    map->render(text, 0.0f, textures, lights);
}

} // namespace testsupport
