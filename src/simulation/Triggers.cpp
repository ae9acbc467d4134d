#include "simulation/Triggers.h"

#include "math/FileAxes.h"
#include "simulation/Movers.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <map>

namespace {

bool withinLimit(const float values[3])
{
    for (int i = 0; i < 3; ++i)
        if (!(std::abs(values[i]) <= Triggers::worldLimit))
            return false;
    return true;
}

bool inRange(int64_t first, int64_t count, std::size_t size)
{
    return first >= 0 && count >= 0 && first + count <= int64_t(size);
}

bool isRelay(const Entity& entity)
{
    return entity.hasClass("target_relay") || entity.hasClass("trigger_relay") || entity.hasClass("target_delay");
}

// Any trigger_* class, in any case: the class, not the brushes' contents, makes a touch volume.
bool isTriggerClass(const Entity& entity)
{
    static constexpr char prefix[] = "trigger_";
    const std::string* name = entity.value("classname");
    if (name == nullptr || name->size() <= sizeof prefix - 1)
        return false;
    for (std::size_t i = 0; i + 1 < sizeof prefix; ++i)
        if (std::tolower(static_cast<unsigned char>((*name)[i])) != prefix[i])
            return false;
    return true;
}

} // namespace

// Every entity by its targetname, in file order, and what each relay passes on.
struct Triggers::Names {
    std::map<std::string, std::vector<const Entity*>> named;
    std::multimap<std::string, std::string> relays;

    explicit Names(const std::vector<Entity>& entities)
    {
        for (const Entity& entity : entities) {
            const std::string* name = entity.value("targetname");
            if (name == nullptr)
                continue;
            named[*name].push_back(&entity);
            const std::string* passedOn = entity.value("target");
            if (passedOn != nullptr && isRelay(entity))
                relays.emplace(*name, *passedOn);
        }
    }

    const Entity* first(const std::string& name) const
    {
        const auto found = named.find(name);
        return found == named.end() ? nullptr : found->second.front();
    }

    // `target` and the names relays pass it on to, each once, at most maxRelayNames: neither a
    // loop of relays nor a long chain keeps the load busy.
    std::vector<std::string> reachedFrom(const std::string& target) const
    {
        std::vector<std::string> names{target};
        for (std::size_t next = 0; next < names.size() && names.size() < maxRelayNames; ++next) {
            const auto [begin, end] = relays.equal_range(names[next]);
            for (auto relay = begin; relay != end && names.size() < maxRelayNames; ++relay)
                if (std::find(names.begin(), names.end(), relay->second) == names.end())
                    names.push_back(relay->second);
        }
        return names;
    }
};

Triggers::Triggers(const LevelData& level, const std::vector<Entity>& entities, const std::vector<Float3>& offsets,
                   Movers& movers, const std::string& levelName, std::vector<std::string>& notices)
    : volumeOfModel(level.models.size(), -1), buttons(movers.all().size())
{
    const Names names(entities);
    for (std::size_t e = 0; e < entities.size(); ++e) {
        const std::optional<std::size_t> model = entities[e].inlineModel();
        if (model && *model > 0 && *model < level.models.size() && volumeOfModel[*model] < 0
            && isTriggerClass(entities[e]))
            addVolume(level, entities[e], e, *model, offsets, names, movers);
    }
    nextFiring.assign(volumeList.size(), 0.0);
    for (std::size_t m = 0; m < movers.all().size(); ++m) {
        const Movers::Mover& mover = movers.all()[m];
        if (mover.kind != Movers::Kind::button || mover.still)
            continue;
        buttons[m] = fired(mover.target.empty() ? nullptr : &mover.target, names, movers);
        if (buttons[m].doors.empty() && buttons[m].move.type == Move::Type::none)
            movers.keepAtRest(m,
                              mover.target.empty() ? std::string("it has no target")
                                                   : "its target \"" + mover.target + "\" names no door, push or teleporter",
                              levelName, notices);
    }
}

void Triggers::addVolume(const LevelData& level, const Entity& entity, std::size_t index, std::size_t model,
                         const std::vector<Float3>& offsets, const Names& names, Movers& movers)
{
    Volume volume;
    volume.model = model;
    volume.entity = index;
    volume.className = *entity.value("classname");
    const std::string* target = entity.value("target");
    if (entity.hasClass("trigger_push")) {
        volume.kind = Kind::pad;
        volume.response.move = moveTo(Move::Type::push, target, names);
    } else if (entity.hasClass("trigger_teleport")) {
        volume.kind = Kind::teleporter;
        volume.response.move = moveTo(Move::Type::teleport, target, names);
    } else if (entity.hasClass("trigger_hurt")) {
        volume.kind = Kind::hurt;
    } else {
        volume.kind = Kind::fires;
        volume.once = entity.hasClass("trigger_once");
        float wait = defaultWait;
        entity.numbers("wait", &wait, 1);
        volume.wait = std::isfinite(wait) && wait > 0.0f ? std::min(wait, 3600.0f) : 0.0f;
        volume.response = fired(target, names, movers);
    }
    const Float3 offset = model < offsets.size() ? offsets[model] : Float3{};
    const Model& record = level.models[model];
    for (int axis = 0; axis < 3; ++axis) {
        volume.low[axis] = std::fmin(record.mins[axis], record.maxs[axis]) + offset[axis];
        volume.high[axis] = std::fmax(record.mins[axis], record.maxs[axis]) + offset[axis];
    }
    addSolids(level, record, offset, volume);
    volumeOfModel[model] = int32_t(volumeList.size());
    volumeList.push_back(std::move(volume));
}

