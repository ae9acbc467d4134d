#pragma once

#include "math/Float3.h"
#include "level/LevelData.h"

#include <optional>

// Which face a ray from the eye meets first: polygons and meshes by their triangles, curved
// surfaces by their control grids cut in two triangles a cell (near enough to name the face).
// World coordinates (Y up). Billboards and other types are not met. Reads every face: a
// question asked by a key, not each frame.
class FacePicker {
public:
    struct Hit {
        int face = -1;
        Float3 point;
        float distance = 0.0f;
    };

    // The nearest face `direction` (need not be unit length) meets from `origin`, both sides
    // counted; nothing when it meets none.
    static std::optional<Hit> pick(const LevelData& level, Float3 origin, Float3 direction);
};
