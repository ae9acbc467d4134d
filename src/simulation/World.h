#pragma once

#include "level/EntityText.h"
#include "level/LevelData.h"
#include "simulation/CollisionWorld.h"
#include "simulation/Movers.h"
#include "simulation/PlayerMovement.h"
#include "simulation/Triggers.h"
#include "simulation/WalkSettings.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Play in one loaded level: what blocks a box (CollisionWorld, built once, when first needed),
// the brush entities that move (Movers), the one trigger system (Triggers) and the player, who
// walks (PlayerMovement) or flies with the camera. One step a frame, in a fixed order: the
// movers move to the material clock, collision follows them (carrying or pushing the walker),
// buttons pressed home fire; then, in steps of at most WalkSettings::maxSubStep, the triggers
// the player's box overlaps fire and the walker moves. A flying player's box (the walker's,
// around the eye) opens the doors volumes name but sets nothing else off. Drawing only reads
// the poses. World coordinates (Y up); step() allocates nothing.
//
// The level outlives the world; nothing else is shared with it.
class World {
public:
    // Lines about movers and buttons left at rest go to `notices`, each naming `levelName`.
    World(const LevelData& level, const std::vector<Entity>& entities, const std::string& levelName,
          std::vector<std::string>& notices, WalkSettings settings = {});
    World(const World&) = delete;
    World& operator=(const World&) = delete;
    ~World();

    const WalkSettings& settings() const { return walkSettings; }
    const Movers& movers() const { return moving; }
    const Triggers& triggers() const { return triggerSystem; }
    // Where inline model `model`'s entity's origin puts its brushes at rest; zero for none.
    Float3 modelOffset(std::size_t model) const { return model < offsets.size() ? offsets[model] : Float3{}; }
    // Built on the first call: a level only flown through never needs it.
    const CollisionWorld& collision() const;
    static std::size_t collisionBuilds(); // since the program started, for the tests

    // ---- the player ----------------------------------------------------------------------------
    enum class Start { walking, noBrushes, noClearSpot };
    // Walking starts with the player's origin at `origin`, or at the nearest clear spot within
    // WalkSettings::clearSearch when that is inside a wall; a fall out of the level comes back
    // there. Nothing changes unless it returns Start::walking.
    Start startWalking(Float3 origin, double heading);
    void stopWalking();
    bool isWalking() const { return walker.has_value(); }
    const PlayerMovement& player() const { return *walker; } // while walking
    // Flying: the eye stands at `eye` (the camera's).
    void flyAt(Float3 eye) { flyingEye = eye; }
    // Where the player's box stands now: the walker's, or the flying eye's.
    void playerBounds(Float3& low, Float3& high) const;

    // ---- the step ------------------------------------------------------------------------------
    // One frame of `seconds` (at most WalkSettings::maxFrame; 0 or less moves no player) with the
    // movers at `clockSeconds` on the material clock and the walker moved by `input`.
    void step(double clockSeconds, const WalkInput& input, double seconds);

    // What happened during the last step, for the lines the viewer prints.
    struct Events {
        bool launched = false;       // thrown by a pad or a push
        bool teleported = false;     // the view's heading and pitch changed with it
        std::size_t movedBy = 0;     // the model of the volume that threw or moved it; 0 for a button
        bool hurt = false;           // inside a hurt volume
        bool fellOut = false;        // below the level's box: put back where walking last started
        bool stoppedWalking = false; // fell out again before standing anywhere: flying now
    };
    const Events& events() const { return happened; }

    // ---- questions -----------------------------------------------------------------------------
    CollisionWorld::Box playerBox() const; // standing
    // Whether a standing player's box at `origin` is inside a solid or player clip.
    bool inSolid(Float3 origin) const;
    // `origin` when a standing player is clear there, else the nearest clear spot within `radius`.
    std::optional<Float3> clearSpotNear(Float3 origin, float radius) const;

private:
    void followMovers();
    void apply(const Triggers::Move& move);
    void subStep(const WalkInput& input, float seconds);
    void fallOut();

    const LevelData& level;
    const WalkSettings walkSettings;
    std::vector<Float3> offsets;     // by model: where its entity's origin puts its brushes
    Movers moving;
    Triggers triggerSystem;
    std::vector<bool> touchOnly;     // by model: a trigger's volume, not a solid
    mutable std::unique_ptr<CollisionWorld> blocking;
    std::optional<PlayerMovement> walker;
    Float3 flyingEye;
    Float3 respawnOrigin;
    double respawnHeading = 90.0;
    bool putBack = false;            // since walking started or the player last stood
    double playedSeconds = 0.0;      // the triggers' clock
    Events happened;
};
