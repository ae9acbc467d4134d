#include "render/PickupRenderer.h"

#include "GLContext.h"

#include <GL/glew.h>

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {
using testsupport::contextHeight;
using testsupport::contextWidth;

// One pickup of `family` at the origin, seen along world -Z in a view of one unit a pixel, its
// base 2 pixels above the bottom: which pixels it covers, and whether each shows its colour shaded.
struct Silhouette {
    std::vector<bool> covered;
    bool inItsColour = true;
    int columns = 0; // how wide it stands
};

Silhouette drawn(Pickup::Family family, double seconds)
{
    Pickup pickup;
    pickup.family = family;
    pickup.shown = Pickup::colour(family);
    PickupRenderer renderer({pickup});
    glViewport(0, 0, contextWidth, contextHeight);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-32, 32, -2, 62, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderer.draw(seconds);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    std::vector<unsigned char> pixels(contextWidth * contextHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, contextWidth, contextHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    Silhouette silhouette;
    std::vector<bool> column(contextWidth, false);
    const std::array<unsigned char, 3> colour = pickup.shown;
    for (int i = 0; i < contextWidth * contextHeight; ++i) {
        const unsigned char* pixel = &pixels[std::size_t(i) * 3];
        const bool covered = pixel[0] + pixel[1] + pixel[2] > 0;
        silhouette.covered.push_back(covered);
        column[std::size_t(i % contextWidth)] = column[std::size_t(i % contextWidth)] || covered;
        const double shade = double(pixel[0] + pixel[1] + pixel[2]) / (colour[0] + colour[1] + colour[2]);
        for (std::size_t c = 0; c < 3 && covered; ++c)
            silhouette.inItsColour =
                silhouette.inItsColour && std::abs(pixel[c] - colour[c] * shade) <= 3 && shade > 0.4;
    }
    for (const bool filled : column)
        silhouette.columns += filled ? 1 : 0;
    return silhouette;
}
} // namespace

// Each family's form is its own and in its colour; a quarter turn later (1.5 s) the weapon shows
// its end, not its length.
TEST(PickupRendererTest, EachFamilyHasItsOwnFormAndTurns)
{
    testsupport::ensureGLContext();
    std::set<std::vector<bool>> forms;
    for (std::size_t f = 0; f < Pickup::familyCount; ++f) {
        SCOPED_TRACE(f);
        const Silhouette silhouette = drawn(Pickup::Family(f), 0);
        EXPECT_GT(silhouette.columns, 4);
        EXPECT_TRUE(silhouette.inItsColour);
        forms.insert(silhouette.covered);
    }
    EXPECT_EQ(forms.size(), Pickup::familyCount);
    const int length = drawn(Pickup::Family::weapon, 0).columns;
    const int end = drawn(Pickup::Family::weapon, 1.5).columns;
    EXPECT_GE(length, 24);
    EXPECT_LE(end, 6);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
