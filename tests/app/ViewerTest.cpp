#include "../image/TestImages.h"
#include "../level/LevelWriter.h"

#include "AllocationFailure.h"
#include "GLContext.h"
#include "TestFiles.h"
#include "ViewerProcess.h"

#include "app/Callbacks.h"
#include "app/Launch.h"
#include "app/Viewer.h"
#include "game/Camera.h"
#include "game/Movers.h"
#include "level/EntityText.h"
#include "level/PointMarker.h"
#include "render/BSPMap.h"

#include <GL/glut.h>
#include <GL/freeglut_ext.h>

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

using leveltest::FaceRecord;
using leveltest::LevelWriter;
using leveltest::VertexRecord;
using testsupport::CerrCapture;
using testsupport::TempDir;

namespace {
// A red square 100 units north of the world's origin (file +Y), facing it; every face in one
// leaf that sees itself; model 0's box 500 units either way.
LevelWriter wallLevel(const std::string& entities)
{
    LevelWriter writer;
    writer.setEntities(entities);
    writer.addTexture("textures/wall");
    const float corners[4][2] = {{-20, 20}, {20, 20}, {20, -20}, {-20, -20}};
    for (const auto& corner : corners) {
        VertexRecord vertex;
        vertex.position = {corner[0], 100.0f, corner[1]};
        vertex.normal = {0.0f, -1.0f, 0.0f};
        writer.addVertex(vertex);
    }
    for (int32_t index : {0, 1, 2, 0, 2, 3})
        writer.addMeshVertex(index);
    FaceRecord face;
    face.vertexCount = 4;
    face.meshVertexCount = 6;
    face.lightmapIndex = -1;
    writer.addFace(face);
    writer.addPlane({0.0f, 0.0f, 1.0f}, -1000.0f);
    writer.addNode(0, -1, -2, {-500, -500, -500}, {500, 500, 500});
    writer.addLeaf(0, 0, 1, 0, 0, {-500, -500, -500}, {500, 500, 500});
    writer.addLeaf(0, 0, 1, 0, 0, {-500, -500, -500}, {500, 500, 500});
    writer.addLeafFace(0);
    writer.addModel({-500, -500, -500}, {500, 500, 500}, 0, 1, 0, 0);
    return writer;
}

std::string playerStart(const char* classname, const char* origin, int angle)
{
    return std::string("{ \"classname\" \"") + classname + "\" \"origin\" \"" + origin + "\" \"angle\" \""
         + std::to_string(angle) + "\" }\n";
}

// Eyes at the world's origin facing the wall and facing away, and one farther back facing it.
const std::string threeStarts = "{ \"classname\" \"worldspawn\" }\n"
                              + playerStart("info_player_start", "0 0 -40", 90)
                              + playerStart("info_player_deathmatch", "0 0 -40", 270)
                              + playerStart("info_player_start", "0 -300 -40", 90);

// A level opened as `verdanth OPTIONS level.bsp` opens it, in the test's GL context.
struct LevelModeViewer {
    TempDir directory;
    std::unique_ptr<Viewer> viewer;
    std::string printed;    // the configuration level mode printed
    std::string transcript; // what loading said on stderr
    std::size_t entityParses = 0; // how often opening it parsed entity text

    explicit LevelModeViewer(const std::string& entities, std::vector<std::string> options = {})
    {
        std::filesystem::create_directories(directory.path() + "textures");
        std::vector<unsigned char> red;
        for (int i = 0; i < 64; ++i)
            red.insert(red.end(), {230, 20, 20});
        testimages::writeJpeg(directory.path() + "textures/wall.jpg", 8, 8, 3, JCS_RGB, red);
        options.push_back(directory.write("level.bsp", wallLevel(entities).bytes()));
        testsupport::ensureGLContext();
        onReshape(testsupport::contextWidth, testsupport::contextHeight);
        initGL();
        CerrCapture capture;
        std::ostringstream out;
        const std::size_t parsedBefore = EntityText::parseCount();
        viewer = std::make_unique<Viewer>(Launch::fromLevel(parseCommandLine(options), out));
        entityParses = EntityText::parseCount() - parsedBefore;
        printed = out.str();
        transcript = capture.text();
    }

    Camera& camera() const { return *viewer->camera(); }
    std::string status() const { return viewer->status().text(); }
    bool redAhead() const
    {
        const testsupport::Rgb centre =
            testsupport::readPixel(testsupport::contextWidth / 2, testsupport::contextHeight / 2);
        return centre.r > 150 && centre.g < 80;
    }
};

// What `c` printed on standard output.
std::string viewPrinted(Viewer& viewer)
{
    std::ostringstream out;
    std::streambuf* const kept = std::cout.rdbuf(out.rdbuf());
    viewer.pressKey('c');
    std::cout.rdbuf(kept);
    return out.str();
}
} // namespace

