#pragma once

#include "Plan.h"

#include <cstdint>

constexpr int minMazeSide = 9;

// A random plan of columns x rows cells: a maze of one-cell corridors with some loops,
// rectangular rooms carved across it, pillars and pedestals in the rooms, arches in
// corridors, four lights and the start in the first room, facing its longest clear view. The same size and seed give
// the same plan on every platform. Sides must be in [minMazeSide, maxPlanSide].
Plan generateMaze(int columns, int rows, uint32_t seed);
