#pragma once

#include "entities/Player.h"
#include "render/SolidSphere.h"

#include <vector>

class Friendlies;

// Draws the players that moved in this frame's update, friends blue then enemies red, each
// as one shared sphere.
class PlayerRenderer {
public:
    void drawPlayers(const Friendlies& friendlies);

private:
    void drawGroup(const std::vector<Player>& players);

    SolidSphere ball{Player::radius, 8, 8};
};