TEST(ViewerTest, HeldKeysMoveAtTheSetSpeedWhateverTheFrameRate)
{
    struct Case {
        const char* name;
        std::vector<std::string> options;
        unsigned char key;   // 0: none
        int specialKey;      // 0: none
        bool shift;
        float x, y, z;       // where one second of holding takes the eye from the origin, facing north
    };
    const Case cases[] = {
        {"w", {}, 'w', 0, false, 0, 0, -400},
        {"s at --speed 50", {"--speed", "50"}, 's', 0, false, 0, 0, 50},
        {"Shift and W", {}, 'W', 0, true, 0, 0, -1200},
        {"Shift and _", {}, '_', 0, true, 0, -1200, 0},
        {"a strafes", {}, 'a', 0, false, -400, 0, 0},
        {"Space rises", {}, ' ', 0, false, 0, 400, 0},
    };
    for (const Case& c : cases) {
        for (const int frameMilliseconds : {10, 125}) {
            SCOPED_TRACE(std::string(c.name) + " at one frame per " + std::to_string(frameMilliseconds) + " ms");
            LevelModeViewer level(threeStarts, c.options);
            Viewer& viewer = *level.viewer;
            viewer.pressKey('J'); // the first start: the origin, facing north
            int now = 5000;
            viewer.drawFrameAt(now);
            if (c.shift)
                viewer.pressSpecialKey(GLUT_KEY_SHIFT_L);
            c.key ? viewer.pressKey(c.key) : viewer.pressSpecialKey(c.specialKey);
            for (int frame = 0; frame < 1000 / frameMilliseconds; ++frame)
                viewer.drawFrameAt(now += frameMilliseconds);
            c.key ? viewer.releaseKey(c.key) : viewer.releaseSpecialKey(c.specialKey);
            viewer.drawFrameAt(now += frameMilliseconds);
            viewer.drawFrameAt(now += 200);
            const Point& eye = level.camera().getPosition();
            EXPECT_NEAR(eye.getX(), c.x, 0.01);
            EXPECT_NEAR(eye.getY(), c.y, 0.01);
            EXPECT_NEAR(eye.getZ(), c.z, 0.01);
        }
    }
}

TEST(ViewerTest, JumpsBetweenPlayerStartsAndSaysWhichOnTheStatusLine)
{
    LevelModeViewer level(threeStarts, {"--pitch", "-10"});
    Viewer& viewer = *level.viewer;
    EXPECT_NE(level.printed.find("start_vec = 0 0 0\nstart_angle = 270\nstart_pitch = -10\n"), std::string::npos)
        << "the deathmatch start first: " << level.printed;
    EXPECT_EQ(level.entityParses, 1u) << "start, brush entities and markers all read one parse";
    viewer.drawFrameAt(100); // within the first second: the frame rate stays 0
    EXPECT_FALSE(level.redAhead());
    EXPECT_EQ(level.status(), "FPS:0 X:0 Y:0 Z:0 H:270 P:-10  SCORE: 0");

    const struct {
        unsigned char key;
        const char* status;
        bool red;
    } jumps[] = {
        {'j', "FPS:0 X:0 Y:0 Z:300 H:90 P:0 start 3 of 3  SCORE: 0", true},
        {'j', "FPS:0 X:0 Y:0 Z:0 H:90 P:0 start 1 of 3  SCORE: 0", true},
        {'J', "FPS:0 X:0 Y:0 Z:300 H:90 P:0 start 3 of 3  SCORE: 0", true},
        {'J', "FPS:0 X:0 Y:0 Z:0 H:270 P:0 start 2 of 3  SCORE: 0", false},
    };
    int now = 100;
    for (const auto& jump : jumps) {
        SCOPED_TRACE(jump.status);
        viewer.pressKey(jump.key);
        viewer.drawFrameAt(now += 10);
        EXPECT_EQ(level.status(), jump.status);
        EXPECT_EQ(level.redAhead(), jump.red);
    }
    EXPECT_EQ(viewPrinted(viewer), "--at 0 0 0 --angle 270 --pitch 0\n");

    viewer.pressSpecialKey(GLUT_KEY_LEFT); // turning counts as moving the view
    viewer.drawFrameAt(now += 50);
    EXPECT_EQ(level.status(), "FPS:0 X:0 Y:0 Z:0 H:275 P:0  SCORE: 0");
    testsupport::allocationFailure::arm(0); // a flying frame allocates nothing
    viewer.drawFrameAt(now += 50);
    testsupport::allocationFailure::disarm();
    EXPECT_FALSE(testsupport::allocationFailure::fired());
    viewer.releaseSpecialKey(GLUT_KEY_LEFT);
    EXPECT_EQ(level.status(), "FPS:0 X:0 Y:0 Z:0 H:279 P:0  SCORE: 0");
    EXPECT_EQ(viewPrinted(viewer), "--at 0 0 0 --angle 279 --pitch 0\n");
}

