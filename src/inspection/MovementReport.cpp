#include "inspection/MovementReport.h"

#include "math/FileAxes.h"
#include "simulation/World.h"

#include <cmath>
#include <cstdio>
#include <optional>

namespace {

constexpr float floorSearch = 65536.0f; // units below a point searched for a floor

std::string filePoint(Float3 world)
{
    const Float3 file = FileAxes::toFile(world);
    char text[96];
    // + 0.0 turns a negative zero into "0".
    std::snprintf(text, sizeof text, "(%.0f %.0f %.0f)", double(file.x) + 0.0, double(file.y) + 0.0,
                  double(file.z) + 0.0);
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

// Where the player stands after falling from `origin`, if a floor is below.
std::optional<Float3> floorBelow(const World& world, Float3 origin)
{
    const CollisionWorld::Trace down = world.collision().trace(origin, origin - Float3{0.0f, floorSearch, 0.0f},
                                                               world.playerBox(), WalkSettings::blockingContents);
    if (down.startSolid || down.fraction == 1.0f)
        return std::nullopt;
    return down.end;
}

// One walk through the world, frame by frame at the walker's finest step, on its own clock.
class Walk {
public:
    explicit Walk(World& world) : world(world) {}

    void step(const WalkInput& input)
    {
        clock += tick;
        world.step(clock, input, tick);
    }

    // Stands the player on the floor under `low`..`high`, or beside it and walks in, until
    // `acted` says the world did what was asked: false, with `why`, when no way in works.
    template <typename Acted>
    bool into(Float3 low, Float3 high, Acted acted, Float3& from, std::string& why)
    {
        const Float3 centre = (low + high) * 0.5f;
        const float reach = world.settings().halfWidth + 16.0f;
        const struct {
            Float3 at;
            double heading; // toward the centre
            bool walks;
        } ways[] = {
            {centre, 90.0, false},
            {{low.x - reach, centre.y, centre.z}, 0.0, true},
            {{high.x + reach, centre.y, centre.z}, 180.0, true},
            {{centre.x, centre.y, low.z - reach}, 270.0, true},
            {{centre.x, centre.y, high.z + reach}, 90.0, true},
        };
        why = "no floor under or beside it to walk in from";
        for (const auto& way : ways) {
            for (const float height : {high.y + world.settings().feetBelowOrigin + 1.0f, way.at.y}) {
                const std::optional<Float3> floor = floorBelow(world, {way.at.x, height, way.at.z});
                if (!floor || world.startWalking(*floor, way.heading) != World::Start::walking)
                    continue;
                from = *floor - Float3{0.0f, world.settings().feetBelowOrigin, 0.0f};
                why = "the walker does not set it off from the floor under or beside it";
                WalkInput input;
                input.heading = way.heading;
                input.forward = way.walks ? 1.0f : 0.0f;
                for (double walked = 0.0; walked < MovementReport::walkLimit && world.isWalking(); walked += tick) {
                    step(input);
                    if (acted(world.events()))
                        return true;
                }
                break;
            }
        }
        return false;
    }

    static constexpr double tick = WalkSettings{}.maxSubStep;
    World& world;
    double clock = 0.0;
};

// The arc after a throw, followed until the player stands again.
std::string followArc(const LevelData& level, Walk& walk, const Triggers::Move& push, bool& blocked)
{
    World& world = walk.world;
    const PlayerMovement& player = world.player();
    std::string line = "launch " + number(double(length(player.velocity())), "%.0f") + " u/s, ";
    Float3 apex = player.origin();
    PlayerMovement::Contact block;
    std::size_t through = 0;
    double flight = 0.0;
    bool left = false; // the floor
    const WalkInput still;
    blocked = true;
    while (flight < MovementReport::flightLimit && world.isWalking()) {
        walk.step(still);
        flight += Walk::tick;
        if (!world.isWalking() || world.events().fellOut)
            return line + "apex " + filePoint(apex) + ", falls out of the level after " + number(flight, "%.2f") + " s";
        if (world.events().teleported)
            through = world.events().movedBy;
        if (!block.met && player.firstBlock().met)
            block = player.firstBlock();
        if (player.origin().y > apex.y)
            apex = player.origin();
        left = left || !player.onGround();
        if (left && player.onGround() && !world.events().launched)
            break;
    }
    line += "apex " + filePoint(apex) + ", ";
    const bool cutShort = through == 0 && apex.y < push.to.y - MovementReport::shortfall;
    if (cutShort && block.met)
        return line + "blocked at " + filePoint(block.point) + " by " + textureName(level, block.texture) + " after "
             + number(flight, "%.2f") + " s";
    if (!player.onGround())
        return line + "still falling after " + number(flight, "%.0f") + " s";
    blocked = false;
    const Float3 feet = player.origin() - Float3{0.0f, world.settings().feetBelowOrigin, 0.0f};
    return line + "lands at " + filePoint(feet) + " after " + number(flight, "%.2f") + " s"
         + (through != 0 ? ", through teleporter *" + std::to_string(through) : "");
}

// Where the player stands after a teleport, once it has come down.
std::string followTeleport(Walk& walk, bool& blocked)
{
    World& world = walk.world;
    blocked = true;
    for (double fall = 0.0; fall < MovementReport::flightLimit && world.isWalking(); fall += Walk::tick) {
        if (world.player().onGround()) {
            blocked = false;
            const Float3 feet = world.player().origin() - Float3{0.0f, world.settings().feetBelowOrigin, 0.0f};
            return "clear, lands at " + filePoint(feet);
        }
        walk.step({});
        if (!world.isWalking() || world.events().fellOut)
            break;
    }
    return "clear, no floor below";
}

// A pad's, a trigger's or a button's move, walked: `what` names it ("pad *3", "button *7").
std::string describeMove(const LevelData& level, Walk& walk, const std::string& what, const Triggers::Move& move,
                         Float3 low, Float3 high, bool& blocked)
{
    const bool push = move.type == Triggers::Move::Type::push;
    std::string line = what + " to " + (move.targetName.empty() ? "nothing" : move.targetName);
    blocked = true;
    if (!move.problem.empty())
        return line + ": does nothing: it " + move.problem;
    line += " " + filePoint(move.to) + (push ? "" : " heading " + number(move.heading, "%.0f")) + ": ";
    World& world = walk.world;
    if (!push && world.inSolid(move.to))
        return line + "in solid";
    Float3 from;
    std::string why;
    const bool acted = walk.into(
        low, high,
        [&](const World::Events& events) { return push ? events.launched : events.teleported; }, from, why);
    if (!acted)
        return line + "the walker cannot use it: " + why;
    if (!push)
        return line + followTeleport(walk, blocked);
    return line + "from " + filePoint(from) + ", " + followArc(level, walk, move, blocked);
}

void count(MovementReport& report, const Triggers::Move& move, bool blocked)
{
    if (move.type == Triggers::Move::Type::push) {
        ++report.pads;
        report.padsBlocked += blocked;
    } else {
        ++report.teleporters;
        report.teleportersBlocked += blocked;
    }
}

void describeStarts(const std::vector<Entity>& entities, const World& world, MovementReport& report)
{
    std::size_t cameras = 0;
    for (const Entity& entity : entities) {
        float at[3];
        if (!isPlayerStartClass(entity) || !entity.numbers("origin", at, 3))
            continue;
        const std::string& className = *entity.value("classname");
        const Float3 origin = FileAxes::toWorld(at);
        if (entity.hasClass("info_player_intermission")) {
            report.lines.push_back("camera " + std::to_string(++cameras) + " " + className + " at " + filePoint(origin));
            continue;
        }
        std::string line = "start " + std::to_string(++report.starts) + " " + className + " at " + filePoint(origin) + ": ";
        const Float3 standing = origin + Float3{0.0f, world.settings().startLift, 0.0f};
        if (world.inSolid(standing)) {
            ++report.startsInSolid;
            line += "in solid";
        } else if (const std::optional<Float3> floor = floorBelow(world, standing)) {
            line += "clear, falls " + number(double(standing.y - floor->y), "%.0f") + " to the floor";
        } else {
            line += "clear, no floor below";
        }
        report.lines.push_back(line);
    }
}

} // namespace

MovementReport MovementReport::of(const LevelData& level, const std::vector<Entity>& entities)
{
    MovementReport report;
    std::vector<std::string> notices; // the viewer says them; the report is about walking
    World world(level, entities, "", notices);
    if (world.collision().skippedBrushes() > 0)
        report.lines.push_back("collision: " + std::to_string(world.collision().skippedBrushes())
                               + " brushes left out: a side, plane or texture index outside the level, or a "
                                 "plane that is no unit direction");
    describeStarts(entities, world, report);
    Walk walk(world);
    for (const Triggers::Volume& volume : world.triggers().volumes()) {
        const Triggers::Move& move = volume.response.move;
        if (move.type == Triggers::Move::Type::none)
            continue; // hurts, opens doors, or fires nothing that moves a player
        const std::string what = volume.kind == Triggers::Kind::pad        ? "pad *" + std::to_string(volume.model)
                                : volume.kind == Triggers::Kind::teleporter ? "teleporter *" + std::to_string(volume.model)
                                                                            : "trigger *" + std::to_string(volume.model) + " (" + volume.className + ")";
        bool blocked = true;
        report.lines.push_back(describeMove(level, walk, what, move, volume.low, volume.high, blocked));
        count(report, move, blocked);
    }
    for (std::size_t m = 0; m < world.movers().all().size(); ++m) {
        const Triggers::Response* response = world.triggers().buttonResponse(m);
        if (response == nullptr || response->move.type == Triggers::Move::Type::none)
            continue;
        const Movers::Mover& button = world.movers().all()[m];
        bool blocked = true;
        report.lines.push_back(describeMove(level, walk, "button *" + std::to_string(button.model), response->move,
                                            button.low, button.high, blocked));
        count(report, response->move, blocked);
    }
    world.stopWalking();
    return report;
}

std::string MovementReport::summaryLine() const
{
    return "movement: " + std::to_string(starts) + " starts (" + std::to_string(startsInSolid) + " in solid), "
         + std::to_string(pads) + " jump pads (" + std::to_string(padsBlocked) + " blocked), "
         + std::to_string(teleporters) + " teleporters (" + std::to_string(teleportersBlocked) + " blocked)";
}
