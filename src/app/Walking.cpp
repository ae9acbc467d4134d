#include "app/Walking.h"

#include "camera/Camera.h"
#include "camera/Flight.h"
#include "render/StatusLine.h"

#include <iostream>

namespace {

// Where a walker's origin stands for an eye at the camera's.
Float3 originUnder(const Camera& camera, const WalkSettings& settings)
{
    const Point& eye = camera.getPosition();
    return {eye.getX(), eye.getY() - settings.eyeAboveOrigin, eye.getZ()};
}

// One line when walking cannot start; false then.
bool started(World::Start start, const WalkSettings& settings)
{
    switch (start) {
    case World::Start::walking: return true;
    case World::Start::noBrushes:
        std::cerr << "verdanth: this level has no brushes to walk on; flying" << std::endl;
        return false;
    case World::Start::noClearSpot:
        std::cerr << "verdanth: inside a wall, with no room to stand within "
                  << settings.clearSearch << " units; flying" << std::endl;
        return false;
    }
    return false;
}

} // namespace

std::unique_ptr<Walking> Walking::start(World& world, Camera& camera)
{
    if (!started(world.startWalking(originUnder(camera, world.settings()), camera.heading()), world.settings()))
        return nullptr;
    std::size_t idle = 0;
    for (const Triggers::Volume& volume : world.triggers().volumes())
        idle += volume.response.move.type != Triggers::Move::Type::none && !volume.response.move.works();
    if (idle > 0)
        std::cerr << "verdanth: " << idle << " jump pads and teleporters do nothing here "
                  << "(levelinfo --movement says why)" << std::endl;
    auto walking = std::make_unique<Walking>(world);
    walking->follow(camera);
    return walking;
}

bool Walking::standAt(Camera& camera)
{
    if (!started(world.startWalking(originUnder(camera, world.settings()), camera.heading()), world.settings()))
        return false;
    follow(camera);
    return true;
}

WalkInput Walking::input(Flight& flight, Camera& camera, double seconds) const
{
    using Motion = Flight::Motion;
    flight.turn(camera, seconds);
    WalkInput input;
    input.forward = float(flight.direction(Motion::forward, Motion::backward));
    input.right = float(flight.direction(Motion::right, Motion::left));
    input.jump = flight.direction(Motion::up, Motion::down) > 0;
    input.crouch = flight.direction(Motion::up, Motion::down) < 0;
    input.heading = camera.heading();
    input.pitch = camera.getPitch();
    flight.frameDone();
    return input;
}

bool Walking::follow(Camera& camera)
{
    const World::Events& events = world.events();
    if (events.stoppedWalking) {
        std::cerr << "verdanth: fell out of the level again before standing anywhere; flying" << std::endl;
        return false;
    }
    const PlayerMovement& player = world.player();
    const Float3 eye = player.eye();
    camera.moveTo(Point(eye.x, eye.y, eye.z));
    if (events.teleported || events.fellOut) {
        camera.faceHeading(player.heading());
        camera.setPitch(player.pitch());
    }
    if (events.fellOut)
        std::cerr << "verdanth: fell out of the level; back where walking started" << std::endl;
    return true;
}

bool Walking::isMoving() const
{
    const PlayerMovement& player = world.player();
    return !player.onGround() || player.isSwimming() || length(player.velocity()) > 0.01f;
}

void Walking::appendStatus(StatusLine& text) const
{
    const PlayerMovement& player = world.player();
    text << " walking";
    if (player.isSwimming())
        text << " swimming";
    else if (player.isCrouched())
        text << " crouched";
    if (world.events().hurt)
        text << " hurt";
}

std::optional<std::array<float, 4>> Walking::tint() const
{
    switch (world.player().liquidAtEye()) {
    case LevelFormat::contentsWater: return std::array<float, 4>{0.10f, 0.30f, 0.50f, 0.45f};
    case LevelFormat::contentsSlime: return std::array<float, 4>{0.20f, 0.45f, 0.10f, 0.55f};
    case LevelFormat::contentsLava: return std::array<float, 4>{0.85f, 0.30f, 0.05f, 0.65f};
    default: return std::nullopt;
    }
}
