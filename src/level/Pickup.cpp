#include "level/Pickup.h"

#include "files/RelativePath.h"
#include "math/FileAxes.h"

#include <string>

namespace {
bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

std::string lowerClass(const Entity& entity)
{
    const std::string* value = entity.value("classname");
    return RelativePath::lowerCase(value ? *value : "");
}
} // namespace

std::optional<Pickup::Family> Pickup::familyOf(const Entity& entity)
{
    const std::string name = lowerClass(entity);
    if (startsWith(name, "weapon_"))
        return Family::weapon;
    if (startsWith(name, "ammo_"))
        return Family::ammunition;
    if (startsWith(name, "item_armor") || startsWith(name, "item_armour"))
        return Family::armour;
    if (startsWith(name, "item_health"))
        return Family::health;
    if (startsWith(name, "item_") || startsWith(name, "holdable_"))
        return Family::powerup;
    if (startsWith(name, "team_") && name.find("flag") != std::string::npos)
        return Family::flag;
    return std::nullopt;
}

std::array<unsigned char, 3> Pickup::colour(Family family)
{
    switch (family) {
    case Family::weapon: return {255, 140, 30};     // orange
    case Family::ammunition: return {40, 200, 200}; // teal
    case Family::armour: return {230, 180, 20};     // gold
    case Family::health: return {255, 90, 120};     // pink
    case Family::powerup: return {170, 80, 255};    // violet
    case Family::flag: break;
    }
    return {250, 250, 250}; // a flag of no team
}

std::vector<Pickup> Pickup::list(const std::vector<Entity>& entities)
{
    std::vector<Pickup> pickups;
    for (const Entity& entity : entities) {
        const std::optional<Family> family = familyOf(entity);
        float origin[3];
        if (!family || entity.inlineModel() || !entity.numbers("origin", origin, 3))
            continue;
        Pickup pickup;
        pickup.family = *family;
        const Float3 position = FileAxes::toWorld(origin);
        pickup.position = Vec3(position.x, position.y, position.z);
        pickup.shown = colour(*family);
        const std::string name = lowerClass(entity);
        if (*family == Family::flag && name.find("red") != std::string::npos)
            pickup.shown = {230, 30, 30};
        else if (*family == Family::flag && name.find("blue") != std::string::npos)
            pickup.shown = {40, 90, 255};
        pickups.push_back(pickup);
    }
    return pickups;
}
