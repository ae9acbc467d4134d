#include "app/Viewer.h"

#include "config/CommandLine.h"
#include "game/Camera.h"
#include "game/Friendlies.h"
#include "render/BSPMap.h"
#include "render/DataPathImages.h"
#include "render/DataRootImages.h"
#include "render/DesignedLook.h"
#include "render/PlainLook.h"
#include "render/LightingModule.h"
#include "render/OnScreenDisplay.h"

#include <GL/glut.h>
#include <GL/freeglut_ext.h>

#include <cmath>
#include <cstdlib>
#include <malloc.h>
#include <iostream>
#include <new>

namespace {
constexpr int minTessellationLevel = 2;
constexpr int maxTessellationLevel = 20;
constexpr unsigned char tabKey = 9;

// Level mode's held motions. With Shift down a letter arrives in capitals, and its release may
// arrive in either case; '+' and '_' are '=' and '-' with Shift.
std::optional<Flight::Motion> motionOfKey(unsigned char key)
{
    switch (key) {
    case 'w': case 'W': return Flight::Motion::forward;
    case 's': case 'S': return Flight::Motion::backward;
    case 'a': case 'A': return Flight::Motion::turnLeft;
    case 'd': case 'D': return Flight::Motion::turnRight;
    case 'e': case 'E': return Flight::Motion::lookUp;
    case 'r': case 'R': return Flight::Motion::lookDown;
    case '=': case '+': return Flight::Motion::up;
    case '-': case '_': return Flight::Motion::down;
    default: return std::nullopt;
    }
}

std::optional<Flight::Motion> motionOfSpecialKey(int key)
{
    if (key == GLUT_KEY_LEFT)
        return Flight::Motion::left;
    if (key == GLUT_KEY_RIGHT)
        return Flight::Motion::right;
    return std::nullopt;
}
} // namespace

Viewer::Viewer(Configuration configuration) : Viewer(Launch::forConfiguration(std::move(configuration))) {}

Viewer::Viewer(Launch launch)
    : dataRoot(std::move(launch.dataRoot)),
      materials(std::move(launch.materials)),
      resolver(std::move(launch.resolver)),
      levelMode(launch.levelMode),
      friendlies(std::move(launch.configuration.friendlies)),
      flight(launch.flightSpeed),
      mouseLook(launch.mouseDegreesPerPixel),
      starts(std::move(launch.starts))
{
    const Configuration& configuration = launch.configuration;
    if (configuration.levelPlayers && launch.levelBox) {
        const auto& [low, high] = *launch.levelBox;
        friendlies = std::make_unique<Friendlies>(configuration.levelPlayers->first,
                                                  configuration.levelPlayers->second, low, high);
    }
    screenDisplay = std::make_unique<OnScreenDisplay>(GLUT_BITMAP_TIMES_ROMAN_24);
    lighting = makeLighting(launch);
    levelMap = makeLevel(launch);
    camera = std::make_unique<Camera>(configuration.startPoint, &frustum);
    if (configuration.startAngle)
        camera->faceHeading(*configuration.startAngle);
    if (levelMode || configuration.startPitch)
        camera->setPitchLimit(Camera::freePitchLimit);
    if (configuration.startPitch)
        camera->setPitch(*configuration.startPitch);
    levelMap->setCamera(camera.get());
    levelMap->friendlies = friendlies.get();
    levelMap->hudShown = launch.hudShown;
    if (!launch.frameLogPath.empty())
        frameLog = std::make_unique<FrameLog>(launch.frameLogPath);
    if (configuration.screenshots)
        screenshots = std::make_unique<Screenshots>(launch.shotsFolder);
}

std::unique_ptr<LightingModule> Viewer::makeLighting(const Launch& launch) const
{
    if (launch.lights)
        return std::make_unique<LightingModule>(*launch.lights);
    return std::make_unique<LightingModule>(launch.configuration.lightsFile);
}

// The one place the frame is chosen: a configuration file's level without the designed look
// is drawn plain, as the configuration's transcript and pictures promise.
std::unique_ptr<BSPMap> Viewer::makeLevel(Launch& launch)
{
    const Configuration& configuration = launch.configuration;
    if (resolver == nullptr && launch.levelBytes.empty())
        return std::make_unique<BSPMap>(configuration.dataPath, configuration.levelPath, screenDisplay.get(),
                                        lighting.get());
    BSPMap::Source source{launch.levelName, configuration.dataPath, std::move(launch.levelBytes), nullptr, nullptr,
                          std::move(launch.entities)};
    if (resolver == nullptr) {
        source.images = std::make_unique<DataPathImages>(configuration.dataPath);
        source.look = std::make_unique<PlainLook>();
    } else {
        auto images = std::make_unique<DataRootImages>(*resolver);
        if (configuration.designedLook) {
            const Overbright light(Overbright::intendedFactor * float(configuration.brightness.value_or(1)));
            source.look = std::make_unique<DesignedLook>(*images, light, launch.levelName, std::cerr,
                                                         launch.materialSeconds);
        } else {
            source.look = std::make_unique<PlainLook>();
        }
        source.images = std::move(images);
    }
    return std::make_unique<BSPMap>(std::move(source), screenDisplay.get(), lighting.get());
}

