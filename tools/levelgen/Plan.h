#pragma once

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

// A level plan: a grid of cells seen from above, row 0 at the top (north, the largest
// file y), plus the few numbers and texture choices that turn it into a level.
// Every cell is a full-height column: either solid rock or open space with a floor and
// a ceiling, and an open cell may hold one decoration.
enum class Cell : char {
    Wall = '#',      // solid, "wall" texture
    AltWall = '%',   // solid, "wall2" texture
    PanelWall = '&', // solid, the material-only "panelwall" texture (no image of its own)
    GlowWall = '=',  // solid, "wall" texture with a glowing panel on every side that faces an open cell
    Floor = '.',     // open, "floor" texture
    AltFloor = ',',  // open, "floor2" texture
    Start = 'S',     // open; the camera starts here, facing the plan's "angle"
    Light = 'L',     // open; a light hangs under the ceiling
    Pillar = 'O',    // open; a round pillar from floor to ceiling (patches)
    Arch = 'A',      // open doorway between two walls, an arch under its ceiling (patches)
    Object = 'M',    // open; a small pedestal (triangle mesh)
    Billboard = 'B', // open; a sprite face the viewer does not draw
    Sky = '*',       // open; its ceiling is open sky
    Grate = 'G',     // open; an alpha-tested grate stands across it, between two opposite open cells
    Nodraw = 'N',    // open; a screen across it that the viewer must not draw, between two open cells
    Water = '~',     // open; a pool: a water surface a little above its floor
    Lava = '^',      // open; its floor is glowing lava
    Flame = 'F',     // open; a flame that always turns to face the eye stands in it
    FogPit = 'P',    // open; fog lies over its floor (touching fog cells make one fog volume)
    PulseWall = '+', // solid, "wall" texture with a pulsing glowing panel on every side that faces an open cell
    ChromeWall = 'H', // solid, "wall" texture with a chrome trim along the floor on every open side
    SignWall = 'Y',  // solid, "wall" texture with an animated sign on every open side
    Door = 'D',      // open doorway between two walls, closed by a door: a brush entity (func_door)
    Lift = 'T',      // open; a square platform, a quarter of the room high: a brush entity (func_plat)
    Fan = 'R',       // open; a fan under the ceiling, stored around its own origin (func_rotating)
    Bobbing = 'Z',   // open; a platform bobbing up and down at a third of the room's height (func_bobbing)
    Train = 'J',     // open; a small block riding a square of four path corners in its cell (func_train)
    Item = 'I',      // open; an item lies on its floor (a point entity, item_health)
    Weapon = 'W',    // open; a weapon lies on its floor (a point entity, weapon_launcher)
    TeleportDestination = 'X', // open; where a teleporter sends you (a point entity, misc_teleporter_dest)
    // Open; more places a player enters, facing the plan's "angle" (point entities): an ordinary
    // start (info_player_start), the red and the blue team's spawns (team_red_spawn,
    // team_blue_spawn), and the view shown between rounds, at mid-height (info_player_intermission).
    OrdinaryStart = 'Q',
    RedSpawn = 'C',
    BlueSpawn = 'U',
    IntermissionView = 'V',
};

// Which sky the open-sky cells show: the far box of six pictures, scrolling cloud layers
// without a far box, or dusk: a flat blue-grey ($whiteimage, rgbGen const) under an added cloud
// layer, naming a far box whose images do not exist.
enum class SkyKind { farBox, clouds, dusk };

bool isSolid(Cell cell);
bool isDecoratedWall(Cell cell); // a solid cell that shows something on its open sides
bool isKnownCell(char character);

// The surfaces a plan can texture, each with a texture from the generator catalogue.
enum class Surface { Wall, AltWall, Floor, AltFloor, Ceiling, Pillar, Arch, Object, Billboard, Count };

struct GridPosition {
    int column = 0;
    int row = 0;
};

