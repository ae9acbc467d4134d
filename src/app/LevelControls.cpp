#include "app/LevelControls.h"

#include "app/Callbacks.h"
#include "app/EventLoop.h"
#include "app/FrameClock.h"
#include "config/CommandLine.h"
#include "camera/Camera.h"
#include "inspection/EntityFinder.h"
#include "inspection/Inspection.h"
#include "render/BSPMap.h"
#include "render/StatusLine.h"
#include "simulation/ToolVolumes.h"

#include <GL/glut.h>
#include <GL/freeglut_ext.h>

#include <algorithm>
#include <cmath>
#include <iostream>

namespace {
constexpr unsigned char tabKey = 9;
constexpr unsigned char backspaceKey = 8;
constexpr unsigned char enterKey = 13;
constexpr unsigned char escapeKey = 27;
constexpr unsigned char deleteKey = 127;
constexpr int wheelAway = 3; // freeglut's buttons for the wheel's turns, without a wheel callback
constexpr int wheelToward = 4;

// With Shift down a letter arrives in capitals, and its release may arrive in either case; '+'
// and '_' are '=' and '-' with Shift.
std::optional<Flight::Motion> motionOfKey(unsigned char key)
{
    switch (key) {
    case 'w': case 'W': return Flight::Motion::forward;
    case 's': case 'S': return Flight::Motion::backward;
    case 'a': case 'A': return Flight::Motion::left;
    case 'd': case 'D': return Flight::Motion::right;
    case 'e': case 'E': return Flight::Motion::lookUp;
    case 'r': case 'R': return Flight::Motion::lookDown;
    case ' ': case '=': case '+': return Flight::Motion::up;
    case 'x': case 'X': case '-': case '_': return Flight::Motion::down;
    default: return std::nullopt;
    }
}

std::optional<Flight::Motion> motionOfSpecialKey(int key)
{
    switch (key) {
    case GLUT_KEY_LEFT: return Flight::Motion::turnLeft;
    case GLUT_KEY_RIGHT: return Flight::Motion::turnRight;
    case GLUT_KEY_UP: return Flight::Motion::lookUp;
    case GLUT_KEY_DOWN: return Flight::Motion::lookDown;
    default: return std::nullopt;
    }
}
} // namespace

LevelControls::LevelControls(double unitsPerSecond, double mouseDegreesPerPixel, PlayerStarts starts,
                             Camera& camera, const LevelData& level, World& world, bool walk)
    : flight(unitsPerSecond), mouseLook(mouseDegreesPerPixel), starts(std::move(starts)), level(&level), world(&world)
{
    camera.setPitchLimit(Camera::freePitchLimit);
    this->starts.openedAt(camera);
    if (walk)
        toggleWalking(camera);
}

LevelControls::~LevelControls() = default;

void LevelControls::listen() const
{
    registerCallbacks(false);
    registerLevelModeCallbacks();
}

void LevelControls::run(Viewer& viewer) const { EventLoop(viewer).run(); }

WalkInput LevelControls::advance(Camera& camera, double seconds)
{
    if (walking)
        return walking->input(flight, camera, seconds);
    flight.advance(camera, seconds);
    return {};
}

void LevelControls::worldStepped(Camera& camera)
{
    if (walking && !walking->follow(camera))
        walking.reset();
}

void LevelControls::toggleWalking(Camera& camera)
{
    if (walking) {
        world->stopWalking();
        walking.reset();
        return;
    }
    walking = Walking::start(*world, camera);
}

void LevelControls::inspect(const Scene& scene)
{
    const Point& eye = scene.camera.getPosition();
    const Vec3 view = scene.camera.viewDirection();
    inspected = Inspection::describe(scene.level, scene.materials, world->collision(),
                                     {eye.getX(), eye.getY(), eye.getZ()}, {view.getX(), view.getY(), view.getZ()});
    for (const std::string& line : inspected)
        std::cout << line << '\n';
    std::cout << std::flush;
    inspectedFrom = poseOf(scene.camera);
}

std::array<double, 5> LevelControls::poseOf(const Camera& camera)
{
    const Point& eye = camera.getPosition();
    return {eye.getX(), eye.getY(), eye.getZ(), camera.getYaw(), camera.getPitch()};
}

const std::vector<std::string>& LevelControls::panel(const Camera& camera)
{
    if (search.isOpen())
        return search.lines();
    if (!inspected.empty() && poseOf(camera) != inspectedFrom)
        inspected.clear(); // capacity kept: the next question allocates little
    return inspected;
}

