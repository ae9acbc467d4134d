#pragma once

#include "Level.h"
#include "Plan.h"

// Compiles a plan into a complete level in file coordinates: a file x of column * cell
// size, a file y that grows toward row 0 (north), z up from the floor at 0.
//
// The viewer draws polygons and meshes with clockwise front faces and culls back faces.
// Its world is the file's turned about the x axis ((x, y, z) -> (x, z, -y), a rotation,
// so it keeps handedness), so a triangle that is clockwise seen from the open space in
// the file is clockwise on the viewer's screen too.
struct BuildStatistics {
    int clusters = 0;
    int brushes = 0;
};

Level buildLevel(const Plan& plan, BuildStatistics* statistics = nullptr);

// Where the plan's camera starts, in the viewer's world (Y up), whole units.
struct WorldPosition {
    int x = 0;
    int y = 0;
    int z = 0;
};

WorldPosition startPosition(const Plan& plan);
int eyeHeight(const Plan& plan);
WorldPosition lightPosition(const Plan& plan, GridPosition cell);
