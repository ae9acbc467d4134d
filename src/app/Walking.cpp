#include "app/Walking.h"

#include "camera/Camera.h"
#include "camera/Flight.h"
#include "render/StatusLine.h"

#include <iostream>

std::unique_ptr<Walking> Walking::start(const LevelData& level, const Camera& camera, const Movers* movers)
{
    PlayerMovement movement(level, level.entities.entities);
    if (movement.world().solidCount() == 0) {
        std::cerr << "verdanth: this level has no brushes to walk on; flying" << std::endl;
        return nullptr;
    }
    std::size_t idle = 0;
    for (const WalkEntities::Trigger& trigger : movement.walkEntities().triggers())
        idle += trigger.kind != WalkEntities::Kind::hurt && !trigger.problem.empty();
    if (idle > 0)
        std::cerr << "verdanth: " << idle << " jump pads and teleporters do nothing here "
                  << "(levelinfo --movement says why)" << std::endl;
    auto walking = std::make_unique<Walking>(std::move(movement), movers);
    walking->standAt(camera);
    return walking;
}

void Walking::standAt(const Camera& camera)
{
    const Point& eye = camera.getPosition();
    player.placeAt({eye.getX(), eye.getY() - PlayerMovement::eyeAboveOrigin, eye.getZ()}, camera.heading());
}

void Walking::step(Flight& flight, Camera& camera, double seconds)
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
    if (movers)
        player.followMovers(*movers);
    player.step(input, seconds);
    const Float3 eye = player.eye();
    camera.moveTo(Point(eye.x, eye.y, eye.z));
    if (player.events().teleported || player.events().fellOut) {
        camera.faceHeading(player.heading());
        camera.setPitch(player.pitch());
    }
    if (player.events().fellOut)
        std::cerr << "verdanth: fell out of the level; back at the last start" << std::endl;
}

bool Walking::isMoving() const
{
    return !player.onGround() || player.isSwimming() || length(player.velocity()) > 0.01f;
}

void Walking::appendStatus(StatusLine& text) const
{
    text << " walking";
    if (player.isSwimming())
        text << " swimming";
    else if (player.isCrouched())
        text << " crouched";
    if (player.inHurtVolume())
        text << " hurt";
}

std::optional<std::array<float, 4>> Walking::tint() const
{
    switch (player.liquidAtEye()) {
    case LevelFormat::contentsWater: return std::array<float, 4>{0.10f, 0.30f, 0.50f, 0.45f};
    case LevelFormat::contentsSlime: return std::array<float, 4>{0.20f, 0.45f, 0.10f, 0.55f};
    case LevelFormat::contentsLava: return std::array<float, 4>{0.85f, 0.30f, 0.05f, 0.65f};
    default: return std::nullopt;
    }
}
