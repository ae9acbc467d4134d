#include "entities/Player.h"

#include <cmath>
#include <cstdlib>
#include <iostream>

namespace {
float randomCoordinate(float lower, float upper)
{
    const int width = static_cast<int>(upper - lower);
    return lower + static_cast<float>(std::rand() % width);
}
} // namespace

Player::Player(const Vec3& boxMin, const Vec3& boxMax, bool friendly, std::ostream& log)
    : boxMin(boxMin), boxMax(boxMax), friendly(friendly)
{
    position = randomPointInBox();
    log << "here " << std::endl;
    destination = randomPointInBox();
}

Vec3 Player::randomPointInBox() const
{
    Vec3 point;
    point.setX(randomCoordinate(boxMin.getX(), boxMax.getX()));
    point.setY(randomCoordinate(boxMin.getY(), boxMax.getY()));
    point.setZ(randomCoordinate(boxMin.getZ(), boxMax.getZ()));
    return point;
}

void Player::respawn()
{
    hit = false;
    position = randomPointInBox();
    destination = randomPointInBox();
}

void Player::step()
{
    moved = false;
    if (hit) {
        respawn();
        return;
    }
    Vec3 toDestination = destination.minus(position);
    if (toDestination.length() > stepLength) {
        toDestination.normalize();
        position = position.plus(toDestination.scaled(stepLength));
        moved = true;
    } else {
        destination = randomPointInBox();
    }
}

bool Player::hitBy(std::vector<Shot>& shots)
{
    for (auto shot = shots.begin(); shot != shots.end(); ++shot) {
        const Vec3 at = shot->position();
        const double dx = double(at.getX()) - double(position.getX());
        const double dy = double(at.getY()) - double(position.getY());
        const double dz = double(at.getZ()) - double(position.getZ());
        if (std::sqrt(dx * dx + dy * dy + dz * dz) <= hitDistance) {
            hit = true;
            shots.erase(shot);
            return true;
        }
    }
    return false;
}
