#include "level/PointMarker.h"

#include "files/RelativePath.h"
#include "level/Pickup.h"
#include "math/FileAxes.h"

#include <string>

PointMarker::Family PointMarker::familyOf(const Entity& entity)
{
    if (isPlayerStartClass(entity))
        return Family::playerStart;
    const std::string* value = entity.value("classname");
    const std::string className = RelativePath::lowerCase(value ? *value : "");
    if (className.rfind("light", 0) == 0)
        return Family::light;
    if (className.find("teleport") != std::string::npos && className.find("dest") != std::string::npos)
        return Family::teleportDestination;
    return Family::other;
}

std::array<unsigned char, 3> PointMarker::colour(Family family)
{
    switch (family) {
    case Family::playerStart: return {60, 220, 80};           // green
    case Family::light: return {255, 225, 60};                // yellow
    case Family::teleportDestination: return {235, 70, 235}; // magenta
    case Family::other: break;
    }
    return {200, 200, 200}; // grey
}

std::vector<PointMarker> PointMarker::list(const std::vector<Entity>& entities)
{
    std::vector<PointMarker> markers;
    for (const Entity& entity : entities) {
        float origin[3];
        if (entity.hasClass("worldspawn") || entity.inlineModel() || Pickup::familyOf(entity)
            || !entity.numbers("origin", origin, 3))
            continue;
        PointMarker marker;
        marker.family = familyOf(entity);
        const Float3 position = FileAxes::toWorld(origin);
        marker.position = Vec3(position.x, position.y, position.z);
        if (!entity.numbers("angle", &marker.heading, 1))
            marker.heading = 0;
        markers.push_back(marker);
    }
    return markers;
}
