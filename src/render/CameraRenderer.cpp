#include "render/CameraRenderer.h"

#include "game/Camera.h"
#include "game/Frustum.h"

#include <GL/glut.h>

void CameraRenderer::applyView(Camera& camera, float /*frameSeconds*/)
{
    camera.applyPendingMove();
    const Vec3 side = camera.sideAxis();
    const Point& position = camera.getPosition();
    glRotatef(static_cast<float>(camera.getYaw()), 0.0f, 1.0f, 0.0f);
    glRotatef(static_cast<float>(camera.getPitch()), side.getX(), side.getY(), side.getZ());
    glTranslatef(-position.getX(), -position.getY(), -position.getZ());
    if (Frustum* frustum = camera.getFrustum()) {
        float projection[16];
        float modelview[16];
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
        frustum->extractPlanes(projection, modelview);
    }
}

void CameraRenderer::drawGun() const
{
    glPushMatrix();
    glColor3f(0.7f, 0.6f, 0.5f);
    glEnable(GL_LIGHTING);
    glLoadIdentity();
    glScalef(0.5f, 0.5f, 20.0f);
    glTranslatef(0.0f, -2.0f, 0.0f);
    glutSolidCube(1.0);
    glDisable(GL_LIGHTING);
    glPopMatrix();
}

void CameraRenderer::drawShots(const std::vector<Shot>& shots)
{
    glColor3f(0.0f, 1.0f, 0.0f);
    for (const Shot& shot : shots) {
        const Vec3 centre = shot.position();
        glPushMatrix();
        glTranslatef(centre.getX(), centre.getY(), centre.getZ());
        shotBall.draw();
        glPopMatrix();
    }
}