std::optional<TextureReport> Viewer::textureReport() const
{
    return levelMap->images->report(*levelMap, materials.get());
}

void Viewer::frameDrawn()
{
    if (screenshots)
        screenshots->takePending();
}

void Viewer::frameShown()
{
    if (frameLog)
        frameLog->frameDone();
}

Viewer::~Viewer() = default;

void Viewer::drawFrame() { drawFrameAt(clockStopped ? lastFrameTime : glutGet(GLUT_ELAPSED_TIME)); }

void Viewer::drawFrameAt(int now)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    frameCount += 1;
    frameSeconds = float((now - lastFrameTime) / 1000.0);
    lastFrameTime = now;
    if (now - lastFpsTime > 1000) {
        fps = int(frameCount * 1000.0 / (now - lastFpsTime));
        lastFpsTime = now;
        frameCount = 0;
    }
    if (levelMode)
        flight.advance(*camera, frameSeconds);
    writeStatus();
    levelMap->render(statusLine, frameSeconds, texturesEnabled, lightingEnabled);
}

// "FPS:60 X:320 Y:48 Z:-96", and in level mode " H:90 P:-10" and, after a jump, " start 3 of 12".
void Viewer::writeStatus()
{
    statusLine.reset();
    const Point& eye = camera->getPosition();
    statusLine << "FPS:" << fps << " X:" << eye.getX() << " Y:" << eye.getY() << " Z:" << eye.getZ();
    if (!levelMode)
        return;
    statusLine << " H:" << std::lround(camera->heading()) % 360 << " P:" << std::lround(camera->getPitch());
    if (const std::size_t start = starts.standingAt(*camera))
        statusLine << " start " << start << " of " << starts.count();
}

void Viewer::pressKey(unsigned char key)
{
    if (levelMode && pressLevelModeKey(key))
        return;
    switch (key) {
    case 'w': camera->moveForward(5.0f); break;
    case 's': camera->moveBackward(5.0f); break;
    case 'a': camera->turnLeft(2); break;
    case 'd': camera->turnRight(2); break;
    case 'e': camera->lookUp(5); break;
    case 'r': camera->lookDown(5); break;
    case '=': camera->moveUp(7.0f); break;
    case '-': camera->moveDown(7.0f); break;
    case 'f': camera->fire(); break;
    case 'v':
        if (camera->isCullingEnabled())
            camera->disableCulling();
        else
            camera->enableCulling();
        break;
    case 't': texturesEnabled = !texturesEnabled; break;
    case 'l': lightingEnabled = !lightingEnabled; break;
    case 'b': togglePatchTessellation(); break;
    case '<': changeTessellationLevel(-1); break;
    case '>': changeTessellationLevel(+1); break;
    case 'm': levelMap->look->toggleLightmaps(); break; // unbound where the look has no lightmaps
    case 'p':
        if (screenshots)
            screenshots->request();
        break;
    default: break;
    }
}

bool Viewer::pressLevelModeKey(unsigned char key)
{
    if (const std::optional<Flight::Motion> motion = motionOfKey(key)) {
        flight.hold(*motion);
        return true;
    }
    switch (key) {
    case 'c':
        std::cout << viewOptions(camera->getPosition(), camera->heading(), camera->getPitch()) << std::endl;
        return true;
    case 'h': levelMap->hudShown = !levelMap->hudShown; return true;
    case 'j': jumpToStart(true); return true;
    case 'J': jumpToStart(false); return true;
    case 'n': toggleMarkers(); return true;
    case tabKey: releasePointer(); return true;
    default: return false;
    }
}

void Viewer::releaseKey(unsigned char key)
{
    if (!levelMode)
        return;
    if (const std::optional<Flight::Motion> motion = motionOfKey(key))
        flight.release(*motion);
}

void Viewer::toggleMarkers()
{
    if (levelMap->look->toggleMarkers())
        return;
    if (!saidNoMarkers)
        std::cerr << "verdanth: this level has no point entities to mark" << std::endl;
    saidNoMarkers = true;
}

