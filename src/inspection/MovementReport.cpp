#include "inspection/MovementReport.h"

#include "simulation/PlayerMovement.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr float floorSearch = 65536.0f; // units below a point searched for a floor

std::string filePoint(Float3 world)
{
    char text[96];
    // + 0.0 turns a negative zero into "0".
    std::snprintf(text, sizeof text, "(%.0f %.0f %.0f)", double(world.x) + 0.0, double(-world.z) + 0.0,
                  double(world.y) + 0.0);
    return text;
}

std::string number(double value, const char* format)
{
    char text[48];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string textureName(const LevelData& level, int32_t texture)
{
    return texture >= 0 && std::size_t(texture) < level.textureNames.size() ? level.textureNames[std::size_t(texture)]
                                                                             : "an unnamed surface";
}

Float3 feet(Float3 origin)
{
    return origin - Float3{0.0f, PlayerMovement::feetBelowOrigin, 0.0f};
}

// The model's box, each axis sorted, in world coordinates.
void modelBox(const LevelData& level, std::size_t model, Float3& low, Float3& high)
{
    const Model& record = level.models[model];
    for (int axis = 0; axis < 3; ++axis) {
        low[axis] = std::min(record.mins[axis], record.maxs[axis]);
        high[axis] = std::max(record.mins[axis], record.maxs[axis]);
    }
}

std::string describeStart(const PlayerMovement& walker, const WalkEntities::Start& start, bool& inSolid)
{
    const CollisionWorld::Box box = walker.box();
    const CollisionWorld& world = walker.world();
    const std::string head = start.className + " at " + filePoint(start.origin) + ": ";
    const Float3 origin = start.origin + Float3{0.0f, PlayerMovement::startLift, 0.0f};
    inSolid = world.trace(origin, origin, box, PlayerMovement::blockingContents).startSolid;
    if (inSolid)
        return head + "in solid";
    const CollisionWorld::Trace down =
        world.trace(origin, origin - Float3{0.0f, floorSearch, 0.0f}, box, PlayerMovement::blockingContents);
    if (down.fraction == 1.0f)
        return head + "clear, no floor below";
    return head + "clear, falls " + number(double(origin.y - down.end.y), "%.0f") + " to the floor";
}

// The pad's arc followed by the walker from the middle of the pad's floor.
std::string describePad(const LevelData& level, PlayerMovement& walker, const WalkEntities::Trigger& pad, bool& blocked)
{
    Float3 low, high;
    modelBox(level, pad.model, low, high);
    const Float3 from{(low.x + high.x) * 0.5f, low.y, (low.z + high.z) * 0.5f};
    std::string line = "pad *" + std::to_string(pad.model) + " from " + filePoint(from) + " to ";
    blocked = true;
    if (!pad.problem.empty())
        return line + (pad.targetName.empty() ? "nothing" : pad.targetName) + ": does nothing: it " + pad.problem;
    line += pad.targetName + " " + filePoint(pad.target) + ": ";
    walker.placeAt(from + Float3{0.0f, PlayerMovement::feetBelowOrigin + 0.25f, 0.0f}, 0.0);
    const double tick = PlayerMovement::maxSubStep;
    WalkInput still;
    still.heading = 0.0;
    walker.step(still, tick);
    if (!walker.events().launched)
        return line + "does not launch: its target is not above the pad";
    const float speed = length(walker.velocity());
    walker.clearContact();
    Float3 apex = walker.origin();
    double flight = tick;
    while (flight < MovementReport::flightLimit && !walker.onGround() && !walker.firstBlock().met) {
        walker.step(still, tick);
        flight += tick;
        if (walker.origin().y > apex.y)
            apex = walker.origin();
    }
    line += "launch " + number(double(speed), "%.0f") + " u/s, apex " + filePoint(apex) + ", ";
    if (walker.firstBlock().met)
        return line + "blocked at " + filePoint(walker.firstBlock().point) + " by "
             + textureName(level, walker.firstBlock().texture) + " after " + number(flight, "%.2f") + " s";
    if (!walker.onGround())
        return line + "still falling after " + number(flight, "%.0f") + " s";
    blocked = false;
    return line + "lands at " + filePoint(feet(walker.origin())) + " after " + number(flight, "%.2f") + " s";
}

std::string describeTeleporter(const PlayerMovement& walker, const WalkEntities::Trigger& teleporter, bool& blocked)
{
    std::string line = "teleporter *" + std::to_string(teleporter.model) + " to ";
    blocked = true;
    if (!teleporter.problem.empty())
        return line + (teleporter.targetName.empty() ? "nothing" : teleporter.targetName) + ": does nothing: it "
             + teleporter.problem;
    line += teleporter.targetName + " " + filePoint(teleporter.target) + " heading "
          + number(teleporter.targetHeading, "%.0f") + ": ";
    const CollisionWorld& world = walker.world();
    if (world.trace(teleporter.target, teleporter.target, walker.box(), PlayerMovement::blockingContents).startSolid)
        return line + "in solid";
    const CollisionWorld::Trace down =
        world.trace(teleporter.target, teleporter.target - Float3{0.0f, floorSearch, 0.0f}, walker.box(),
                    PlayerMovement::blockingContents);
    blocked = false;
    if (down.fraction == 1.0f)
        return line + "clear, no floor below";
    return line + "clear, lands at " + filePoint(feet(down.end));
}

} // namespace

MovementReport MovementReport::of(const LevelData& level, const std::vector<Entity>& entities)
{
    MovementReport report;
    PlayerMovement walker(level, entities);
    const WalkEntities& found = walker.walkEntities();
    if (walker.world().skippedBrushes() > 0)
        report.lines.push_back("collision: " + std::to_string(walker.world().skippedBrushes())
                               + " brushes left out: a side, plane or texture index outside the level");
    for (const WalkEntities::Start& start : found.starts()) {
        bool inSolid = false;
        report.lines.push_back("start " + std::to_string(++report.starts) + " " + describeStart(walker, start, inSolid));
        report.startsInSolid += inSolid;
    }
    for (const WalkEntities::Trigger& trigger : found.triggers()) {
        bool blocked = false;
        if (trigger.kind == WalkEntities::Kind::pad) {
            report.lines.push_back(describePad(level, walker, trigger, blocked));
            ++report.pads;
            report.padsBlocked += blocked;
        } else if (trigger.kind == WalkEntities::Kind::teleporter) {
            report.lines.push_back(describeTeleporter(walker, trigger, blocked));
            ++report.teleporters;
            report.teleportersBlocked += blocked;
        }
    }
    return report;
}

std::string MovementReport::summaryLine() const
{
    return "movement: " + std::to_string(starts) + " starts (" + std::to_string(startsInSolid) + " in solid), "
         + std::to_string(pads) + " jump pads (" + std::to_string(padsBlocked) + " blocked), "
         + std::to_string(teleporters) + " teleporters (" + std::to_string(teleportersBlocked) + " blocked)";
}