// The model's brushes as convex solids, moved by `offset`; a brush with an index outside the
// level is left out.
void Triggers::addSolids(const LevelData& level, const Model& model, Float3 offset, Volume& volume)
{
    volume.firstSolid = uint32_t(solids.size());
    if (inRange(model.firstBrush, model.brushCount, level.brushes.size())) {
        for (int32_t b = model.firstBrush; b < model.firstBrush + model.brushCount; ++b) {
            const uint32_t first = uint32_t(planes.size());
            if (HalfSpace::appendBrush(level, b, offset, planes))
                solids.push_back({first, uint32_t(planes.size()) - first});
        }
    }
    volume.solidCount = uint32_t(solids.size()) - volume.firstSolid;
}

// Where a push or teleport named `target` sends the player, or why it sends no one.
Triggers::Move Triggers::moveTo(Move::Type type, const std::string* target, const Names& names)
{
    Move move;
    move.type = type;
    if (target == nullptr) {
        move.problem = "has no target";
        return move;
    }
    move.targetName = *target;
    const Entity* found = names.first(*target);
    float at[3];
    if (found == nullptr)
        move.problem = "names target \"" + *target + "\", which no entity is";
    else if (!found->numbers("origin", at, 3))
        move.problem = "names target \"" + *target + "\", whose origin is not three numbers";
    else if (!withinLimit(at))
        move.problem = "names target \"" + *target + "\", which lies beyond 1e6 units";
    if (!move.problem.empty())
        return move;
    move.to = FileAxes::toWorld(at);
    float angle = 0.0f;
    if (found->numbers("angle", &angle, 1))
        move.heading = angle;
    return move;
}

// What firing the names `target` reaches does: every door among them opens (and from then on
// opens only so); the first target_push or target_teleporter moves whoever fired it.
Triggers::Response Triggers::fired(const std::string* target, const Names& names, Movers& movers) const
{
    Response response;
    if (target == nullptr)
        return response;
    for (const std::string& name : names.reachedFrom(*target)) {
        const auto found = names.named.find(name);
        if (found == names.named.end())
            continue;
        for (const Entity* entity : found->second) {
            const std::optional<std::size_t> model = entity->inlineModel();
            const std::optional<std::size_t> mover = model ? movers.indexOfModel(*model) : std::nullopt;
            if (mover && movers.all()[*mover].kind == Movers::Kind::door) {
                response.doors.push_back(*mover);
                movers.openOnlyWhenFired(*mover);
            } else if (response.move.type == Move::Type::none) {
                if (entity->hasClass("target_push"))
                    response.move = moveTo(Move::Type::push, entity->value("target"), names);
                else if (entity->hasClass("target_teleporter"))
                    response.move = moveTo(Move::Type::teleport, entity->value("target"), names);
            }
        }
    }
    return response;
}

// ---- touching -----------------------------------------------------------------------------------

bool Triggers::touches(const Volume& volume, Float3 low, Float3 high) const
{
    for (int axis = 0; axis < 3; ++axis)
        if (volume.low[axis] > high[axis] || volume.high[axis] < low[axis])
            return false; // a box that is not a number is never rejected here, and tested below
    for (uint32_t s = volume.firstSolid; s < volume.firstSolid + volume.solidCount; ++s) {
        const Solid& solid = solids[s];
        bool overlaps = true;
        for (uint32_t p = solid.firstPlane; p < solid.firstPlane + solid.planeCount && overlaps; ++p)
            overlaps = dot(HalfSpace::backCorner(planes[p].normal, low, high), planes[p].normal) <= planes[p].distance;
        if (overlaps)
            return true;
    }
    return false;
}

Triggers::Touched Triggers::touch(Float3 low, Float3 high, double seconds, Movers& movers, bool flying)
{
    Touched touched;
    for (std::size_t v = 0; v < volumeList.size(); ++v) {
        const Volume& volume = volumeList[v];
        if (!touches(volume, low, high))
            continue;
        if (flying) {
            for (const std::size_t door : volume.response.doors)
                movers.open(door);
            continue;
        }
        if (volume.kind == Kind::hurt) {
            touched.hurt = true;
            continue;
        }
        if (volume.kind == Kind::fires) {
            if (seconds < nextFiring[v])
                continue;
            nextFiring[v] = volume.once ? std::numeric_limits<double>::infinity() : seconds + volume.wait;
            for (const std::size_t door : volume.response.doors)
                movers.open(door);
        }
        if (touched.move == nullptr && volume.response.move.works()) {
            touched.move = &volume.response.move;
            touched.movedBy = volume.model;
        }
    }
    return touched;
}

const Triggers::Response* Triggers::buttonResponse(std::size_t mover) const
{
    if (mover >= buttons.size() || (buttons[mover].doors.empty() && buttons[mover].move.type == Move::Type::none))
        return nullptr;
    return &buttons[mover];
}

const Triggers::Move* Triggers::pressButton(std::size_t mover, Movers& movers) const
{
    const Response* response = buttonResponse(mover);
    if (response == nullptr)
        return nullptr;
    for (const std::size_t door : response->doors)
        movers.open(door);
    return response->move.works() ? &response->move : nullptr;
}
