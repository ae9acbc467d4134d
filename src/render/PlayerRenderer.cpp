#include "render/PlayerRenderer.h"

#include "entities/Friendlies.h"

#include <GL/gl.h>

void PlayerRenderer::drawPlayers(const Friendlies& friendlies)
{
    drawGroup(friendlies.getFriends());
    drawGroup(friendlies.getEnemies());
}

void PlayerRenderer::drawGroup(const std::vector<Player>& players)
{
    for (const Player& player : players) {
        if (!player.movedThisFrame())
            continue;
        if (player.isFriendly())
            glColor3f(0.0f, 0.0f, 1.0f);
        else
            glColor3f(1.0f, 0.0f, 0.0f);
        const Vec3& position = player.getPosition();
        glPushMatrix();
        glTranslatef(position.getX(), position.getY(), position.getZ());
        ball.draw();
        glPopMatrix();
    }
}
