#pragma once

#include "level/BrushEntity.h"
#include "level/EntityText.h"
#include "math/Float3.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// How the level's brush entities move: turning, bobbing, swinging, following a path, doors,
// lifts and buttons, each from its entity's keys (absent keys take the defaults of
// `keyDefaults`, the one table of them). Positions are worked out from the material clock, so a
// time gives one picture; doors, lifts and buttons also answer the player's box, and a button
// pressed home is listed for the trigger system to fire (Triggers). A mover whose keys cannot
// be read stays at rest, with one line naming its entity. GL-free; update() allocates nothing.
// World coordinates (Y up), units, seconds, degrees.
class Movers {
public:
    enum class Kind { rotating, bobbing, pendulum, train, door, plat, button };

    // A key's default and the values it may take; anything else leaves the mover at rest.
    struct KeyDefault {
        const char* className;
        const char* key;
        float value;
        float lowest;
        float highest;
        bool nonZero;
    };
    static const KeyDefault keyDefaults[];
    static const std::size_t keyDefaultCount;

    // Where a model stands now: its at-rest vertices turned by `degrees` about `axis` through
    // `pivot`, then moved by `offset`.
    struct Pose {
        Float3 offset;
        Float3 pivot;
        Float3 axis{0.0f, 1.0f, 0.0f}; // unit length
        float degrees = 0.0f;

        Float3 apply(Float3 point) const;
    };

    enum class Phase { closed, opening, open, closing }; // doors, lifts (closed: lowered), buttons

    struct Mover {
        Kind kind = Kind::rotating;
        std::size_t model = 0;  // inline model, 1 and up
        std::size_t entity = 0; // its entity's index
        std::string name;       // "entity 7 (func_door)"
        int32_t firstFace = 0;  // the model's faces, as BrushEntity checked them
        int32_t faceCount = 0;
        bool still = false;     // its keys were unreadable: it stays at rest
        Float3 low, high;       // the world box at rest
        bool placed = false;    // its entity gives an origin
        Float3 pivot;           // its origin, or its box's centre when it has none
        Float3 axis;            // rotation axis, or the direction of travel (unit)
        float speed = 0.0f;     // degrees/s (rotating), seconds a cycle (bobbing), units/s
        float distance = 0.0f;  // units of travel; degrees of swing (pendulum)
        float phase = 0.0f;     // of a cycle (bobbing, pendulum)
        float period = 0.0f;    // seconds (pendulum, train)
        float wait = 0.0f;      // seconds open (doors, lifts, buttons); -1 stays open
        std::vector<Float3> corners;   // train: where its reference point goes, in order, looped
        std::vector<float> cornerWaits;
        Float3 reference;              // train: the point put on each corner, at rest
        std::string targetName;         // what buttons and triggers name it by
        std::string target;             // button: the name it fires
        bool triggeredOnly = false;     // door: opened only by a button or trigger that targets it
        // The phase and how far along it (0 closed or lowered, 1 open or raised).
        Phase state = Phase::closed;
        float progress = 0.0f;
        float waitLeft = 0.0f;
        Pose pose;
    };

    // The brush entities listed for drawing and the level's parsed entities; a pendulum swings
    // under `gravity` (units/s^2). Lines for movers left at rest go to `notices`, each naming
    // `levelName` and the entity.
    Movers(const std::vector<BrushEntity>& brushEntities, const std::vector<Entity>& entities,
           const std::string& levelName, std::vector<std::string>& notices, float gravity);

    // Every pose at `clockSeconds` on the material clock; doors, lifts and buttons move on by
    // the clock's advance since the last call (none when it stands still or goes back), opened
    // by the player's box (world, `low` to `high`).
    void update(double clockSeconds, Float3 playerLow, Float3 playerHigh);
    // The buttons pressed home during the last update, as indices of all().
    const std::vector<std::size_t>& pressed() const { return pressedNow; }

    // A door or lift (an index of all()) opens, or stays open its wait again.
    void open(std::size_t index);
    // The door opens only when something that names it fires, no longer when approached.
    void openOnlyWhenFired(std::size_t index);
    // The mover stays where it rests, with one line in `notices`.
    void keepAtRest(std::size_t index, const std::string& why, const std::string& levelName,
                    std::vector<std::string>& notices);

    const std::vector<Mover>& all() const { return movers; }
    bool empty() const { return movers.empty(); }
    // By inline model: the mover that moves it, or null.
    const Mover* ofModel(std::size_t model) const;
    std::optional<std::size_t> indexOfModel(std::size_t model) const;
    // Whether the mover may stand elsewhere at a later time without anyone near.
    static bool isMoving(const Mover& mover);
    bool anyMoving() const;
    // The mover's box where it stands now (its rest box moved by the pose, widened to hold any
    // turn), for culling.
    static void movedBox(const Mover& mover, Float3& low, Float3& high);
    // One line for levelinfo: what moves, how far or fast, what sets it off.
    static std::string describe(const Mover& mover);

    static constexpr std::size_t maxCorners = 256;
    static constexpr float nearDistance = 64.0f; // units from a door or lift that set it off

private:
    void read(Mover& mover, const Entity& entity, const std::vector<Entity>& entities, std::string& problem) const;
    void readTrain(Mover& mover, const Entity& entity, const std::vector<Entity>& entities,
                   std::string& problem) const;
    void periodicPose(Mover& mover, double seconds) const;
    void trainPose(Mover& mover, double seconds) const;
    void stepTriggered(std::size_t index, float seconds, Float3 playerLow, Float3 playerHigh);
    static void open(Mover& mover);

    std::vector<Mover> movers;
    std::vector<int> byModel; // model to index into movers, -1 for none
    std::vector<std::size_t> pressedNow; // sized at load
    float gravity;
    double lastClock = 0.0;
    bool started = false;
};
