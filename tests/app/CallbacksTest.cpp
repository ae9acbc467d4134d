#include "../level/LevelWriter.h"

#include "AllocationFailure.h"
#include "GLContext.h"
#include "TestFiles.h"

#include "app/Callbacks.h"
#include "app/ConfigurationControls.h"
#include "app/Viewer.h"
#include "camera/Camera.h"
#include "render/BSPMap.h"

#include <GL/glew.h>
#include <GL/glut.h>

#include <gtest/gtest.h>

#include <stdexcept>

using leveltest::FaceRecord;
using leveltest::LevelWriter;
using leveltest::VertexRecord;
using testsupport::CerrCapture;
using testsupport::TempDir;

namespace {
// One patch face with a 5 x 3 grid, cut into two patches, so tessellation has something to change.
LevelWriter patchLevel()
{
    LevelWriter writer;
    writer.addTexture("textures/none");
    writer.addPlane({0.0f, 0.0f, 1.0f}, 0.0f);
    writer.addNode(0, -1, -2);
    writer.addLeaf(0, 0, 1);
    writer.addLeaf(0, 0, 0);
    writer.addLeafFace(0);
    for (int i = 0; i < 15; ++i) {
        VertexRecord vertex;
        vertex.position = {float(i % 5) * 10.0f, 0.0f, float(i / 5) * 10.0f};
        writer.addVertex(vertex);
    }
    FaceRecord face;
    face.type = LevelFormat::Patch;
    face.vertexCount = 15;
    face.patchSize = {5, 3};
    writer.addFace(face);
    return writer;
}

// One patch face whose (2 side + 1)-square control grid is cut into side x side patches.
LevelWriter manyPatchesLevel(int side)
{
    LevelWriter writer = patchLevel();
    const int width = 2 * side + 1;
    FaceRecord face;
    face.type = LevelFormat::Patch;
    face.firstVertex = int32_t(writer.lump(LevelFormat::Vertices).size() / 44);
    face.vertexCount = width * width;
    face.patchSize = {width, width};
    for (int i = 0; i < width * width; ++i) {
        VertexRecord vertex;
        vertex.position = {float(i % width), 0.0f, float(i / width)};
        writer.addVertex(vertex);
    }
    writer.addFace(face);
    return writer;
}

// A viewer built as start-up builds it, installed as the one the callbacks drive.
class CallbacksTest : public ::testing::Test {
protected:
    void SetUp() override { open(patchLevel()); }

    void open(const LevelWriter& level)
    {
        testsupport::ensureGLContext();
        Configuration configuration;
        configuration.dataPath = directory.path();
        configuration.levelPath = directory.write("level.bsp", level.bytes());
        configuration.lightsFile = directory.write("l.lights", "1 a b 0 1 0 1 1 1\n");
        CerrCapture quiet;
        viewer = std::make_unique<Viewer>(std::move(configuration));
        setCallbackViewer(viewer.get());
    }
    void TearDown() override { setCallbackViewer(nullptr); }

    const BezierPatch& patch() const { return viewer->level()->faces[0].patches[0]; }

    TempDir directory;
    std::unique_ptr<Viewer> viewer;
};
} // namespace

