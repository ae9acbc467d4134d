#pragma once

#include "Level.h"
#include "Plan.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

// The plan's entities beyond the start and the lights, as the level's entity text and its
// geometry both describe them. Brush entities are inline models numbered in reading order from
// *1; a fan keeps its faces around its own origin, which its entity's "origin" key gives, as a
// compiler stores a model built around an origin brush. Point entities stand in the middle of
// their cell: items on the floor, starts and destinations standingHeight above it, the
// intermission view at mid-height. File coordinates, Z up.
enum class BrushKind { door, lift, fan, bobbing, train };

struct PlanBrushEntity {
    BrushKind kind = BrushKind::door;
    GridPosition cell;
    int model = 0;              // the entity's "model" is "*model"
    const char* className = ""; // func_door, func_plat or func_rotating
    bool placed = false;        // its faces are stored around `origin`
    Vector3 origin;             // the model's own origin in the level; (0, 0, 0) unless placed
    std::vector<std::pair<const char*, std::string>> keys; // how it moves, beyond the defaults
};

// Units above the floor of a start's or teleport destination's origin: a player's box put there
// stands on the floor.
constexpr float standingHeight = 24.0f;

struct PlanPointEntity {
    const char* className = "";
    Vector3 origin;
    std::optional<int> angle; // starts face the plan's angle
};

std::vector<PlanBrushEntity> planBrushEntities(const Plan& plan);
std::vector<PlanPointEntity> planPointEntities(const Plan& plan);

// A fan turns about its hub this far below the ceiling, in units.
int fanDepth(const Plan& plan);

// A train's block: its side, and the four corners its lowest corner visits in turn (the first
// is where it is built), whole units.
constexpr float trainBlockSide = 24.0f;
std::vector<Vector3> trainCorners(const Plan& plan, GridPosition cell);
