#include "app/Viewer.h"

#include "app/ConfigurationControls.h"
#include "app/LevelControls.h"
#include "config/CommandLine.h"
#include "camera/Camera.h"
#include "entities/Friendlies.h"
#include "render/BSPMap.h"
#include "render/DataPathImages.h"
#include "render/DataRootImages.h"
#include "render/DesignedLook.h"
#include "render/PlainLook.h"
#include "render/ScreenTint.h"
#include "render/TextPanel.h"
#include "render/LightingModule.h"
#include "render/OnScreenDisplay.h"
#include "simulation/World.h"

#include <GL/glut.h>
#include <GL/freeglut_ext.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <cstdlib>
#include <malloc.h>
#include <iostream>
#include <new>

namespace {
constexpr int minTessellationLevel = 2;
constexpr int maxTessellationLevel = 20;
} // namespace

Viewer::Viewer(Configuration configuration) : Viewer(Launch::forConfiguration(std::move(configuration))) {}

Viewer::Viewer(Launch launch)
    : dataRoot(std::move(launch.dataRoot)),
      materials(std::move(launch.materials)),
      resolver(std::move(launch.resolver)),
      friendlies(std::move(launch.configuration.friendlies))
{
    const Configuration& configuration = launch.configuration;
    if (configuration.levelPlayers && launch.levelBox) {
        const auto& [low, high] = *launch.levelBox;
        friendlies = std::make_unique<Friendlies>(configuration.levelPlayers->first,
                                                  configuration.levelPlayers->second, low, high);
    }
    screenDisplay = std::make_unique<OnScreenDisplay>(GLUT_BITMAP_TIMES_ROMAN_24);
    lighting = makeLighting(launch);
    levelMap = makeLevel(launch, resolver.get());
    play = makeWorld(*levelMap);
    eye = std::make_unique<Camera>(configuration.startPoint, &frustum);
    if (configuration.startAngle)
        eye->faceHeading(*configuration.startAngle);
    if (configuration.startPitch) {
        eye->setPitchLimit(Camera::freePitchLimit);
        eye->setPitch(*configuration.startPitch);
    }
    if (launch.levelMode)
        input = std::make_unique<LevelControls>(launch.flightSpeed, launch.mouseDegreesPerPixel,
                                                std::move(launch.starts), *eye, *levelMap, *play, launch.walking);
    else
        input = std::make_unique<ConfigurationControls>();
    levelMap->setCamera(eye.get());
    levelMap->friendlies = friendlies.get();
    levelMap->hudShown = launch.hudShown;
    if (!launch.frameLogPath.empty())
        frameLog = std::make_unique<FrameLog>(launch.frameLogPath);
    if (configuration.screenshots)
        screenshots = std::make_unique<Screenshots>(launch.shotsFolder);
    startWatching(launch);
}

void Viewer::startWatching(const Launch& launch)
{
    relaunch = launch.line;
    if (!relaunch || relaunch->noWatch || relaunch->snapshot || relaunch->overview)
        return;
    watch = std::make_unique<LevelWatch>(watchedFiles());
}

// What the level is made of: its file (or the archive opened as it), and whatever the data
// root was asked for while it loaded, found or not.
LevelWatch::Files Viewer::watchedFiles() const
{
    LevelWatch::Files files;
    if (dataRoot) {
        files.root = dataRoot->folder();
        files.consulted = dataRoot->consultedPaths();
    }
    if (std::filesystem::is_regular_file(relaunch->target))
        files.outside.push_back(relaunch->target);
    return files;
}

// Watched afresh after each try: a folder made anew, or one added, is seen from then on.
void Viewer::checkForChanges(int now)
{
    if (!watch || !watch->settled(now))
        return;
    if (reload())
        changed();
    watch = std::make_unique<LevelWatch>(watchedFiles());
}

