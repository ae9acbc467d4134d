#include "entities/Friendlies.h"

#include <climits>
#include <fstream>
#include <iostream>
#include <stdexcept>

namespace {
// Each player is a sphere drawn every frame; more than this is a broken file, not a game.
constexpr unsigned maxPlayersPerGroup = 10000;

void requireWidth(const std::string& fileName, const char* axis, int lower, int upper)
{
    // A random coordinate is an offset modulo the width, which the players take from the
    // corners as floats: it must be at least 1 and fit an int after that rounding.
    const long long width = static_cast<long long>(float(upper) - float(lower));
    if (width < 1)
        throw std::runtime_error(fileName + ": players box is " + std::to_string(width) + " units wide on the "
                                 + axis + " axis; it must be at least 1");
    if (width > INT_MAX)
        throw std::runtime_error(fileName + ": players box is " + std::to_string(width) + " units wide on the "
                                 + axis + " axis; it must be at most " + std::to_string(INT_MAX));
}

int countUpdate(std::vector<Player>& players, std::vector<Shot>& shots, int perHit)
{
    int change = 0;
    for (Player& player : players) {
        player.step();
        if (player.hitBy(shots)) {
            std::cerr << "coillision occured" << std::endl;
            change += perHit;
        }
    }
    return change;
}
} // namespace

Friendlies::Friendlies(const std::string& fileName)
{
    std::ifstream file(fileName);
    read(file, fileName);
}

Friendlies::Friendlies(std::istream& in, const std::string& fileName) { read(in, fileName); }

void Friendlies::read(std::istream& file, const std::string& fileName)
{
    std::cerr << "opened file: " << fileName;
    unsigned friendCount = 0;
    unsigned enemyCount = 0;
    file >> friendCount;
    std::cerr << "# of friendlies " << friendCount << std::endl;
    file >> enemyCount;
    int box[6] = {0, 0, 0, 0, 0, 0};
    for (int& value : box)
        file >> value;
    if (friendCount == 0 && enemyCount == 0)
        return;
    if (friendCount > maxPlayersPerGroup || enemyCount > maxPlayersPerGroup)
        throw std::runtime_error(fileName + ": " + std::to_string(friendCount) + " friends and "
                                 + std::to_string(enemyCount) + " enemies; at most "
                                 + std::to_string(maxPlayersPerGroup) + " of each");
    if (!file)
        throw std::runtime_error(fileName + ": players box needs six whole numbers after the two counts");
    requireWidth(fileName, "x", box[0], box[3]);
    requireWidth(fileName, "y", box[1], box[4]);
    requireWidth(fileName, "z", box[2], box[5]);

    populate(friendCount, enemyCount, Vec3(float(box[0]), float(box[1]), float(box[2])),
             Vec3(float(box[3]), float(box[4]), float(box[5])), std::cerr);
}

Friendlies::Friendlies(unsigned friendCount, unsigned enemyCount, const Vec3& lower, const Vec3& upper)
{
    const std::string name = "the level's box";
    requireWidth(name, "x", int(lower.getX()), int(upper.getX()));
    requireWidth(name, "y", int(lower.getY()), int(upper.getY()));
    requireWidth(name, "z", int(lower.getZ()), int(upper.getZ()));
    std::ostream quiet(nullptr);
    populate(friendCount, enemyCount, lower, upper, quiet);
}

void Friendlies::populate(unsigned friendCount, unsigned enemyCount, const Vec3& lower, const Vec3& upper,
                          std::ostream& log)
{
    friends.reserve(friendCount);
    enemies.reserve(enemyCount);
    for (unsigned i = 0; i < friendCount; ++i) {
        log << "before " << std::endl;
        friends.emplace_back(lower, upper, true, log);
        log << "after " << std::endl;
    }
    for (unsigned i = 0; i < enemyCount; ++i)
        enemies.emplace_back(lower, upper, false, log);
}

int Friendlies::update(std::vector<Shot>& shots)
{
    const int friendChange = countUpdate(friends, shots, -1);
    return friendChange + countUpdate(enemies, shots, +1);
}
