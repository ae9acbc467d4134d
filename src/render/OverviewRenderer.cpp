#include "render/OverviewRenderer.h"

#include "render/SavedGLState.h"
#include "render/TextureManager.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double margin = 0.04;       // of each side of the picture, left empty around the box
constexpr float arrowPixels = 0.045f; // an arrow's half-length, of the picture's shorter side
constexpr float smallestArrow = 5.0f; // pixels

// The map units one pixel spans, and the picture's centre in map units.
struct Fit {
    double unitsPerPixel;
    double centreEast;
    double centreNorth;
};

Fit fit(const OverviewLayout::Box& box, int width, int height)
{
    const double across = (double(box.east) - box.west) / (width * (1.0 - 2.0 * margin));
    const double down = (double(box.north) - box.south) / (height * (1.0 - 2.0 * margin));
    return {std::max(across, down), (double(box.west) + box.east) / 2.0, (double(box.south) + box.north) / 2.0};
}

// Eye space is map space: the eye looks down the height axis, so higher ground is nearer.
void setProjection(const OverviewLayout::Box& box, const Fit& view, int width, int height)
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    const double halfWidth = width * view.unitsPerPixel / 2.0;
    const double halfHeight = height * view.unitsPerPixel / 2.0;
    const double depth = double(box.high) - box.low;
    glOrtho(view.centreEast - halfWidth, view.centreEast + halfWidth, view.centreNorth - halfHeight,
            view.centreNorth + halfHeight, -(box.high + depth), -(box.low - depth));
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

void restoreProjection()
{
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

// Whatever the frame left on (textures on both units, lighting, culling, blending) would tint
// or hide the map.
void plainState()
{
    TextureManager::switchOffLightmapUnit();
    glDisable(GL_TEXTURE_2D);
    for (const GLenum capability : {GL_LIGHTING, GL_CULL_FACE, GL_BLEND, GL_ALPHA_TEST, GL_FOG})
        glDisable(capability);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

void drawGround(const std::vector<OverviewLayout::MapVertex>& ground)
{
    if (ground.empty())
        return;
    std::vector<float> greys(ground.size() * 3);
    for (std::size_t i = 0; i < ground.size(); ++i) {
        const float grey = OverviewRenderer::lowestGrey
                         + (OverviewRenderer::highestGrey - OverviewRenderer::lowestGrey) * ground[i].shade;
        std::fill_n(greys.begin() + std::ptrdiff_t(3 * i), 3, grey);
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(OverviewLayout::MapVertex), &ground[0].east);
    glColorPointer(3, GL_FLOAT, 0, greys.data());
    glDrawArrays(GL_TRIANGLES, 0, GLsizei(ground.size()));
    glDisableClientState(GL_COLOR_ARRAY);
}

void drawLines(const std::vector<OverviewLayout::MapVertex>& lines, const float (&colour)[3])
{
    if (lines.empty())
        return;
    glColor3fv(colour);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(OverviewLayout::MapVertex), &lines[0].east);
    glDrawArrays(GL_LINES, 0, GLsizei(lines.size()));
}

// A notched arrowhead centred on the start, its tip along the heading (degrees counterclockwise
// from east, seen from above). Drawn without the depth test, so no roof hides it.
void drawStarts(const std::vector<PlayerStart>& starts, float halfLength)
{
    glDisable(GL_DEPTH_TEST);
    glColor3fv(OverviewRenderer::startColour);
    glBegin(GL_TRIANGLES);
    for (const PlayerStart& start : starts) {
        const float radians = start.angle * 3.14159265f / 180.0f;
        const float along[2] = {std::cos(radians) * halfLength, std::sin(radians) * halfLength};
        const float across[2] = {-along[1] * 0.75f, along[0] * 0.75f};
        const float x = start.origin[0];
        const float y = start.origin[1];
        const float tip[2] = {x + along[0], y + along[1]};
        const float notch[2] = {x - along[0] * 0.4f, y - along[1] * 0.4f};
        const float left[2] = {x - along[0] + across[0], y - along[1] + across[1]};
        const float right[2] = {x - along[0] - across[0], y - along[1] - across[1]};
        for (const float* corner : {tip, left, notch, tip, notch, right})
            glVertex2fv(corner);
    }
    glEnd();
}

} // namespace

void OverviewRenderer::draw(const OverviewLayout& layout, int width, int height)
{
    const SavedGLState saved(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_DEPTH_BUFFER_BIT | GL_COLOR_BUFFER_BIT
                                 | GL_VIEWPORT_BIT | GL_TEXTURE_BIT,
                             GL_CLIENT_VERTEX_ARRAY_BIT);
    glViewport(0, 0, width, height);
    glClearColor(background[0], background[1], background[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    plainState();
    const Fit view = fit(layout.box, width, height);
    setProjection(layout.box, view, width, height);
    drawGround(layout.ground);
    drawLines(layout.walls, wallColour);
    glDisable(GL_DEPTH_TEST); // a door under its lintel is still outlined
    drawLines(layout.brushEntities, brushEntityColour);
    const float arrow = std::max(smallestArrow, arrowPixels * float(std::min(width, height)));
    drawStarts(layout.starts, arrow * float(view.unitsPerPixel));
    restoreProjection();
}