// An item between the eye and the wall, a little below the eye, and a player start facing east
// whose arrow is seen from straight above.
TEST(ViewerTest, NShowsWherePointEntitiesStandOneColourPerFamilyAndStartsWithTheirHeading)
{
    const std::string entities = "{ \"classname\" \"worldspawn\" }\n" + playerStart("info_player_start", "0 -300 -40", 0)
                               + "{ \"classname\" \"item_health\" \"origin\" \"0 50 -3\" }\n";
    LevelModeViewer level(entities, {"--at", "0", "0", "0", "--angle", "90"});
    Viewer& viewer = *level.viewer;
    const auto near = [](const testsupport::Rgb& pixel, std::array<unsigned char, 3> colour) {
        return std::abs(pixel.r - colour[0]) <= 2 && std::abs(pixel.g - colour[1]) <= 2
            && std::abs(pixel.b - colour[2]) <= 2;
    };
    const auto at = [](int x, int y) { return testsupport::readPixel(x, y); };
    constexpr int middle = testsupport::contextWidth / 2;
    viewer.drawFrameAt(100);
    EXPECT_TRUE(level.redAhead()) << "markers start hidden";

    viewer.pressKey('n');
    viewer.drawFrameAt(110);
    EXPECT_TRUE(near(at(middle, middle), PointMarker::colour(PointMarker::Family::item)));

    // From 100 units above the start, looking down with north up: its arrow points east (right).
    level.camera().moveTo(Point(0, 60, 300));
    level.camera().faceHeading(90);
    level.camera().setPitch(-89);
    viewer.drawFrameAt(120);
    const std::array<unsigned char, 3> green = PointMarker::colour(PointMarker::Family::playerStart);
    EXPECT_TRUE(near(at(middle, middle), green));
    EXPECT_TRUE(near(at(middle + 11, middle), green)) << "14 units along the heading";
    EXPECT_FALSE(near(at(middle - 11, middle), green)) << "14 units behind it";

    viewer.pressKey('n');
    viewer.drawFrameAt(130);
    EXPECT_FALSE(near(at(middle, middle), green)) << "hidden again";
}

// On a level with nothing to jump to or mark, the keys say so once and change nothing in view.
TEST(ViewerTest, KeysWithNothingToActOnSaySoOnce)
{
    const struct {
        const char* keys;
        const char* line;
    } cases[] = {
        {"jJj", "verdanth: this level has no player starts to jump to\n"},
        {"nnn", "verdanth: this level has no point entities to mark\n"},
    };
    for (const auto& c : cases) {
        LevelModeViewer level("{ \"classname\" \"worldspawn\" }\n", {"--at", "1", "2", "3", "--angle", "90"});
        CerrCapture capture;
        for (const char* key = c.keys; *key; ++key)
            level.viewer->pressKey(static_cast<unsigned char>(*key));
        level.viewer->drawFrameAt(100);
        EXPECT_EQ(capture.text(), c.line) << c.keys;
        EXPECT_EQ(level.status(), "FPS:0 X:1 Y:2 Z:3 H:90 P:0  SCORE: 0") << c.keys;
        EXPECT_TRUE(level.redAhead()) << c.keys;
    }
}

// Under the demo's fan, the bobbing platform and the train beyond it: level mode's frames keep
// moving them, and a frame among them allocates nothing.
TEST(ViewerTest, AFrameAmongTheDemosMoversMovesThemAndAllocatesNothing)
{
    testsupport::ensureGLContext();
    onReshape(testsupport::contextWidth, testsupport::contextHeight);
    initGL();
    CerrCapture capture;
    std::ostringstream out;
    Viewer viewer(Launch::fromLevel(parseCommandLine({"--at", "1440", "40", "-250", "--angle", "90", "--pitch", "30",
                                                      testsupport::buildDir() + "/demo/demo.bsp"}),
                                    out));
    viewer.drawFrameAt(100); // the first frames size what later ones reuse
    viewer.drawFrameAt(150);
    const float turned = viewer.level()->look->movers()->all()[2].pose.degrees;
    testsupport::allocationFailure::arm(0);
    viewer.drawFrameAt(200);
    testsupport::allocationFailure::disarm();
    EXPECT_FALSE(testsupport::allocationFailure::fired());
    EXPECT_TRUE(viewer.level()->look->movesWithTime());
    EXPECT_NE(viewer.level()->look->movers()->all()[2].pose.degrees, turned) << "the fan";
}