void LevelControls::levelReplaced(const LevelData& replacement, PlayerStarts replacementStarts, Camera& camera,
                                  World& replacementWorld)
{
    level = &replacement;
    world = &replacementWorld;
    starts = std::move(replacementStarts);
    inspected.clear();
    search.levelReplaced(level->entities.entities);
    if (markersShown)
        world->collision();
    if (walking)
        walking = Walking::start(*world, camera);
}

const char* LevelControls::centreLabel(const Camera& camera) const
{
    if (!markersShown)
        return nullptr;
    const Point& eye = camera.getPosition();
    Vec3 view = camera.viewDirection();
    view.normalize();
    double degreesOff = labelDegrees;
    float distance = 0;
    const Entity* entity = Inspection::entityInView(*level, world->collision(), {eye.getX(), eye.getY(), eye.getZ()},
                                                    {view.getX(), view.getY(), view.getZ()}, degreesOff, distance);
    const std::string* classname = entity != nullptr ? entity->value("classname") : nullptr;
    return classname != nullptr ? classname->c_str() : nullptr;
}

std::optional<std::array<float, 4>> LevelControls::viewTint() const
{
    return walking ? walking->tint() : std::nullopt;
}

void LevelControls::beginStatus(StatusLine& text, const Camera& camera, const FrameClock& clock) const
{
    // Rounded, and bounded so that a far-flown eye still prints digits rather than an exponent.
    const auto whole = [](float coordinate) {
        return std::isnan(coordinate) ? 0 : std::llround(std::clamp(double(coordinate), -1e15, 1e15));
    };
    if (clock.framesPerSecond() > 0)
        text << "FPS:" << clock.framesPerSecond() << ' ';
    const Point& position = camera.getPosition();
    text << "X:" << whole(position.getX()) << " Y:" << whole(position.getY()) << " Z:" << whole(position.getZ());
}

void LevelControls::appendStatus(StatusLine& text, const Camera& camera) const
{
    text << " H:" << std::lround(camera.heading()) % 360 << " P:" << std::lround(camera.getPitch());
    if (!walking)
        text << " speed " << std::lround(flight.unitsPerSecond());
    if (const std::size_t start = starts.standingAt(camera))
        text << " start " << start << " of " << starts.count() << ", " << starts.view(start - 1).name;
    if (walking)
        walking->appendStatus(text);
    if (toolViewShown) {
        text << "  tools:";
        for (std::size_t kind = 0; kind < ToolVolumes::kindCount; ++kind)
            text << ' ' << ToolVolumes::name(ToolVolumes::Kind(kind));
    }
}

bool LevelControls::pressKey(unsigned char key, const Scene& scene)
{
    if (search.isOpen()) {
        searchKey(key, scene.camera);
        return true;
    }
    if (const std::optional<Flight::Motion> motion = motionOfKey(key)) {
        flight.hold(*motion);
        return true;
    }
    Camera& camera = scene.camera;
    switch (key) {
    case 'c':
        std::cout << viewOptions(camera.getPosition(), camera.heading(), camera.getPitch()) << std::endl;
        return true;
    case 'g': toggleWalking(camera); return true;
    case 'i': inspect(scene); return true;
    case 'h': scene.level.hudShown = !scene.level.hudShown; return true;
    case 'j': jumpToStart(camera, true); return true;
    case 'J': jumpToStart(camera, false); return true;
    case 'n': toggleMarkers(scene.level); return true;
    case 'k':
        scene.level.look->toggleToolView();
        toolViewShown = scene.level.look->switches().toolView;
        return true;
    case '[': flight.halveSpeed(); return true;
    case ']': flight.doubleSpeed(); return true;
    case tabKey: releasePointer(); return true;
    case '/': search.open(level->entities.entities); return true;
    default: return false;
    }
}

void LevelControls::releaseKey(unsigned char key)
{
    if (const std::optional<Flight::Motion> motion = motionOfKey(key))
        flight.release(*motion);
}

void LevelControls::pressSpecialKey(int key, Camera& camera)
{
    if (search.isOpen() && (key == GLUT_KEY_UP || key == GLUT_KEY_DOWN))
        visitMatch(key == GLUT_KEY_DOWN, camera);
    else if (const std::optional<Flight::Motion> motion = motionOfSpecialKey(key))
        flight.hold(*motion);
    leftShiftDown = leftShiftDown || key == GLUT_KEY_SHIFT_L;
    rightShiftDown = rightShiftDown || key == GLUT_KEY_SHIFT_R;
    updateFast();
}