// A shape placed by coordinates rather than by cell, for what a grid of full-height columns
// cannot hold: raised blocks, stairs, ramps, and the volumes a player walks into. File
// coordinates (Z up), whole units; `low` and `high` are the box's corners, low < high on
// every axis. A ramp or curve fills its box's floor and rises from low.z to high.z towards
// `rises`; a curve is a patch (a quadratic surface, flat at its foot) and the rest are brushes.
enum class ShapeKind {
    solid,      // a drawn block that blocks
    clip,       // an invisible wall: player clip contents, no faces
    water,      // a volume of water whose top is drawn with the water material
    ramp,       // a drawn wedge
    curve,      // a drawn curved ramp (patch), hollow beneath
    pad,        // a trigger_push brush entity launching to `target` (a target_position)
    teleporter, // a trigger_teleport brush entity sending to `target` (a misc_teleporter_dest)
    hurt,       // a trigger_hurt brush entity
    trigger,    // a trigger_multiple brush entity firing a target_push that throws to `target`
    button,     // a drawn func_button floor plate firing, through a target_relay, a target_push to `target`
};

enum class Heading { north, east, south, west };

struct PlanShape {
    ShapeKind kind = ShapeKind::solid;
    std::array<int, 3> low{};
    std::array<int, 3> high{};
    Heading rises = Heading::north;  // ramps and curves
    std::array<int, 3> target{};     // pads, teleporters, triggers and buttons: where they send the player
    int angle = 0;                   // teleporters: the destination's heading, degrees
    bool wall = false;               // triggers: written through the wall2 texture record, not the trigger one
};

struct Plan {
    std::string name = "level";   // stem of the output files: at most 32 letters, digits, '_' or '-'
    int cellSize = 64;            // units per cell side
    int height = 128;             // floor to ceiling, units
    int textureScale = 128;       // units per texture repeat
    int friends = 2;
    int enemies = 3;
    int startAngle = 90;          // degrees counterclockwise from file +x seen from above; 90 = north
    SkyKind sky = SkyKind::farBox;
    bool skyNearBox = false;      // hills around the horizon laid over the sky (env/NAME/hills_*)
    std::string title;            // the level's title (worldspawn "message"); the name when empty
    int images = 0;               // images of the plan's own, shown on the open cells' floors in turn
    std::vector<std::string> textures = {"bricks", "stone", "tiles", "slate", "plaster",
                                         "metal", "marble", "wood", "foliage"}; // by Surface

    int columns = 0;
    int rows = 0;
    std::vector<Cell> cells; // row-major, rows * columns
    GridPosition start;
    std::vector<GridPosition> lights; // reading order, at most four
    std::vector<PlanShape> shapes;    // in plan order

    Cell at(int column, int row) const; // outside the grid is solid wall
    bool isOpen(int column, int row) const { return !isSolid(at(column, row)); }
    const std::string& texture(Surface surface) const { return textures[static_cast<int>(surface)]; }
};

// A plan that cannot be built; the message starts with "file:line:column: ".
class PlanError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

constexpr int maxPlanSide = 1024;
constexpr int maxLights = 4;

// Whether a grate or screen in this cell spans it from west to east (separating the open
// cells north and south of it); otherwise it spans north to south.
bool spansWestToEast(const Plan& plan, int column, int row);

// Parses plan text: header lines "cell N", "height N", "texscale N", "friends N",
// "enemies N", "angle DEG" (0 to 359), "images N" (0 to 4096: the open cells' floors, lava
// aside, show that many images of the plan's own in turn, each in a texture record of its own,
// JPEG and TGA by turns), "shape KIND X0 Y0 Z0 X1 Y1 Z1 [...]" (KIND solid, clip, water, hurt;
// ramp and curve end with the heading they rise to, north, east, south or west; pad, trigger
// and button end with their target's X Y Z, teleporter with its destination's X Y Z and
// heading; the trigger volumes, pad, teleporter, hurt and trigger, may end with the word
// "wall"), "sky farbox|clouds|dusk [nearbox]", "title TEXT" (the rest of the line) and
// "texture SURFACE NAME", comments starting with '#', then a line "map" and the grid's rows.
// fileName is used in messages and, without directory and extension, as the plan's name.
Plan parsePlan(const std::string& text, const std::string& fileName);

// Checks what the grid itself must satisfy (one start, at most four lights, arches between
// walls, grates and screens between open cells, walls with panels, trims or signs beside an
// open cell)
// and records the start and the lights; shared by parsed and generated plans.
// firstGridLine is the file line of row 0. Throws PlanError naming fileName.
void validateGrid(Plan& plan, const std::string& fileName, int firstGridLine);
