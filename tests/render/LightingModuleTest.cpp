#include "render/LightingModule.h"

#include "GLContext.h"
#include "TestFiles.h"

#include <GL/glew.h>

#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <string>

using testsupport::CerrCapture;
using testsupport::TempDir;

namespace {
struct Light4 {
    float v[4];
};

Light4 lightState(GLenum light, GLenum parameter)
{
    Light4 state{{-99, -99, -99, -99}};
    glGetLightfv(light, parameter, state.v);
    return state;
}

void expectLight(GLenum light, GLenum parameter, float a, float b, float c, float d)
{
    const Light4 state = lightState(light, parameter);
    EXPECT_NEAR(state.v[0], a, 1e-4) << "light " << light - GL_LIGHT0 << " parameter " << parameter;
    EXPECT_NEAR(state.v[1], b, 1e-4) << "light " << light - GL_LIGHT0 << " parameter " << parameter;
    EXPECT_NEAR(state.v[2], c, 1e-4) << "light " << light - GL_LIGHT0 << " parameter " << parameter;
    EXPECT_NEAR(state.v[3], d, 1e-4) << "light " << light - GL_LIGHT0 << " parameter " << parameter;
}

float spotCutoff(GLenum light)
{
    float cutoff = -1;
    glGetLightfv(light, GL_SPOT_CUTOFF, &cutoff);
    return cutoff;
}

const char* const fourLights = "4\n"
                               "sun light 0 1 0 1 0.5 0.25\n"
                               "lamp one 100 250 -40 0 1 0\n"
                               "lamp two -8 30 12 0 0 1\n"
                               "lamp three 1 2 3 0.5 0.5 0.5\n";

std::string refusal(const TempDir& dir, const std::string& contents)
{
    const std::string path = dir.write("scene.lights", contents);
    CerrCapture capture;
    try {
        LightingModule lighting(path);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "no error";
}

class LightingModuleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::ensureGLContext();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    TempDir dir;
};
} // namespace

TEST_F(LightingModuleTest, EchoesEveryLightAndUsesOnlyTheFirstFour)
{
    const std::string path = dir.write("six.lights",
        "6" + std::string(fourLights).substr(1) + "lamp four 7 8 9 1 1 1\nlamp five -1 -2 -3 1 1 1\n");
    CerrCapture capture;
    LightingModule lighting(path);
    EXPECT_EQ(capture.text(), "placed light at 0,1,0\n"
                              "placed light at 100,250,-40\n"
                              "placed light at -8,30,12\n"
                              "placed light at 1,2,3\n"
                              "placed light at 7,8,9\n"
                              "placed light at -1,-2,-3\n");
    EXPECT_EQ(lighting.getLightCount(), 6u);
    ASSERT_EQ(lighting.getLightPositions().size(), 6u);
    EXPECT_FLOAT_EQ(lighting.getLightPositions()[1].getY(), 250.0f);

    // Set up under the identity: positional, cone of 30 degrees, file colours with alpha 1.
    for (GLenum light = GL_LIGHT0; light <= GL_LIGHT3; ++light) {
        EXPECT_TRUE(glIsEnabled(light));
        EXPECT_FLOAT_EQ(spotCutoff(light), 30.0f);
        expectLight(light, GL_AMBIENT, 0.2f, 0.2f, 0.2f, 0.0f);
    }
    expectLight(GL_LIGHT0, GL_DIFFUSE, 1, 0.5f, 0.25f, 1);
    expectLight(GL_LIGHT1, GL_DIFFUSE, 0, 1, 0, 1);
    expectLight(GL_LIGHT1, GL_POSITION, 100, 250, -40, 1);
    expectLight(GL_LIGHT3, GL_POSITION, 1, 2, 3, 1);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(LightingModuleTest, ApplyLightsRespecifiesUnderTheView)
{
    LightingModule lighting(dir.write("four.lights", fourLights));
    glDisable(GL_LIGHTING);

    // A view tipped -90 degrees about X (eye y = world z, eye z = -world y), eye at x = 100.
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(-100.0f, 0.0f, 0.0f);
    lighting.applyLights();
    glLoadIdentity();

    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    // Light 0 is directional: the translation does not reach it.
    expectLight(GL_LIGHT0, GL_POSITION, 0, 0, -1, 0);
    EXPECT_FLOAT_EQ(spotCutoff(GL_LIGHT0), 180.0f);
    expectLight(GL_LIGHT1, GL_POSITION, 0, -40, -250, 1);
    expectLight(GL_LIGHT2, GL_POSITION, -108, 12, -30, 1);
    EXPECT_FLOAT_EQ(spotCutoff(GL_LIGHT2), 30.0f);
    // Straight down in the world is eye +Z under this view (GL's default would be -Z).
    for (GLenum light = GL_LIGHT1; light <= GL_LIGHT3; ++light) {
        float direction[3] = {9, 9, 9};
        glGetLightfv(light, GL_SPOT_DIRECTION, direction);
        EXPECT_NEAR(direction[0], 0, 1e-5);
        EXPECT_NEAR(direction[1], 0, 1e-5);
        EXPECT_NEAR(direction[2], 1, 1e-5);
    }

    lighting.disableLighting();
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT3)) << "the individual lights stay on";
}

