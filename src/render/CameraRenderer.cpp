#include "render/CameraRenderer.h"

#include "camera/Camera.h"
#include "camera/Frustum.h"
#include "render/SavedGLState.h"

#include <GL/glew.h>

#include <cmath>

namespace {
// A cube of side 1 about the origin, each face one outward normal and counterclockwise seen from
// outside, as GLUT's solid cube is, and drawn from arrays as it draws it: without GLUT, which
// needs a window, and without the immediate mode that had the software renderer compile its
// state again every frame. Leaves the client arrays as it found them.
void drawUnitCube()
{
    struct Corner {
        float normal[3];
        float position[3];
    };
    static const Corner corners[] = {
        {{1, 0, 0}, {0.5f, -0.5f, -0.5f}},   {{1, 0, 0}, {0.5f, 0.5f, -0.5f}},    {{1, 0, 0}, {0.5f, 0.5f, 0.5f}},
        {{1, 0, 0}, {0.5f, -0.5f, 0.5f}},    {{-1, 0, 0}, {-0.5f, -0.5f, -0.5f}}, {{-1, 0, 0}, {-0.5f, -0.5f, 0.5f}},
        {{-1, 0, 0}, {-0.5f, 0.5f, 0.5f}},   {{-1, 0, 0}, {-0.5f, 0.5f, -0.5f}},  {{0, 1, 0}, {-0.5f, 0.5f, -0.5f}},
        {{0, 1, 0}, {-0.5f, 0.5f, 0.5f}},    {{0, 1, 0}, {0.5f, 0.5f, 0.5f}},     {{0, 1, 0}, {0.5f, 0.5f, -0.5f}},
        {{0, -1, 0}, {-0.5f, -0.5f, -0.5f}}, {{0, -1, 0}, {0.5f, -0.5f, -0.5f}},  {{0, -1, 0}, {0.5f, -0.5f, 0.5f}},
        {{0, -1, 0}, {-0.5f, -0.5f, 0.5f}},  {{0, 0, 1}, {-0.5f, -0.5f, 0.5f}},   {{0, 0, 1}, {0.5f, -0.5f, 0.5f}},
        {{0, 0, 1}, {0.5f, 0.5f, 0.5f}},     {{0, 0, 1}, {-0.5f, 0.5f, 0.5f}},    {{0, 0, -1}, {-0.5f, -0.5f, -0.5f}},
        {{0, 0, -1}, {-0.5f, 0.5f, -0.5f}},  {{0, 0, -1}, {0.5f, 0.5f, -0.5f}},   {{0, 0, -1}, {0.5f, -0.5f, -0.5f}},
    };
    const SavedGLState saved(GL_CURRENT_BIT, GL_CLIENT_VERTEX_ARRAY_BIT);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDisableClientState(GL_COLOR_ARRAY);
    glClientActiveTexture(GL_TEXTURE1);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glClientActiveTexture(GL_TEXTURE0);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Corner), corners[0].position);
    glNormalPointer(GL_FLOAT, sizeof(Corner), corners[0].normal);
    glDrawArrays(GL_QUADS, 0, GLsizei(sizeof corners / sizeof corners[0]));
}

constexpr float ballRadius = 2.0f;
constexpr int ballSlices = 4;
constexpr int ballStacks = 4;

// A ball of latitude stacks and longitude slices as separate triangles, x y z per corner.
std::vector<float> ballOfTriangles()
{
    const auto corner = [](int stack, int slice, std::vector<float>& out) {
        const double latitude = M_PI * stack / ballStacks;
        const double longitude = 2 * M_PI * slice / ballSlices;
        out.push_back(float(ballRadius * std::sin(latitude) * std::cos(longitude)));
        out.push_back(float(ballRadius * std::cos(latitude)));
        out.push_back(float(ballRadius * std::sin(latitude) * std::sin(longitude)));
    };
    std::vector<float> triangles;
    for (int stack = 0; stack < ballStacks; ++stack)
        for (int slice = 0; slice < ballSlices; ++slice) {
            for (const auto& [st, sl] : {std::pair{stack, slice}, {stack + 1, slice}, {stack + 1, slice + 1}})
                corner(st, sl, triangles);
            for (const auto& [st, sl] : {std::pair{stack, slice}, {stack + 1, slice + 1}, {stack, slice + 1}})
                corner(st, sl, triangles);
        }
    return triangles;
}
} // namespace

CameraRenderer::CameraRenderer() : ballTriangles(ballOfTriangles()), batch(ballTriangles.size() * Camera::maxShots) {}

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
    drawUnitCube();
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

void CameraRenderer::drawShotsInOneBatch(const std::vector<Shot>& shots)
{
    float* out = batch.data();
    for (const Shot& shot : shots) {
        const Vec3 centre = shot.position();
        const float offset[3] = {centre.getX(), centre.getY(), centre.getZ()};
        for (std::size_t i = 0; i < ballTriangles.size(); ++i)
            *out++ = ballTriangles[i] + offset[i % 3];
    }
    if (shots.empty())
        return;
    glColor3f(0.0f, 1.0f, 0.0f);
    // Closed balls look the same from any winding: culling is left out rather than matched.
    const SavedGLState saved(GL_ENABLE_BIT, GL_CLIENT_VERTEX_ARRAY_BIT);
    glDisable(GL_CULL_FACE);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glClientActiveTexture(GL_TEXTURE0);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, batch.data());
    glDrawArrays(GL_TRIANGLES, 0, GLsizei(shots.size() * ballTriangles.size() / 3));
}
