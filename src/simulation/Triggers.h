#pragma once

#include "level/EntityText.h"
#include "level/LevelData.h"
#include "math/Float3.h"
#include "simulation/HalfSpace.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class Movers;

// The level's one trigger system: which volumes a player's box touches, and what a volume or a
// pressed button sets off. Compilers write the brushes of trigger_* models as solid; the
// entity's class, not the record, says that they are touch volumes, so they are held here and
// never block. A volume fires while the box overlaps one of its brushes (touching counts).
//
// - trigger_push throws the player so that the arc's top is its target's origin (any class);
//   trigger_teleport sends it to its target's origin, facing the target's angle; trigger_hurt
//   hurts while touched.
// - trigger_multiple (again after its wait) and trigger_once (once), like a pressed func_button,
//   fire the names their target reaches, directly or through relays (target_relay,
//   trigger_relay, target_delay, whose delay is not kept): a func_door opens (and then opens only
//   so), a target_push throws whoever fired it to its own target's origin, a target_teleporter
//   sends it to its target.
//
// A trigger whose target is missing, unreadable or absurdly far keeps its place with the reason
// in its move's `problem`. World coordinates (Y up); headings are degrees counterclockwise from
// the file's +X seen from above. Built once per level; touch() allocates nothing.
class Triggers {
public:
    static constexpr float worldLimit = 1.0e6f;       // units; a target beyond is refused
    static constexpr std::size_t maxRelayNames = 64;  // names a target reaches, itself included
    static constexpr float defaultWait = 0.5f;        // seconds between a trigger_multiple's firings

    enum class Kind { pad, teleporter, hurt, fires };

    // How firing moves whoever fired it.
    struct Move {
        enum class Type { none, push, teleport };
        Type type = Type::none; // what it is meant to do
        Float3 to;              // push: the arc's top; teleport: where the player's origin goes
        double heading = 0;     // teleport: the view's heading after it
        std::string targetName; // what the trigger names; "" when it names nothing
        std::string problem;    // why it moves no one; "" when it works
        bool works() const { return type != Type::none && problem.empty(); }
    };

    // What one firing does.
    struct Response {
        std::vector<std::size_t> doors; // into Movers::all()
        Move move;
    };

    struct Volume {
        Kind kind = Kind::pad;
        std::size_t model = 0;  // inline model, 1 and up
        std::size_t entity = 0; // its entity's index
        std::string className;
        Float3 low, high;       // its model's box where it stands (world, each axis sorted)
        Response response;
        bool once = false;      // trigger_once
        float wait = 0.0f;      // seconds before it fires again (trigger_multiple)
        uint32_t firstSolid = 0;
        uint32_t solidCount = 0;
    };

    // `entities`: the level's, parsed; `offsets` by model: where its entity's origin puts its
    // brushes. Doors that a trigger or button names are marked in `movers` as opened only so, and
    // a button that fires nothing is left at rest, with one line in `notices` naming `levelName`.
    Triggers(const LevelData& level, const std::vector<Entity>& entities, const std::vector<Float3>& offsets,
             Movers& movers, const std::string& levelName, std::vector<std::string>& notices);

    const std::vector<Volume>& volumes() const { return volumeList; }
    // Whether the box from `low` to `high` overlaps a brush of the volume.
    bool touches(const Volume& volume, Float3 low, Float3 high) const;
    // The sides of the volume's brush `solid` (below its solidCount), moved where the volume stands.
    struct Sides {
        const HalfSpace* first;
        std::size_t count;
    };
    Sides sidesOf(const Volume& volume, std::size_t solid) const
    {
        const Solid& brush = solids[volume.firstSolid + solid];
        return {planes.data() + brush.firstPlane, brush.planeCount};
    }
    // Whether the model's brushes are a touch volume here, not a solid.
    bool isVolume(std::size_t model) const { return model < volumeOfModel.size() && volumeOfModel[model] >= 0; }

    // What the box from `low` to `high` sets off at `seconds` of play: doors open in `movers`
    // at once; the first move (in file order) and whether a hurt volume is touched are returned.
    // A flying eye's box only opens doors: it spends no trigger_once and waits out no wait.
    struct Touched {
        const Move* move = nullptr;
        std::size_t movedBy = 0; // the model of the volume whose move it is
        bool hurt = false;
    };
    Touched touch(Float3 low, Float3 high, double seconds, Movers& movers, bool flying = false);
    // The button `mover` (an index of Movers::all()) was pressed: its doors open; its move, if any.
    const Move* pressButton(std::size_t mover, Movers& movers) const;
    // What the button `mover` fires; null for a mover that is not a button, or fires nothing.
    const Response* buttonResponse(std::size_t mover) const;

private:
    struct Solid {
        uint32_t firstPlane;
        uint32_t planeCount;
    };
    struct Names; // targetnames and relays, while building

    void addVolume(const LevelData& level, const Entity& entity, std::size_t index, std::size_t model,
                   const std::vector<Float3>& offsets, const Names& names, Movers& movers);
    void addSolids(const LevelData& level, const Model& model, Float3 offset, Volume& volume);
    static Move moveTo(Move::Type type, const std::string* target, const Names& names);
    Response fired(const std::string* target, const Names& names, Movers& movers) const;

    std::vector<Volume> volumeList;
    std::vector<int32_t> volumeOfModel;   // model to index into volumeList, -1 for none
    std::vector<double> nextFiring;       // by volume: the earliest time it fires again
    std::vector<HalfSpace> planes;
    std::vector<Solid> solids;
    std::vector<Response> buttons;        // by mover; empty for movers that are not buttons
};