TEST_F(LightingModuleTest, FewerThanFourLightsSwitchTheRestOff)
{
    LightingModule all(dir.write("four.lights", fourLights));
    ASSERT_TRUE(glIsEnabled(GL_LIGHT3));
    glLightfv(GL_LIGHT2, GL_POSITION, std::array<float, 4>{5, 6, 7, 1}.data());

    CerrCapture capture;
    LightingModule two(dir.write("two.lights", "2 a b 1 2 3 1 1 1 c d 4 5 6 1 1 1"));
    EXPECT_EQ(capture.text(), "placed light at 1,2,3\nplaced light at 4,5,6\n");
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT2));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT3));

    glTranslatef(-1, 0, 0);
    two.applyLights();
    glLoadIdentity();
    expectLight(GL_LIGHT1, GL_POSITION, 3, 5, 6, 1);
    expectLight(GL_LIGHT2, GL_POSITION, 5, 6, 7, 1); // never touched
    EXPECT_FALSE(glIsEnabled(GL_LIGHT2));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    two.disableLighting();
}

TEST_F(LightingModuleTest, UnreadableFilesAreRefusedWithTheFileAndLight)
{
    const std::string missing = dir.path() + "absent.lights";
    try {
        LightingModule lighting(missing);
        FAIL() << "a missing file was accepted";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()), missing + ": cannot open the lights file");
    }

    const std::string path = dir.path() + "scene.lights";
    const std::string entryHelp = " (expected two words, whole numbers x y z, then colour r g b)";
    EXPECT_EQ(refusal(dir, ""), path + ": cannot read the number of lights");
    EXPECT_EQ(refusal(dir, "four lights"), path + ": cannot read the number of lights");
    EXPECT_EQ(refusal(dir, "3 a b 1 2 3 1 1 1 c d 4 5 6 1 1 1"), path + ": cannot read light 3 of 3" + entryHelp);
    EXPECT_EQ(refusal(dir, "1 a b 10.5 2 3 1 1 1"), path + ": cannot read light 1 of 1" + entryHelp);
    EXPECT_EQ(refusal(dir, "2 a b 1 2 3 1 1 1 c d 4 5 6 1 green 1"), path + ": cannot read light 2 of 2" + entryHelp);
    // A huge declared count is not trusted for memory: the missing second entry is found first.
    EXPECT_EQ(refusal(dir, "4000000000 a b 1 2 3 1 1 1"), path + ": cannot read light 2 of 4000000000" + entryHelp);
}
