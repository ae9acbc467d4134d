#pragma once

#include "level/EntityText.h"
#include "math/Point.h"
#include "math/Vec3.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

class Camera;

// A level's player starts as places to stand, for the view level mode opens with and for the
// j and J keys: the eye 40 units above each start's origin (file Z up, world Y up; an
// intermission view's origin is the eye itself), kept inside the level's box and rounded to
// whole units, facing the start's angle. A start far outside the box (an origin of 3e38)
// therefore still gives a view whose printed configuration reopens it.
class PlayerStarts {
public:
    static constexpr float eyeAboveOrigin = 40.0f;
    // World units either way: far beyond any level, and whole numbers a "start_vec" can hold.
    static constexpr float worldLimit = 1.0e6f;

    struct View {
        Point eye;      // world coordinates
        double heading; // degrees counterclockwise from the file's +X seen from above, [0, 360)
        std::string name; // PlayerStart::name: "deathmatch", "team red"...
    };

    PlayerStarts() = default; // a level without starts
    // low and high: the level's box in world coordinates, each axis sorted.
    PlayerStarts(const std::vector<PlayerStart>& starts, const Vec3& low, const Vec3& high);

    // A box every coordinate of which is a number within the world limit: a NaN becomes 0.
    static std::pair<Vec3, Vec3> boundedBox(const Vec3& low, const Vec3& high);

    std::size_t count() const { return views.size(); }
    const View& view(std::size_t index) const { return views.at(index); }
    // The one level mode opens at: findPlayerStart's choice.
    std::optional<std::size_t> preferred() const { return preferredIndex; }

    // Where the view opens: when it is a start's, as a jump would leave it (preferring the
    // preferred start), that start is the one stood at and the next jump goes on from there;
    // any other opening view is no start, and j goes to the first.
    void openedAt(const Camera& camera);
    // Puts the camera at the next start (forward) or the previous one, round the list, level
    // and facing the start's heading. Does nothing without starts.
    void jump(Camera& camera, bool forward);
    // The number, from 1, of the start the last jump (or the opening view) stood at while the
    // camera has not moved or turned since; 0 otherwise.
    std::size_t standingAt(const Camera& camera) const;

private:
    struct Pose {
        Point eye;
        double yaw = 0;
        double pitch = 0;
    };
    static Pose poseOf(const Camera& camera);
    bool stands(const Camera& camera, std::size_t index) const; // as a jump to `index` leaves it

    std::vector<View> views;
    std::optional<std::size_t> preferredIndex;
    std::optional<std::size_t> current; // the start last stood at
    std::optional<Pose> landed;         // the camera's pose when the last jump put it there
};
