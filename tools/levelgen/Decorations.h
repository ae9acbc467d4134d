#pragma once

#include "Geometry.h"
#include "Plan.h"

// The faces that stand in an open cell or on its walls, beyond the cell's own floor,
// ceiling and walls: pillars, arches and pedestals (patches and meshes), billboards,
// grates, never-drawn screens, flames, water and fog surfaces, and the panels, trims and
// signs on walls. File coordinates, Z up.
class Decorations {
public:
    Decorations(const Plan& plan, Geometry& geometry);

    // A round column from floor to ceiling: a 9 x 3 control grid, four patches around.
    void addPillar(Vector3 centre, int texture);

    // A round arch under the ceiling of the doorway whose south-west floor corner is `corner`.
    void addArch(int column, int row, Vector3 corner, int texture);

    // A square plinth with a pyramid on top, as one triangle mesh.
    void addPedestal(Vector3 centre, int texture);

    void addBillboard(Vector3 centre, int texture);

    // One face from floor to ceiling across the middle of the cell, between the two open
    // cells it separates; drawn from both sides by its material.
    void addGrate(int column, int row, int texture);

    // Two faces back to back across the middle of the cell, so that either side shows.
    void addScreen(int column, int row, int texture);

    // Where on a wall a picture hangs: its width as a share of the cell's side (centred), and
    // its bottom and top edges as shares of the room's height.
    struct PanelShape {
        float width;
        float bottom;
        float top;
    };
    static constexpr PanelShape glowingPanel{0.75f, 0.35f, 0.75f};
    static constexpr PanelShape trim{1.0f, 0.04f, 0.12f}; // runs on from cell to cell
    static constexpr PanelShape sign{0.5f, 0.45f, 0.7f};

    // A picture a little in front of the wall a-b that faces `normal`, its texture shown
    // once, the right way up, seen from the open side.
    void addPanel(Vector3 a, Vector3 b, Vector3 normal, int texture, PanelShape shape = glowingPanel);

    // A flame: one upright quad in the middle of the cell, its picture once across it.
    void addFlame(Vector3 centre, int texture);

    // A horizontal face over the whole cell at `height` units, facing up, its texture tiled as
    // the floor's: a water surface, or the visible surface of fog.
    void addLevelSurface(int column, int row, float height, int texture);

private:
    // An upright quad from `start` along `right` (unit, horizontal), `width` units wide, from
    // `bottom` to `top` units up, facing `normal`, its picture once across it.
    void addUprightPicture(Vector3 start, Vector3 right, float width, float bottom, float top, Vector3 normal,
                           int texture);

    struct Span {
        Vector3 a;
        Vector3 b;
        Vector3 normal;
    };
    Span acrossCell(int column, int row) const; // floor line through the centre, facing north or east

    const Plan& plan;
    Geometry& geometry;
    float size;   // cell side, units
    float height; // floor to ceiling, units
};