TEST_F(CallbacksTest, KeysDriveTheCameraAndTheToggles)
{
    onKeyboard('w', 0, 0);
    EXPECT_EQ(viewer->camera()->getPendingMove(), 5.0f);
    EXPECT_TRUE(viewer->camera()->getMoveSubtracts());
    onKeyboard('s', 0, 0);
    EXPECT_FALSE(viewer->camera()->getMoveSubtracts());
    onKeyboard('d', 0, 0);
    onKeyboard('d', 0, 0);
    onKeyboard('a', 0, 0);
    EXPECT_EQ(viewer->camera()->getYaw(), 2);
    onKeyboard('e', 0, 0);
    onKeyboard('r', 0, 0);
    onKeyboard('r', 0, 0);
    EXPECT_EQ(viewer->camera()->getPitch(), -5);
    onKeyboard('=', 0, 0);
    onKeyboard('=', 0, 0);
    onKeyboard('-', 0, 0);
    EXPECT_EQ(viewer->camera()->getPosition().getY(), 7.0f);
    onKeyboard('f', 0, 0);
    onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 5, 5);
    onMouse(GLUT_LEFT_BUTTON, GLUT_UP, 5, 5);
    onMouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 5, 5);
    EXPECT_EQ(viewer->camera()->shots().size(), 2u);
    onKeyboard('v', 0, 0);
    EXPECT_FALSE(viewer->camera()->isCullingEnabled());
    onKeyboard('v', 0, 0);
    EXPECT_TRUE(viewer->camera()->isCullingEnabled());
    onKeyboard('t', 0, 0);
    onKeyboard('l', 0, 0);
    EXPECT_FALSE(viewer->switches().textures);
    EXPECT_FALSE(viewer->switches().lighting);

    // Shifted letters are other characters and do nothing.
    const float y = viewer->camera()->getPosition().getY();
    for (unsigned char key : {'W', 'S', 'A', 'D', 'T', 'B', '+', '_'})
        onKeyboard(key, 0, 0);
    EXPECT_EQ(viewer->camera()->getYaw(), 2);
    EXPECT_EQ(viewer->camera()->getPosition().getY(), y);
    EXPECT_FALSE(viewer->switches().patchTessellation);
    EXPECT_FALSE(viewer->switches().textures);

    onSpecialKey(GLUT_KEY_LEFT, 0, 0);
    EXPECT_FALSE(viewer->camera()->getMoveSubtracts());
    onSpecialKey(GLUT_KEY_RIGHT, 0, 0);
    EXPECT_TRUE(viewer->camera()->getMoveSubtracts());
    EXPECT_EQ(viewer->camera()->getPendingMove(), 5.0f);
    onSpecialKey(GLUT_KEY_UP, 0, 0); // the up and down arrows do nothing
    onSpecialKey(GLUT_KEY_DOWN, 0, 0);
    EXPECT_TRUE(viewer->camera()->getMoveSubtracts());
}

TEST_F(CallbacksTest, TessellationKeysKeepTheLevelBetweenTwoAndTwenty)
{
    // While tessellation is off the level changes but nothing is tessellated.
    onKeyboard('<', 0, 0);
    EXPECT_EQ(viewer->switches().tessellationLevel, 9);
    EXPECT_TRUE(patch().vertices.empty());
    onKeyboard('b', 0, 0);
    EXPECT_TRUE(viewer->switches().patchTessellation);
    EXPECT_TRUE(viewer->level()->patchesTessellated);
    EXPECT_EQ(patch().vertices.size(), 100u); // (9 + 1)^2
    for (int i = 0; i < 30; ++i)
        onKeyboard('<', 0, 0);
    EXPECT_EQ(viewer->switches().tessellationLevel, 2);
    EXPECT_EQ(patch().vertices.size(), 9u);
    for (int i = 0; i < 30; ++i)
        onKeyboard('>', 0, 0);
    EXPECT_EQ(viewer->switches().tessellationLevel, 20);
    EXPECT_EQ(patch().vertices.size(), 441u);
    onKeyboard('b', 0, 0);
    EXPECT_FALSE(viewer->level()->patchesTessellated);
    EXPECT_EQ(patch().vertices.size(), 441u); // switching off keeps the tessellation
}

TEST_F(CallbacksTest, TessellationThatRunsOutOfMemoryKeepsThePreviousOne)
{
    namespace allocationFailure = testsupport::allocationFailure;
    onKeyboard('b', 0, 0);
    const auto& patches = viewer->level()->faces[0].patches;
    ASSERT_EQ(patches.size(), 2u);
    CerrCapture capture;
    // The list of new tessellations, then the first patch's vertices and strips: the second
    // patch's vertices fail, after the first patch's new tessellation exists.
    allocationFailure::arm(3);
    onKeyboard('>', 0, 0);
    allocationFailure::disarm();
    EXPECT_TRUE(allocationFailure::fired());
    EXPECT_EQ(capture.text(), "verdanth: not enough memory to tessellate the curved surfaces at level 11; "
                              "they keep their tessellation\n");
    EXPECT_EQ(viewer->switches().tessellationLevel, 10);
    for (const BezierPatch& kept : patches) {
        EXPECT_EQ(kept.level, 10);
        EXPECT_EQ(kept.vertices.size(), 121u);
    }

    onKeyboard('>', 0, 0); // with memory back the step goes through
    EXPECT_EQ(viewer->switches().tessellationLevel, 11);
    EXPECT_EQ(patches[1].vertices.size(), 144u);
}