void Viewer::jumpToStart(bool forward)
{
    if (starts.count() == 0) {
        if (!saidNoStarts)
            std::cerr << "verdanth: this level has no player starts to jump to" << std::endl;
        saidNoStarts = true;
        return;
    }
    starts.jump(*camera, forward);
}

void Viewer::togglePatchTessellation()
{
    patchTessellationOn = !patchTessellationOn;
    if (!patchTessellationOn) {
        levelMap->disablePatchTessellation();
        return;
    }
    levelMap->enablePatchTessellation();
    if (!retessellate(tessellationLevel)) {
        // The patches keep their old tessellation, which may be from another level or none:
        // the control grids are what is certainly there.
        levelMap->disablePatchTessellation();
        patchTessellationOn = false;
    }
}

void Viewer::changeTessellationLevel(int step)
{
    const int level = tessellationLevel + step;
    if (level < minTessellationLevel || level > maxTessellationLevel)
        return;
    if (retessellate(level))
        tessellationLevel = level;
}

bool Viewer::retessellate(int level)
{
    if (const auto refusal = levelMap->tessellationRefusal(level)) {
        std::cerr << "verdanth: " << *refusal << std::endl;
        return false;
    }
    try {
        levelMap->retessellatePatches(level);
        // The old tessellation was freed in many small blocks the allocator would otherwise keep
        // for itself; a large level's curved surfaces can hold hundreds of megabytes.
        malloc_trim(0);
        return true;
    } catch (const std::bad_alloc&) {
        std::cerr << "verdanth: not enough memory to tessellate the curved surfaces at level " << level
                  << "; they keep their tessellation" << std::endl;
        return false;
    }
}

void Viewer::pressSpecialKey(int key)
{
    if (levelMode) {
        if (const std::optional<Flight::Motion> motion = motionOfSpecialKey(key))
            flight.hold(*motion);
        leftShiftDown = leftShiftDown || key == GLUT_KEY_SHIFT_L;
        rightShiftDown = rightShiftDown || key == GLUT_KEY_SHIFT_R;
        flight.setFast(leftShiftDown || rightShiftDown);
        return;
    }
    if (key == GLUT_KEY_LEFT)
        camera->strafeLeft(5.0f);
    else if (key == GLUT_KEY_RIGHT)
        camera->strafeRight(5.0f);
}

void Viewer::releaseSpecialKey(int key)
{
    if (!levelMode)
        return;
    if (const std::optional<Flight::Motion> motion = motionOfSpecialKey(key))
        flight.release(*motion);
    leftShiftDown = leftShiftDown && key != GLUT_KEY_SHIFT_L;
    rightShiftDown = rightShiftDown && key != GLUT_KEY_SHIFT_R;
    flight.setFast(leftShiftDown || rightShiftDown);
}

void Viewer::pressMouseButton(int button, int state, int x, int y)
{
    // In level mode the click that takes hold of the pointer only does that.
    if (levelMode && state == GLUT_DOWN && !mouseLook.isHeld()) {
        holdPointer(x, y);
        return;
    }
    if (button == GLUT_LEFT_BUTTON && state == GLUT_DOWN)
        camera->fire();
}

void Viewer::movePointer(int x, int y)
{
    if (levelMode) {
        const int width = glutGet(GLUT_WINDOW_WIDTH);
        const int height = glutGet(GLUT_WINDOW_HEIGHT);
        if (mouseLook.moved(x, y, width, height, *camera))
            glutWarpPointer(width / 2, height / 2);
        return;
    }
    const int dx = std::abs(x - lastMouseX);
    if (x > lastMouseX)
        camera->turnRight(dx);
    else
        camera->turnLeft(dx);
    const int dy = std::abs(y - lastMouseY);
    if (y > lastMouseY)
        camera->lookDown(dy);
    else
        camera->lookUp(dy);
    lastMouseX = x;
    lastMouseY = y;
}

void Viewer::holdPointer(int x, int y)
{
    const int width = glutGet(GLUT_WINDOW_WIDTH);
    const int height = glutGet(GLUT_WINDOW_HEIGHT);
    if (mouseLook.hold(x, y, width, height))
        glutWarpPointer(width / 2, height / 2);
    glutSetCursor(GLUT_CURSOR_NONE);
}

void Viewer::releasePointer()
{
    if (!mouseLook.isHeld())
        return;
    mouseLook.release();
    glutSetCursor(GLUT_CURSOR_INHERIT);
}

void Viewer::loseFocus()
{
    if (!levelMode)
        return;
    releasePointer();
    flight.releaseAll();
    leftShiftDown = rightShiftDown = false;
    flight.setFast(false);
}

void Viewer::shutdown()
{
    screenDisplay.reset();
    camera.reset();
    levelMap.reset();
}
