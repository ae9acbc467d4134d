#include "EntityText.h"

#include "LevelBuilder.h"
#include "PlanEntities.h"
#include "PlanLights.h"
#include "Shapes.h"

#include <cmath>
#include <sstream>
#include <utility>
#include <vector>

namespace {

// Entity values are quoted and cannot hold a quote or a line break.
std::string quotable(const std::string& text)
{
    std::string result;
    for (const char c : text)
        result += (c == '"' || c == '\n' || c == '\r') ? '_' : c;
    return result;
}

void pair(std::ostringstream& text, const std::string& key, const std::string& value)
{
    text << '"' << key << "\" \"" << quotable(value) << "\"\n";
}

std::string triple(long x, long y, long z)
{
    return std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(z);
}

using Keys = std::vector<std::pair<std::string, std::string>>;

void block(std::ostringstream& text, const Keys& keys)
{
    text << "{\n";
    for (const auto& [key, value] : keys)
        pair(text, key, value);
    text << "}\n";
}

// Origins stay whole units: a box's middle is rounded down.
long middle(int low, int high)
{
    return static_cast<long>(std::floor((static_cast<double>(low) + high) / 2));
}

// A shape's entity and those it fires, named after its model number N so that no two shapes'
// names meet: "targetN" where the player is sent, "pushN" the push that throws them there,
// "relayN" what a button fires. A push with a target throws whoever fired it so that the arc's
// top is the target, and a trigger or button fires it for whoever touched them.
void shapeEntities(std::ostringstream& text, const PlanShape& shape, int model)
{
    const std::string number = std::to_string(model);
    const std::string modelName = "*" + number;
    const std::string target = "target" + number;
    const std::string push = "push" + number;
    const std::string relay = "relay" + number;
    const std::string destination = triple(shape.target[0], shape.target[1], shape.target[2]);
    switch (shape.kind) {
    case ShapeKind::hurt:
        block(text, {{"classname", "trigger_hurt"}, {"model", modelName}, {"dmg", "5"}});
        return;
    case ShapeKind::pad:
        block(text, {{"classname", "trigger_push"}, {"model", modelName}, {"target", target}});
        break;
    case ShapeKind::teleporter:
        block(text, {{"classname", "trigger_teleport"}, {"model", modelName}, {"target", target}});
        block(text, {{"classname", "misc_teleporter_dest"}, {"targetname", target}, {"origin", destination},
                     {"angle", std::to_string(shape.angle)}});
        return;
    case ShapeKind::trigger: {
        const std::string centre = triple(middle(shape.low[0], shape.high[0]), middle(shape.low[1], shape.high[1]),
                                          middle(shape.low[2], shape.high[2]));
        block(text, {{"classname", "trigger_multiple"}, {"model", modelName}, {"target", push}});
        block(text, {{"classname", "target_push"}, {"targetname", push}, {"target", target}, {"origin", centre}});
        break;
    }
    case ShapeKind::button: {
        // It presses down into the floor it lies on, as far as it is high less the lip.
        const std::string top = triple(middle(shape.low[0], shape.high[0]), middle(shape.low[1], shape.high[1]),
                                       shape.high[2]);
        block(text, {{"classname", "func_button"}, {"model", modelName}, {"angle", "-2"}, {"lip", "4"},
                     {"target", relay}});
        block(text, {{"classname", "target_relay"}, {"targetname", relay}, {"target", push}, {"origin", top}});
        block(text, {{"classname", "target_push"}, {"targetname", push}, {"target", target}, {"origin", top}});
        break;
    }
    default:
        return;
    }
    block(text, {{"classname", "target_position"}, {"targetname", target}, {"origin", destination}});
}

} // namespace

FilePoint startOrigin(const Plan& plan)
{
    const WorldPosition eye = startPosition(plan);
    return {eye.x, -eye.z, eye.y - startEyeLift};
}

std::string entityText(const Plan& plan)
{
    std::ostringstream text;
    text << "{\n";
    pair(text, "classname", "worldspawn");
    pair(text, "message", plan.title.empty() ? plan.name : plan.title);
    text << "}\n{\n";
    const FilePoint start = startOrigin(plan);
    pair(text, "classname", "info_player_deathmatch");
    pair(text, "origin", triple(start.x, start.y, start.z));
    pair(text, "angle", std::to_string(plan.startAngle));
    text << "}\n";
    for (const LightSource& light : lightSources(plan)) {
        text << "{\n";
        pair(text, "classname", "light");
        pair(text, "origin", triple(std::lround(light.position.x), std::lround(light.position.y),
                                    std::lround(light.position.z)));
        pair(text, "light", std::to_string(lightIntensity));
        pair(text, "_color", light.colourText);
        text << "}\n";
    }
    for (const PlanBrushEntity& brush : planBrushEntities(plan)) {
        text << "{\n";
        pair(text, "classname", brush.className);
        pair(text, "model", "*" + std::to_string(brush.model));
        if (brush.placed)
            pair(text, "origin", triple(std::lround(brush.origin.x), std::lround(brush.origin.y),
                                        std::lround(brush.origin.z)));
        for (const auto& [key, value] : brush.keys)
            pair(text, key, value);
        if (brush.kind != BrushKind::train) {
            text << "}\n";
            continue;
        }
        const std::string path = "train" + std::to_string(brush.model) + "_";
        pair(text, "target", path + "0");
        text << "}\n";
        const std::vector<Vector3> corners = trainCorners(plan, brush.cell);
        for (size_t c = 0; c < corners.size(); ++c) {
            text << "{\n";
            pair(text, "classname", "path_corner");
            pair(text, "targetname", path + std::to_string(c));
            pair(text, "target", path + std::to_string((c + 1) % corners.size()));
            pair(text, "origin", triple(std::lround(corners[c].x), std::lround(corners[c].y), std::lround(corners[c].z)));
            text << "}\n";
        }
    }
    // The shapes' entities are the models after the cells' brush entities, in plan order.
    int model = static_cast<int>(planBrushEntities(plan).size());
    for (const PlanShape& shape : plan.shapes) {
        if (isModelShape(shape.kind))
            shapeEntities(text, shape, ++model);
    }
    for (const PlanPointEntity& point : planPointEntities(plan)) {
        text << "{\n";
        pair(text, "classname", point.className);
        pair(text, "origin", triple(std::lround(point.origin.x), std::lround(point.origin.y),
                                    std::lround(point.origin.z)));
        if (point.angle)
            pair(text, "angle", std::to_string(*point.angle));
        text << "}\n";
    }
    return text.str();
}
