#include "EntityText.h"

#include "LevelBuilder.h"
#include "PlanEntities.h"
#include "PlanLights.h"
#include "Shapes.h"

#include <cmath>
#include <sstream>

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
    // The shapes' triggers are the models after the cells' brush entities; each pad or
    // teleporter names its own target.
    int model = static_cast<int>(planBrushEntities(plan).size());
    for (const PlanShape& shape : plan.shapes) {
        if (!isTriggerShape(shape.kind))
            continue;
        ++model;
        const std::string target = "target" + std::to_string(model);
        text << "{\n";
        pair(text, "classname", shape.kind == ShapeKind::pad          ? "trigger_push"
                                : shape.kind == ShapeKind::teleporter ? "trigger_teleport"
                                                                      : "trigger_hurt");
        pair(text, "model", "*" + std::to_string(model));
        if (shape.kind == ShapeKind::hurt) {
            pair(text, "dmg", "5");
            text << "}\n";
            continue;
        }
        pair(text, "target", target);
        text << "}\n{\n";
        pair(text, "classname", shape.kind == ShapeKind::pad ? "target_position" : "misc_teleporter_dest");
        pair(text, "targetname", target);
        pair(text, "origin", triple(shape.target[0], shape.target[1], shape.target[2]));
        if (shape.kind == ShapeKind::teleporter)
            pair(text, "angle", std::to_string(shape.angle));
        text << "}\n";
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
