#include "PlanEntities.h"

#include <algorithm>
#include <cmath>

namespace {

Vector3 cellCentre(const Plan& plan, GridPosition cell, float height)
{
    const float size = static_cast<float>(plan.cellSize);
    return {(static_cast<float>(cell.column) + 0.5f) * size,
            (static_cast<float>(plan.rows - 1 - cell.row) + 0.5f) * size, height};
}

} // namespace

int fanDepth(const Plan& plan)
{
    return std::max(16, plan.height / 4);
}

std::vector<PlanBrushEntity> planBrushEntities(const Plan& plan)
{
    std::vector<PlanBrushEntity> entities;
    for (int row = 0; row < plan.rows; ++row) {
        for (int column = 0; column < plan.columns; ++column) {
            PlanBrushEntity entity;
            entity.cell = {column, row};
            switch (plan.at(column, row)) {
            case Cell::Door:
                entity.kind = BrushKind::door;
                entity.className = "func_door";
                // It slides into the wall beside it: east when walls stand east and west, else north.
                entity.keys = {{"angle", plan.isOpen(column - 1, row) ? "90" : "0"}};
                break;
            case Cell::Bobbing:
                entity.kind = BrushKind::bobbing;
                entity.className = "func_bobbing";
                entity.keys = {{"height", "24"}, {"speed", "4"}};
                break;
            case Cell::Train:
                entity.kind = BrushKind::train;
                entity.className = "func_train";
                entity.keys = {{"speed", "40"}};
                break;
            case Cell::Lift:
                entity.kind = BrushKind::lift;
                entity.className = "func_plat";
                break;
            case Cell::Fan:
                entity.kind = BrushKind::fan;
                entity.className = "func_rotating";
                entity.placed = true;
                // Whole units, as the entity text writes it: the faces move by exactly what it says.
                entity.origin = cellCentre(plan, entity.cell, static_cast<float>(plan.height - fanDepth(plan)));
                entity.origin = {std::round(entity.origin.x), std::round(entity.origin.y), entity.origin.z};
                break;
            default:
                continue;
            }
            entity.model = static_cast<int>(entities.size()) + 1;
            entities.push_back(entity);
        }
    }
    return entities;
}

std::vector<Vector3> trainCorners(const Plan& plan, GridPosition cell)
{
    const Vector3 middle = cellCentre(plan, cell, static_cast<float>(plan.height) / 3);
    const float reach = std::round(static_cast<float>(plan.cellSize) * 0.3f);
    const float half = trainBlockSide / 2;
    const float x = std::round(middle.x) - half, y = std::round(middle.y) - half, z = std::round(middle.z) - half;
    return {{x - reach, y - reach, z}, {x + reach, y - reach, z}, {x + reach, y + reach, z}, {x - reach, y + reach, z}};
}

std::vector<PlanPointEntity> planPointEntities(const Plan& plan)
{
    std::vector<PlanPointEntity> entities;
    for (int row = 0; row < plan.rows; ++row) {
        for (int column = 0; column < plan.columns; ++column) {
            const char* className = nullptr;
            bool start = true;
            // Where a player stands (a start, a destination), the origin is as high above the
            // floor as a player's feet are below its origin, as real levels place them.
            float height = standingHeight;
            switch (plan.at(column, row)) {
            case Cell::Item: className = "item_health"; start = false; height = 0.0f; break;
            case Cell::Weapon: className = "weapon_launcher"; start = false; height = 0.0f; break;
            case Cell::TeleportDestination: className = "misc_teleporter_dest"; start = false; break;
            case Cell::OrdinaryStart: className = "info_player_start"; break;
            case Cell::RedSpawn: className = "team_red_spawn"; break;
            case Cell::BlueSpawn: className = "team_blue_spawn"; break;
            case Cell::IntermissionView:
                className = "info_player_intermission";
                height = std::round(static_cast<float>(plan.height) / 2);
                break;
            default: continue;
            }
            entities.push_back({className, cellCentre(plan, {column, row}, height),
                                start ? std::optional<int>(plan.startAngle) : std::nullopt});
        }
    }
    return entities;
}