TEST_F(CallbacksTest, FinerTessellationIsRefusedBeforeItOutgrowsTheLevel)
{
    open(manyPatchesLevel(50)); // 2,500 patches in a level of a few megabytes
    for (int i = 0; i < 2; ++i)
        onKeyboard('>', 0, 0); // level 12, nothing tessellated yet
    onKeyboard('b', 0, 0);
    CerrCapture capture;
    for (int i = 0; i < 8; ++i)
        onKeyboard('>', 0, 0);
    const int reached = viewer->switches().tessellationLevel;
    EXPECT_GT(reached, 12);
    EXPECT_LT(reached, 20) << "old and new tessellation together pass the 64 MiB floor well before level 20";
    EXPECT_EQ(viewer->level()->faces[1].patches[0].level, reached);
    const std::string refusal = "verdanth: the curved surfaces at level " + std::to_string(reached + 1) + " would need ";
    EXPECT_EQ(capture.text().rfind(refusal, 0), 0u) << capture.text();
    EXPECT_NE(capture.text().find(" MiB allowed (4 times the level's 2 MiB); they keep their tessellation\n"),
              std::string::npos)
        << capture.text();
}

TEST_F(CallbacksTest, AnExceptionInACallbackIsReportedAndReleasesTheLevel)
{
    CerrCapture capture;
    EXPECT_TRUE(runGuarded(viewer.get(), [] {}));
    EXPECT_NE(viewer->level(), nullptr);
    EXPECT_FALSE(runGuarded(viewer.get(), [] { throw std::runtime_error("the level went away"); }));
    EXPECT_EQ(capture.text(), "verdanth: the level went away\n");
    EXPECT_EQ(viewer->level(), nullptr);
    EXPECT_EQ(viewer->camera(), nullptr);
}

TEST_F(CallbacksTest, MouseLookMeasuresFromTheLastPositionStartingAtTheOrigin)
{
    onPassiveMotion(30, 0); // the first event measures from (0, 0)
    EXPECT_EQ(viewer->camera()->getYaw(), 30);
    EXPECT_EQ(viewer->camera()->getPitch(), 0);
    EXPECT_EQ(viewer->camera()->getForward().length(), 5.0f); // a turn happened, if only vertically by 0
    onPassiveMotion(20, 10);
    EXPECT_EQ(viewer->camera()->getYaw(), 20);
    EXPECT_EQ(viewer->camera()->getPitch(), -10);
    onPassiveMotion(20, 4);
    EXPECT_EQ(viewer->camera()->getPitch(), -4);
    const auto& controls = dynamic_cast<const ConfigurationControls&>(viewer->controls());
    EXPECT_EQ(controls.lastPointerX(), 20);
    EXPECT_EQ(controls.lastPointerY(), 4);
}

TEST_F(CallbacksTest, ReshapeKeepsTheProjectionInStepWithTheWindow)
{
    onReshape(200, 0); // height 0 counts as 1
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 200);
    EXPECT_EQ(viewport[3], 1);
    float projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    // gluPerspective: [0] = f / aspect, [5] = f with f = cot(22.5 degrees).
    EXPECT_NEAR(projection[5] / projection[0], 200.0, 1e-3);
    EXPECT_NEAR(projection[14], -2.0 * 4000.0 * 1.25 / (4000.0 - 1.25), 1e-3);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    onReshape(testsupport::contextWidth, testsupport::contextHeight);
}

TEST_F(CallbacksTest, ShutdownReleasesDisplayCameraAndLevel)
{
    viewer->shutdown();
    EXPECT_EQ(viewer->display(), nullptr);
    EXPECT_EQ(viewer->camera(), nullptr);
    EXPECT_EQ(viewer->level(), nullptr);
}