void LevelControls::releaseSpecialKey(int key)
{
    if (const std::optional<Flight::Motion> motion = motionOfSpecialKey(key))
        flight.release(*motion);
    leftShiftDown = leftShiftDown && key != GLUT_KEY_SHIFT_L;
    rightShiftDown = rightShiftDown && key != GLUT_KEY_SHIFT_R;
    updateFast();
}

void LevelControls::updateFast() { flight.setFast(leftShiftDown || rightShiftDown); }

bool LevelControls::pressMouseButton(int button, int state, int x, int y)
{
    if (button == wheelAway || button == wheelToward) {
        if (state == GLUT_DOWN && button == wheelAway)
            flight.doubleSpeed();
        else if (state == GLUT_DOWN)
            flight.halveSpeed();
        return true;
    }
    if (state != GLUT_DOWN || mouseLook.isHeld())
        return false;
    holdPointer(x, y);
    return true;
}

void LevelControls::movePointer(int x, int y, Camera& camera)
{
    const int width = glutGet(GLUT_WINDOW_WIDTH);
    const int height = glutGet(GLUT_WINDOW_HEIGHT);
    if (mouseLook.moved(x, y, width, height, camera))
        glutWarpPointer(width / 2, height / 2);
}

void LevelControls::holdPointer(int x, int y)
{
    const int width = glutGet(GLUT_WINDOW_WIDTH);
    const int height = glutGet(GLUT_WINDOW_HEIGHT);
    if (mouseLook.hold(x, y, width, height))
        glutWarpPointer(width / 2, height / 2);
    glutSetCursor(GLUT_CURSOR_NONE);
}

void LevelControls::releasePointer()
{
    if (!mouseLook.isHeld())
        return;
    mouseLook.release();
    glutSetCursor(GLUT_CURSOR_INHERIT);
}

void LevelControls::loseFocus()
{
    releasePointer();
    flight.releaseAll();
    leftShiftDown = rightShiftDown = false;
    updateFast();
}

void LevelControls::toggleMarkers(BSPMap& level)
{
    if (level.look->toggleMarkers()) {
        markersShown = level.look->switches().markers == Look::Markers::all;
        if (markersShown)
            world->collision(); // built here, not in the frame that first labels a marker
        return;
    }
    if (!saidNoMarkers)
        std::cerr << "verdanth: this level has no point entities to mark" << std::endl;
    saidNoMarkers = true;
}

// Printable characters are typed, even those that fly or toggle while the line is closed.
void LevelControls::searchKey(unsigned char key, Camera& camera)
{
    const std::vector<Entity>& entities = level->entities.entities;
    if (key == escapeKey)
        search.close();
    else if (key == enterKey)
        visitMatch(true, camera);
    else if (key == backspaceKey || key == deleteKey)
        search.eraseLast(entities);
    else if (key >= ' ' && key < deleteKey)
        search.type(char(key), entities);
}

void LevelControls::visitMatch(bool forward, Camera& camera)
{
    const std::vector<Entity>& entities = level->entities.entities;
    const std::optional<std::size_t> index = search.step(forward, entities);
    if (!index)
        return;
    const Point& at = camera.getPosition();
    std::string why;
    const std::optional<EntityFinder::Visit> visit =
        EntityFinder::visit(*world, *level, entities[*index], {at.getX(), at.getY(), at.getZ()}, why);
    search.visited(why, entities);
    if (!visit)
        return;
    camera.moveTo(Point(visit->eye.x, visit->eye.y, visit->eye.z));
    camera.faceHeading(visit->heading);
    camera.setPitch(visit->pitch);
    if (walking && !walking->standAt(camera)) {
        world->stopWalking();
        walking.reset();
    }
}

void LevelControls::jumpToStart(Camera& camera, bool forward)
{
    if (starts.count() == 0) {
        if (!saidNoStarts)
            std::cerr << "verdanth: this level has no player starts to jump to" << std::endl;
        saidNoStarts = true;
        return;
    }
    starts.jump(camera, forward);
    if (walking && !walking->standAt(camera)) {
        world->stopWalking();
        walking.reset();
    }
}
