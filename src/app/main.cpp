#include "app/Callbacks.h"
#include "app/Configuration.h"

#include <GL/glew.h>
#include <GL/glut.h>

#include <exception>
#include <iostream>

namespace {
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
    friendlies = configuration.friendlies.release(); // lives until the process ends

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

    glutDisplayFunc(onDisplay);
    glutReshapeFunc(onReshape);
    glutKeyboardFunc(onKeyboard);
    glutSpecialFunc(onSpecialKey);
    glutMouseFunc(onMouse);
    glutPassiveMotionFunc(onPassiveMotion);
    glutIdleFunc(onDisplay);
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
