#pragma once

#include "math/Float3.h"
#include "level/EntityText.h"

#include <cstddef>
#include <string>
#include <vector>

// The entities a walking player meets: where players start (every spawn class), and the
// trigger volumes (inline models) that act on whoever touches them: jump pads (trigger_push),
// teleporters (trigger_teleport) and hurt volumes (trigger_hurt). A pad's or teleporter's
// target is found by its "target" key among the entities' "targetname"s, whatever the
// target's class. A trigger whose target is missing, unreadable or absurdly far (beyond
// worldLimit) keeps its place in the list with the reason in `problem` and does nothing.
// Positions are world coordinates (file Z up becomes Y up); headings are degrees
// counterclockwise from the file's +X seen from above, as Camera::heading.
class WalkEntities {
public:
    static constexpr float worldLimit = 1.0e6f;

    enum class Kind { pad, teleporter, hurt };

    struct Trigger {
        Kind kind = Kind::pad;
        std::size_t model = 0;  // inline model index, 1 and up, within the level's models
        std::string targetName; // the "target" key; "" when there is none
        Float3 target;          // where the target stands (valid when problem is empty)
        double targetHeading = 0; // a teleporter destination's "angle"; 0 when absent
        std::string problem;    // why the trigger does nothing; "" when it works
    };

    struct Start {
        std::string className;
        Float3 origin;
        double heading = 0;
    };

    // `modelCount`: the level's models; a trigger naming one beyond them is left out.
    WalkEntities(const std::vector<Entity>& entities, std::size_t modelCount);

    const std::vector<Trigger>& triggers() const { return triggerList; }
    const std::vector<Start>& starts() const { return startList; }
    // By model: where its entity's "origin" puts its brushes (zero when it has none).
    const std::vector<Float3>& modelOffsets() const { return offsets; }

    static const char* className(Kind kind);

private:
    std::vector<Trigger> triggerList;
    std::vector<Start> startList;
    std::vector<Float3> offsets;
};
