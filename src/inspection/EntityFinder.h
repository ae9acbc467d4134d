#pragma once

#include "level/EntityText.h"
#include "level/LevelData.h"
#include "math/Float3.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class World;

// Which of a level's entities a text names, and where an eye stands to see one (level mode's
// search line, levelinfo's --entities). A text names an entity when it lies, in any case,
// within one of its keys or values: the class, targetname and target among them.
class EntityFinder {
public:
    // Units an eye stands back from what it is taken to see, at least; farther from a large model.
    static constexpr float standOff = 96;
    // Of a model's box, the eye keeps this far beyond its farthest corner from the centre.
    static constexpr float modelMargin = 48;

    // An empty text names every entity. Allocates nothing.
    static bool matches(const Entity& entity, std::string_view text);
    // The indices of the entities `text` names, in file order, into `found` (emptied first).
    static void find(const std::vector<Entity>& entities, std::string_view text, std::vector<std::size_t>& found);
    // `"key" "value"`, one line a field in file order, as the entity text writes them.
    static void appendFields(const Entity& entity, std::vector<std::string>& lines);

    // World coordinates (Y up); the heading as a start's (degrees about the file's Z from its +X),
    // the pitch up positive.
    struct Visit {
        Float3 eye;
        Float3 target; // the origin, or the centre of the model's box where it stands now
        double heading = 0;
        double pitch = 0;
    };
    // Where an eye sees `entity` of `level` (whose world is `world`): a spot where a standing
    // player's box is clear, nearest first at a few distances and heights around the target,
    // starting on the side of `from`, from which nothing solid hides the target; else any clear
    // spot near it. None, with `why` set to one line ("its origin ... is not three finite
    // numbers"), when the entity has no readable place within the world's limit or no clear
    // spot is near it.
    static std::optional<Visit> visit(const World& world, const LevelData& level, const Entity& entity, Float3 from,
                                      std::string& why);

private:
    struct Place {
        Float3 centre;
        Float3 low, high; // what the line of sight may stop in
    };
    static std::optional<Place> placeOf(const World& world, const LevelData& level, const Entity& entity,
                                         std::string& why);
    static bool seen(const World& world, Float3 eye, const Place& place);
    static std::optional<Float3> eyeFor(const World& world, const Place& place, Float3 from);
    static Visit looking(Float3 eye, Float3 target);
};
