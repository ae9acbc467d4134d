#include "app/Callbacks.h"
#include "app/Viewer.h"
#include "config/Configuration.h"

#include <GL/glew.h>
#include <GL/glut.h>

#include <exception>
#include <iostream>

namespace {
// GLUT never returns from its main loop; the process ends through Escape (status 0) or a
// refusal (status 1, or 2 for a missing argument).
int run(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: verdanth CONFIG_FILE" << std::endl;
        return 2;
    }
    const std::string configurationPath = argv[1];
    Configuration configuration = readConfiguration(configurationPath);
    if (const auto problem = configurationProblem(configuration, configurationPath)) {
        std::cerr << "verdanth: " << *problem << std::endl;
        return 1;
    }
    std::cerr << "root directory:" << configuration.dataPath << std::endl;
    std::cerr << "level name:" << configuration.levelPath << std::endl;

    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(*configuration.windowWidth, *configuration.windowHeight);
    glutCreateWindow("Verdanth");
    if (const GLenum status = glewInit(); status != GLEW_OK) {
        std::cerr << "verdanth: cannot load OpenGL extensions: " << glewGetErrorString(status) << std::endl;
        return 1;
    }
    initGL();

    Viewer viewer(std::move(configuration));
    setCallbackViewer(&viewer);
    registerCallbacks();
    glutMainLoop();
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    try {
        return run(argc, argv);
    } catch (const std::exception& error) {
        std::cerr << "verdanth: " << error.what() << std::endl;
        return 1;
    }
}
