#pragma once

#include "entities/Player.h"
#include "camera/Shot.h"

#include <istream>
#include <string>
#include <vector>

// The moving players read from a players file: two counts, then the six integers of the
// box (world coordinates, Y up) that every player wanders in.
class Friendlies {
public:
    // Throws std::runtime_error naming the file when the box is incomplete or narrower
    // than one unit on an axis; a file that cannot be opened just yields no players.
    explicit Friendlies(const std::string& fileName);
    // The same from an open stream; `fileName` names it in messages.
    Friendlies(std::istream& in, const std::string& fileName);
    // Players in a box given directly (a level's own bounds), quietly. Throws
    // std::runtime_error when the box is narrower than one unit on an axis.
    Friendlies(unsigned friendCount, unsigned enemyCount, const Vec3& lower, const Vec3& upper);

    // Moves and hit-tests every player, friends first; returns the change of score. The
    // players that moved are drawn afterwards by PlayerRenderer.
    int update(std::vector<Shot>& shots);

    std::vector<Player>& getFriends() { return friends; }
    std::vector<Player>& getEnemies() { return enemies; }
    const std::vector<Player>& getFriends() const { return friends; }
    const std::vector<Player>& getEnemies() const { return enemies; }

private:
    void read(std::istream& in, const std::string& fileName);
    void populate(unsigned friendCount, unsigned enemyCount, const Vec3& lower, const Vec3& upper,
                  std::ostream& log);

    std::vector<Player> friends;
    std::vector<Player> enemies;
};
