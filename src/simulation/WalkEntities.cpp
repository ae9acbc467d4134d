#include "simulation/WalkEntities.h"

#include <cmath>
#include <map>
#include <optional>

namespace {

Float3 worldPoint(const float file[3])
{
    return {file[0], file[2], -file[1]};
}

bool isSpawnClass(const Entity& entity)
{
    const std::string* name = entity.value("classname");
    if (!name)
        return false;
    const std::string& c = *name;
    if (c.rfind("info_player_", 0) == 0)
        return c != "info_player_intermission";
    return c.rfind("team_", 0) == 0 && c.find("spawn") != std::string::npos;
}

bool withinLimit(const float values[3])
{
    for (int i = 0; i < 3; ++i) {
        if (!(std::abs(values[i]) <= WalkEntities::worldLimit))
            return false;
    }
    return true;
}

} // namespace

const char* WalkEntities::className(Kind kind)
{
    switch (kind) {
    case Kind::pad: return "trigger_push";
    case Kind::teleporter: return "trigger_teleport";
    default: return "trigger_hurt";
    }
}

WalkEntities::WalkEntities(const std::vector<Entity>& entities, std::size_t modelCount) : offsets(modelCount)
{
    std::map<std::string, const Entity*> named;
    for (const Entity& entity : entities) {
        const std::string* name = entity.value("targetname");
        if (name && !named.count(*name))
            named.emplace(*name, &entity);
    }
    for (const Entity& entity : entities) {
        float origin[3];
        const bool hasOrigin = entity.numbers("origin", origin, 3) && withinLimit(origin);
        if (isSpawnClass(entity) && hasOrigin) {
            float angle = 0.0f;
            entity.numbers("angle", &angle, 1);
            startList.push_back({*entity.value("classname"), worldPoint(origin), angle});
        }
        const std::optional<std::size_t> model = entity.inlineModel();
        if (!model || *model == 0 || *model >= modelCount)
            continue;
        if (hasOrigin)
            offsets[*model] = worldPoint(origin);
        Trigger trigger;
        trigger.model = *model;
        if (entity.hasClass("trigger_push"))
            trigger.kind = Kind::pad;
        else if (entity.hasClass("trigger_teleport"))
            trigger.kind = Kind::teleporter;
        else if (entity.hasClass("trigger_hurt"))
            trigger.kind = Kind::hurt;
        else
            continue;
        if (trigger.kind != Kind::hurt) {
            const std::string* target = entity.value("target");
            trigger.targetName = target ? *target : "";
            const auto found = named.find(trigger.targetName);
            float at[3];
            float angle = 0.0f;
            if (!target)
                trigger.problem = "has no target";
            else if (found == named.end())
                trigger.problem = "names target \"" + *target + "\", which no entity is";
            else if (!found->second->numbers("origin", at, 3))
                trigger.problem = "names target \"" + *target + "\", whose origin is not three numbers";
            else if (!withinLimit(at))
                trigger.problem = "names target \"" + *target + "\", which lies beyond 1e6 units";
            else {
                trigger.target = worldPoint(at);
                if (found->second->numbers("angle", &angle, 1))
                    trigger.targetHeading = angle;
            }
        }
        triggerList.push_back(trigger);
    }
}