bool Viewer::reload()
{
    if (!relaunch)
        return false;
    const auto began = std::chrono::steady_clock::now();
    try {
        std::ostream quiet(nullptr);
        Launch fresh = Launch::fromLevel(*relaunch, quiet);
        fresh.materialSeconds = levelMap->look->clock(); // what moves goes on, not back to its start
        std::unique_ptr<BSPMap> level = makeLevel(fresh, fresh.resolver.get());
        std::unique_ptr<World> world = makeWorld(*level);
        level->hudShown = levelMap->hudShown;
        level->look->restore(levelMap->look->switches());
        input->levelReplaced(*level, std::move(fresh.starts), *eye, *world);
        play = std::move(world); // the old world goes before the old level it read
        levelMap = std::move(level); // the old level goes before what its images came from
        dataRoot = std::move(fresh.dataRoot);
        materials = std::move(fresh.materials);
        resolver = std::move(fresh.resolver);
        levelMap->setCamera(eye.get());
        levelMap->friendlies = friendlies.get();
        if (drawing.patchTessellation) {
            levelMap->enablePatchTessellation();
            if (!retessellate(drawing.tessellationLevel)) {
                levelMap->disablePatchTessellation();
                drawing.patchTessellation = false;
            }
        }
    } catch (const std::exception& error) {
        std::cerr << "verdanth: " << relaunch->target << ": not reloaded, the level shown stays: " << error.what()
                  << std::endl;
        return false;
    }
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began);
    std::cerr << "verdanth: reloaded " << levelMap->levelPath << " in " << took.count() << " ms" << std::endl;
    return true;
}

std::unique_ptr<LightingModule> Viewer::makeLighting(const Launch& launch) const
{
    if (launch.lights)
        return std::make_unique<LightingModule>(*launch.lights);
    return std::make_unique<LightingModule>(launch.configuration.lightsFile);
}

// The one place the frame is chosen: a configuration file's level without the designed look
// is drawn plain, as the configuration's transcript and pictures promise; only level mode shows
// the pickups from the start.
std::unique_ptr<BSPMap> Viewer::makeLevel(Launch& launch, const TextureResolver* resolver)
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
            source.look = std::make_unique<DesignedLook>(
                *images, light, launch.levelName, std::cerr, launch.materialSeconds,
                launch.levelMode ? Look::Markers::pickups : Look::Markers::none);
        } else {
            source.look = std::make_unique<PlainLook>();
        }
        source.images = std::move(images);
    }
    return std::make_unique<BSPMap>(std::move(source), screenDisplay.get(), lighting.get());
}

// The level's world, its notices said by the look (level mode's) or kept quiet (the
// configuration's transcript holds none).
std::unique_ptr<World> Viewer::makeWorld(BSPMap& level)
{
    std::vector<std::string> notices;
    auto world = std::make_unique<World>(level, level.entities.entities, level.levelPath, notices);
    level.look->worldBuilt(*world, notices);
    return world;
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
    if (clock.isStopped())
        return; // a snapshot's frames: no loop to ask for more
    const bool moving = somethingMoves();
    input->frameShown(glutGet(GLUT_ELAPSED_TIME), moving);
    if (!moving && frameLog)
        frameLog->flush(); // at rest: whoever watches the log sees every frame drawn
}

bool Viewer::somethingMoves() const
{
    return input->isMoving() || levelMap->look->movesWithTime() || !eye->shots().empty() || friendlies;
}

void Viewer::changed() { input->changed(glutGet(GLUT_ELAPSED_TIME)); }

int Viewer::untilWake(int now) const
{
    const int frame = input->untilNextFrame(now);
    const int change = watch ? watch->untilSettled(now) : -1;
    if (frame < 0 || change < 0)
        return std::max(frame, change);
    return std::min(frame, change);
}

int Viewer::watchDescriptor() const { return watch ? watch->descriptor() : -1; }

void Viewer::wake(int now)
{
    checkForChanges(now);
    input->wake(now);
}

void Viewer::windowShown(bool shown) { input->windowShown(shown, glutGet(GLUT_ELAPSED_TIME)); }

Viewer::~Viewer() = default;

