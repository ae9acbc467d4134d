#include "simulation/World.h"

#include "level/BrushEntity.h"
#include "math/FileAxes.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace {

std::atomic<std::size_t> builds{0};

// By model: where its entity's "origin" puts its brushes (zero when it has none).
std::vector<Float3> modelOffsets(const std::vector<Entity>& entities, std::size_t modelCount)
{
    std::vector<Float3> offsets(modelCount);
    for (const Entity& entity : entities) {
        const std::optional<std::size_t> model = entity.inlineModel();
        float origin[3];
        if (model && *model > 0 && *model < modelCount && entity.numbers("origin", origin, 3)
            && std::abs(origin[0]) <= Triggers::worldLimit && std::abs(origin[1]) <= Triggers::worldLimit
            && std::abs(origin[2]) <= Triggers::worldLimit)
            offsets[*model] = FileAxes::toWorld(origin);
    }
    return offsets;
}

// The brush entities as the movers take them; what is wrong with them the look has said.
std::vector<BrushEntity> brushEntities(const LevelData& level, const std::vector<Entity>& entities,
                                       const std::string& levelName)
{
    std::vector<std::string> alreadySaid;
    return BrushEntity::list(level, entities, levelName, alreadySaid);
}

// Offsets from a point on a lattice of `spacing` within `radius`, nearest first: where a
// player stuck in a wall is looked for.
std::vector<Float3> searchOffsets(float radius, float spacing)
{
    std::vector<Float3> offsets;
    const int steps = int(radius / spacing);
    for (int x = -steps; x <= steps; ++x)
        for (int y = -steps; y <= steps; ++y)
            for (int z = -steps; z <= steps; ++z) {
                const Float3 offset{float(x) * spacing, float(y) * spacing, float(z) * spacing};
                if (length(offset) <= radius)
                    offsets.push_back(offset);
            }
    std::stable_sort(offsets.begin(), offsets.end(),
                     [](Float3 a, Float3 b) { return dot(a, a) < dot(b, b); });
    return offsets;
}

} // namespace

World::World(const LevelData& level, const std::vector<Entity>& entities, const std::string& levelName,
             std::vector<std::string>& notices, WalkSettings settings)
    : level(level), walkSettings(settings), offsets(modelOffsets(entities, level.models.size())),
      moving(brushEntities(level, entities, levelName), entities, levelName, notices, walkSettings.gravity),
      triggerSystem(level, entities, offsets, moving, levelName, notices), touchOnly(level.models.size())
{
    for (std::size_t m = 0; m < touchOnly.size(); ++m)
        touchOnly[m] = triggerSystem.isVolume(m);
}

World::~World() = default;

const CollisionWorld& World::collision() const
{
    if (!blocking) {
        blocking = std::make_unique<CollisionWorld>(level, offsets, touchOnly);
        ++builds;
        for (const Movers::Mover& mover : moving.all()) // where they stand now, carrying no one
            blocking->moveModel(mover.model, mover.pose.offset);
    }
    return *blocking;
}

std::size_t World::collisionBuilds() { return builds; }

// ---- the player ---------------------------------------------------------------------------------

CollisionWorld::Box World::playerBox() const
{
    const WalkSettings& s = walkSettings;
    return {{-s.halfWidth, -s.feetBelowOrigin, -s.halfWidth}, {s.halfWidth, s.headAboveOrigin, s.halfWidth}};
}

bool World::inSolid(Float3 origin) const
{
    return collision().trace(origin, origin, playerBox(), WalkSettings::blockingContents).startSolid;
}

std::optional<Float3> World::clearSpotNear(Float3 origin, float radius) const
{
    constexpr float spacing = 8.0f;
    if (!isFinite(origin))
        return std::nullopt;
    for (const Float3 offset : searchOffsets(radius, spacing))
        if (!inSolid(origin + offset))
            return origin + offset;
    return std::nullopt;
}

