#include "inspection/EntityFinder.h"

#include "inspection/Inspection.h"
#include "math/FileAxes.h"
#include "simulation/Triggers.h"
#include "simulation/World.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <sstream>

namespace {

bool contains(std::string_view text, std::string_view part)
{
    const auto same = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
    return std::search(text.begin(), text.end(), part.begin(), part.end(), same) != text.end();
}

// False for a coordinate that is not a number too.
bool withinLimit(Float3 point)
{
    for (int axis = 0; axis < 3; ++axis)
        if (!(std::abs(point[axis]) <= Triggers::worldLimit))
            return false;
    return true;
}

std::string limitInWords()
{
    std::ostringstream text;
    text << std::fixed;
    text.precision(0);
    text << Triggers::worldLimit;
    return text.str();
}

} // namespace

bool EntityFinder::matches(const Entity& entity, std::string_view text)
{
    for (const auto& [key, value] : entity.fields)
        if (contains(key, text) || contains(value, text))
            return true;
    return text.empty();
}

void EntityFinder::find(const std::vector<Entity>& entities, std::string_view text, std::vector<std::size_t>& found)
{
    found.clear();
    for (std::size_t i = 0; i < entities.size(); ++i)
        if (matches(entities[i], text))
            found.push_back(i);
}

void EntityFinder::appendFields(const Entity& entity, std::vector<std::string>& lines)
{
    for (const auto& [key, value] : entity.fields)
        lines.push_back("  \"" + key + "\" \"" + value + "\"");
}

std::optional<EntityFinder::Place> EntityFinder::placeOf(const World& world, const LevelData& level,
                                                         const Entity& entity, std::string& why)
{
    if (const std::optional<std::size_t> model = entity.inlineModel()) {
        if (*model == 0 || *model >= level.models.size()) {
            why = "its model *" + std::to_string(*model) + " is not one of the level's "
                + std::to_string(level.models.size() - std::min<std::size_t>(level.models.size(), 1))
                + " inline models";
            return std::nullopt;
        }
        const Model& box = level.models[*model];
        const Float3 shift = world.modelOffset(*model) + world.collision().modelShift(*model);
        Float3 low, high;
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min(box.mins[axis], box.maxs[axis]) + shift[axis];
            high[axis] = std::max(box.mins[axis], box.maxs[axis]) + shift[axis];
        }
        if (!withinLimit(low) || !withinLimit(high)) {
            why = "its model's box lies beyond " + limitInWords() + " units";
            return std::nullopt;
        }
        return Place{(low + high) * 0.5f, low, high};
    }
    const std::string* written = entity.value("origin");
    float origin[3];
    if (written == nullptr) {
        why = "it has no origin";
        return std::nullopt;
    }
    if (!entity.numbers("origin", origin, 3)) {
        why = "its origin \"" + *written + "\" is not three finite numbers";
        return std::nullopt;
    }
    const Float3 at = FileAxes::toWorld(origin);
    if (!withinLimit(at)) {
        why = "its origin \"" + *written + "\" lies beyond " + limitInWords() + " units";
        return std::nullopt;
    }
    return Place{at, at, at};
}

bool EntityFinder::seen(const World& world, Float3 eye, const Place& place)
{
    const CollisionWorld::Trace sight = world.collision().trace(eye, place.centre, {}, LevelFormat::contentsSolid);
    const float slack = Inspection::sightSlack;
    for (int axis = 0; axis < 3; ++axis)
        if (sight.end[axis] < place.low[axis] - slack || sight.end[axis] > place.high[axis] + slack)
            return false;
    return true;
}

EntityFinder::Visit EntityFinder::looking(Float3 eye, Float3 target)
{
    const Float3 to = target - eye;
    const double across = std::hypot(double(to.x), double(to.z));
    Visit visit{eye, target, 0.0, 0.0};
    visit.heading = across > 0 ? std::atan2(-double(to.z), double(to.x)) * 180.0 / M_PI : 90.0;
    visit.pitch = std::atan2(double(to.y), across) * 180.0 / M_PI;
    return visit;
}

std::optional<Float3> EntityFinder::eyeFor(const World& world, const Place& place, Float3 from)
{
    const WalkSettings& walker = world.settings();
    const Float3 eyeOverOrigin{0.0f, walker.eyeAboveOrigin, 0.0f};
    const double side = std::atan2(double(from.z - place.centre.z), double(from.x - place.centre.x));
    const float reach = std::max(standOff, length(place.high - place.low) * 0.5f + modelMargin);
    // Standing on the floor an item lies on first, then level with it, then below.
    const float standing = walker.feetBelowOrigin + walker.eyeAboveOrigin;
    std::optional<Float3> clearOnly;
    for (const float distance : {reach, reach * 0.5f})
        for (const float height : {standing, 0.0f, -standing})
            for (int turn = 0; turn < 8; ++turn) { // from `side`, alternately either way
                const double angle = side + (turn % 2 == 0 ? 1 : -1) * ((turn + 1) / 2) * M_PI / 4;
                const Float3 eye = place.centre
                                 + Float3{float(std::cos(angle)) * distance, height, float(std::sin(angle)) * distance};
                if (world.inSolid(eye - eyeOverOrigin))
                    continue;
                if (seen(world, eye, place))
                    return eye;
                clearOnly = clearOnly ? clearOnly : eye;
            }
    if (const std::optional<Float3> spot = world.clearSpotNear(place.centre - eyeOverOrigin, walker.clearSearch))
        return *spot + eyeOverOrigin;
    return clearOnly;
}

std::optional<EntityFinder::Visit> EntityFinder::visit(const World& world, const LevelData& level,
                                                       const Entity& entity, Float3 from, std::string& why)
{
    const std::optional<Place> place = placeOf(world, level, entity, why);
    if (!place)
        return std::nullopt;
    if (const std::optional<Float3> eye = eyeFor(world, *place, from))
        return looking(*eye, place->centre);
    why = "no clear spot near it";
    return std::nullopt;
}