void Viewer::drawFrame() { drawFrameAt(clock.isStopped() ? clock.lastFrameTime() : glutGet(GLUT_ELAPSED_TIME)); }

void Viewer::drawFrameAt(int now)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    clock.tick(now);
    step(clock.frameSeconds());
    writeStatus();
    levelMap->render(statusLine, clock.frameSeconds(), drawing.textures, drawing.lighting);
    if (const auto tint = input->viewTint())
        ScreenTint::draw(*tint);
    drawPanel();
}

void Viewer::step(double seconds)
{
    levelMap->look->advanceClock(seconds);
    const WalkInput walk = input->advance(*eye, seconds);
    const Point& at = eye->getPosition();
    play->flyAt({at.getX(), at.getY(), at.getZ()});
    play->step(levelMap->look->clock(), walk, seconds);
    input->worldStepped(*eye);
}

// Top left, wrapped inside the window (TextPanel); a marker's class just up and right of the centre.
void Viewer::drawPanel()
{
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (const char* label = input->centreLabel(*eye)) {
        // On a dark band, so that it reads over the sky as over a wall.
        const int x = viewport[2] / 2 + 14, y = viewport[3] / 2 + 14, height = screenDisplay->lineHeight();
        ScreenTint::draw({0.0f, 0.0f, 0.0f, 0.6f}, x - 4, y - height / 4 - 4, x + screenDisplay->textWidth(label) + 4,
                         y + height * 3 / 4 + 4);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        screenDisplay->drawText(float(x), float(y), label);
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    TextPanel::draw(input->panel(*eye));
}

// The frame rate and the eye as the mode writes them, and what the mode adds (level mode:
// "FPS:60 X:320 Y:48 Z:-96 H:90 P:-10 start 3 of 12, deathmatch").
void Viewer::writeStatus()
{
    statusLine.reset();
    input->beginStatus(statusLine, *eye, clock);
    input->appendStatus(statusLine, *eye);
}

void Viewer::pressKey(unsigned char key)
{
    if (input->pressKey(key, {*eye, *levelMap, materials.get()}))
        return;
    switch (key) {
    case 'f': eye->fire(); break;
    case 'v':
        if (eye->isCullingEnabled())
            eye->disableCulling();
        else
            eye->enableCulling();
        break;
    case 't': drawing.textures = !drawing.textures; break;
    case 'l': drawing.lighting = !drawing.lighting; break;
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

void Viewer::releaseKey(unsigned char key) { input->releaseKey(key); }

void Viewer::togglePatchTessellation()
{
    drawing.patchTessellation = !drawing.patchTessellation;
    if (!drawing.patchTessellation) {
        levelMap->disablePatchTessellation();
        return;
    }
    levelMap->enablePatchTessellation();
    if (!retessellate(drawing.tessellationLevel)) {
        // The patches keep their old tessellation, which may be from another level or none:
        // the control grids are what is certainly there.
        levelMap->disablePatchTessellation();
        drawing.patchTessellation = false;
    }
}

void Viewer::changeTessellationLevel(int step)
{
    const int level = drawing.tessellationLevel + step;
    if (level < minTessellationLevel || level > maxTessellationLevel)
        return;
    if (retessellate(level))
        drawing.tessellationLevel = level;
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
    if (key == GLUT_KEY_F5 && reload())
        return;
    input->pressSpecialKey(key, *eye);
}

void Viewer::releaseSpecialKey(int key) { input->releaseSpecialKey(key); }

void Viewer::pressMouseButton(int button, int state, int x, int y)
{
    if (input->pressMouseButton(button, state, x, y))
        return;
    if (button == GLUT_LEFT_BUTTON && state == GLUT_DOWN)
        eye->fire();
}

void Viewer::movePointer(int x, int y) { input->movePointer(x, y, *eye); }

void Viewer::loseFocus() { input->loseFocus(); }

void Viewer::shutdown()
{
    screenDisplay.reset();
    eye.reset();
    play.reset();
    levelMap.reset();
}