World::Start World::startWalking(Float3 origin, double heading)
{
    if (collision().solidCount() == 0)
        return Start::noBrushes;
    const std::optional<Float3> spot = clearSpotNear(origin, walkSettings.clearSearch);
    if (!spot)
        return Start::noClearSpot;
    walker.emplace(collision(), walkSettings);
    walker->placeAt(*spot, heading);
    respawnOrigin = *spot;
    respawnHeading = heading;
    putBack = false;
    return Start::walking;
}

void World::stopWalking() { walker.reset(); }

void World::playerBounds(Float3& low, Float3& high) const
{
    const CollisionWorld::Box box = walker ? walker->box() : playerBox();
    const Float3 origin = walker ? walker->origin() : flyingEye - Float3{0.0f, walkSettings.eyeAboveOrigin, 0.0f};
    low = origin + box.mins;
    high = origin + box.maxs;
}

// ---- the step -----------------------------------------------------------------------------------

void World::step(double clockSeconds, const WalkInput& input, double seconds)
{
    happened = {};
    Float3 low, high;
    playerBounds(low, high);
    moving.update(clockSeconds, low, high);
    followMovers();
    for (const std::size_t button : moving.pressed())
        if (const Triggers::Move* move = triggerSystem.pressButton(button, moving))
            apply(*move);
    if (!walker) {
        triggerSystem.touch(low, high, playedSeconds, moving, true);
        if (seconds > 0.0)
            playedSeconds += std::min(seconds, walkSettings.maxFrame);
        return;
    }
    walker->look(input.heading, input.pitch);
    if (!(seconds > 0.0))
        return;
    seconds = std::min(seconds, walkSettings.maxFrame);
    const int count = int(std::ceil(seconds / walkSettings.maxSubStep));
    for (int i = 0; i < count && walker && !happened.fellOut; ++i)
        subStep(input, float(seconds / count));
}

// The movers' brushes stand where their poses put them (moved, not turned: a turning model
// collides where it rests); one the walker stands on carries it along, and one moving into it
// pushes it by as much. Until something needs the collision, there is nothing to follow.
void World::followMovers()
{
    if (!blocking)
        return;
    for (const Movers::Mover& mover : moving.all()) {
        const Float3 delta = mover.pose.offset - blocking->modelShift(mover.model);
        if (delta.x == 0.0f && delta.y == 0.0f && delta.z == 0.0f)
            continue;
        const bool riding = walker && walker->onGround() && walker->groundModel() == mover.model;
        blocking->moveModel(mover.model, mover.pose.offset);
        if (walker && (riding || blocking->touchesModel(mover.model, walker->origin(), walker->box())))
            walker->shift(delta);
    }
}

void World::subStep(const WalkInput& input, float seconds)
{
    Float3 low, high;
    playerBounds(low, high);
    const Triggers::Touched touched = triggerSystem.touch(low, high, playedSeconds, moving);
    happened.hurt |= touched.hurt;
    if (touched.move) {
        apply(*touched.move);
        happened.movedBy = touched.movedBy;
    }
    walker->move(input, seconds);
    playedSeconds += seconds;
    if (walker->onGround())
        putBack = false;
    if (walker->origin().y < collision().levelLow().y - walkSettings.fallMargin)
        fallOut();
}

void World::apply(const Triggers::Move& move)
{
    if (!walker)
        return;
    if (move.type == Triggers::Move::Type::push) {
        happened.launched |= walker->launchTo(move.to);
    } else if (move.type == Triggers::Move::Type::teleport) {
        walker->teleportTo(move.to, move.heading);
        happened.teleported = true;
    }
}

// Put back where walking last started, once; a player who falls out again before standing
// anywhere (a start over nothing) stops walking rather than fall every second.
void World::fallOut()
{
    if (putBack) {
        walker.reset();
        happened.stoppedWalking = true;
        return;
    }
    walker->placeAt(respawnOrigin, respawnHeading);
    putBack = true;
    happened.fellOut = true;
}
