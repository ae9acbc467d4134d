#include "../image/TestImages.h"
#include "../level/LevelWriter.h"

#include "AllocationFailure.h"
#include "GLContext.h"
#include "TestFiles.h"
#include "ViewerProcess.h"

#include "app/Callbacks.h"
#include "app/Launch.h"
#include "app/Viewer.h"
#include "camera/Camera.h"
#include "simulation/World.h"
#include "level/EntityText.h"
#include "level/Pickup.h"
#include "level/PointMarker.h"
#include "render/BSPMap.h"
#include "render/DesignedLook.h"
#include "simulation/ToolVolumes.h"

#include <GL/glut.h>
#include <GL/freeglut_ext.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
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
// Then a team's spawn farther back facing away, and an intermission view whose origin is the eye.
const std::string everyKindOfStart = threeStarts + playerStart("team_x_redspawn", "0 -300 -40", 270)
                                   + "{ \"classname\" \"info_player_intermission\" \"origin\" \"0 0 0\" "
                                     "\"angles\" \"0 90 0\" }\n";

bool samePixel(const testsupport::Rgb& a, const testsupport::Rgb& b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

// The wall level with one brush between the eye and the wall (file x and z -10..10, y 40..60),
// written as compilers write it: a world brush whose record says what it is, or a trigger
// entity's inline model whose record says solid, or a world brush bounding a fog effect.
LevelWriter volumeLevel(const std::string& entities, const std::string& texture, int32_t contents, bool ofEntity,
                        bool fog)
{
    LevelWriter writer = wallLevel(entities);
    writer.addTexture(texture, 0, contents);
    const std::array<std::array<float, 4>, 6> sides = {
        {{1, 0, 0, 10}, {-1, 0, 0, 10}, {0, 1, 0, 60}, {0, -1, 0, -40}, {0, 0, 1, 10}, {0, 0, -1, 10}}};
    for (const auto& side : sides) {
        writer.addPlane({side[0], side[1], side[2]}, side[3]);
        writer.addBrushSide(int32_t(&side - sides.data()) + 1, 1);
    }
    writer.addBrush(0, 6, 1);
    writer.lump(LevelFormat::Models).clear();
    writer.addModel({-500, -500, -500}, {500, 500, 500}, 0, 1, 0, ofEntity ? 0 : 1);
    if (ofEntity)
        writer.addModel({-10, 40, -10}, {10, 60, 10}, 1, 0, 0, 1);
    if (fog)
        writer.addEffect("textures/fog", 0, -1);
    return writer;
}

// A level opened as `verdanth OPTIONS level.bsp` opens it, in the test's GL context.
struct LevelModeViewer {
    TempDir directory;
    std::unique_ptr<Viewer> viewer;
    std::string printed;    // the configuration level mode printed
    std::string transcript; // what loading said on stderr
    std::size_t entityParses = 0; // how often opening it parsed entity text

    explicit LevelModeViewer(const std::string& entities, std::vector<std::string> options = {})
        : LevelModeViewer(wallLevel(entities), std::move(options))
    {
    }

    LevelModeViewer(const LevelWriter& level, std::vector<std::string> options)
    {
        std::filesystem::create_directories(directory.path() + "textures");
        std::vector<unsigned char> red;
        for (int i = 0; i < 64; ++i)
            red.insert(red.end(), {230, 20, 20});
        testimages::writeJpeg(directory.path() + "textures/wall.jpg", 8, 8, 3, JCS_RGB, red);
        options.push_back(directory.write("level.bsp", level.bytes()));
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
// What a key (c, unless another is named) prints on standard output.
std::string viewPrinted(Viewer& viewer, unsigned char key = 'c')
{
    std::ostringstream out;
    std::streambuf* const kept = std::cout.rdbuf(out.rdbuf());
    viewer.pressKey(key);
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

// The wheel (GLUT's buttons 3 and 4, each turn pressed and released) and [ and ] step the flying
// speed, which the status line shows and the held keys fly at; the wheel holds no pointer.
TEST(ViewerTest, TheWheelAndBracketsStepTheFlyingSpeedShownOnTheStatusLine)
{
    LevelModeViewer level(threeStarts);
    Viewer& viewer = *level.viewer;
    const auto wheel = [&viewer](int button) {
        viewer.pressMouseButton(button, GLUT_DOWN, 10, 10);
        viewer.pressMouseButton(button, GLUT_UP, 10, 10);
    };
    const struct {
        const char* name;
        std::function<void()> input;
        const char* speed;
    } steps[] = {
        {"]", [&] { viewer.pressKey(']'); }, " speed 800 "},
        {"wheel away", [&] { wheel(3); }, " speed 1600 "},
        {"wheel away again", [&] { wheel(3); }, " speed 3200 "},
        {"] to the top", [&] { viewer.pressKey(']'); }, " speed 6400 "},
        {"] past it", [&] { viewer.pressKey(']'); }, " speed 6400 "},
        {"[", [&] { viewer.pressKey('['); }, " speed 3200 "},
        {"wheel toward", [&] { wheel(4); }, " speed 1600 "},
    };
    int now = 100;
    for (const auto& step : steps) {
        step.input();
        viewer.drawFrameAt(now += 10);
        EXPECT_NE(level.status().find(step.speed), std::string::npos) << step.name << ": " << level.status();
    }
    const float startZ = level.camera().getPosition().getZ();
    const float startYaw = level.camera().getYaw();
    viewer.movePointer(200, 10); // the pointer was never held: it turns nothing
    viewer.pressKey('s');
    viewer.drawFrameAt(now += 250);
    viewer.releaseKey('s');
    EXPECT_NEAR(std::abs(level.camera().getPosition().getZ() - startZ), 400, 0.01) << "a quarter second at 1600";
    EXPECT_EQ(level.camera().getYaw(), startYaw);
}

TEST(ViewerTest, JumpsBetweenEveryKindOfStartAndSaysWhichOnTheStatusLine)
{
    // Opened at the deathmatch start, as a jump there leaves the view: counted as that start.
    LevelModeViewer atStart(everyKindOfStart);
    atStart.viewer->drawFrameAt(100);
    EXPECT_EQ(atStart.status(), "X:0 Y:0 Z:0 H:270 P:0 speed 400 start 2 of 5, deathmatch  SCORE: 0");
    atStart.viewer->pressKey('j');
    atStart.viewer->drawFrameAt(110);
    EXPECT_EQ(atStart.status(), "X:0 Y:0 Z:300 H:90 P:0 speed 400 start 3 of 5, ordinary  SCORE: 0");

    // Looking down from there is no start's view: j begins at the first.
    LevelModeViewer level(everyKindOfStart, {"--pitch", "-10"});
    Viewer& viewer = *level.viewer;
    EXPECT_NE(level.printed.find("start_vec = 0 0 0\nstart_angle = 270\nstart_pitch = -10\n"), std::string::npos)
        << "the deathmatch start first: " << level.printed;
    EXPECT_EQ(level.entityParses, 1u) << "start, brush entities and markers all read one parse";
    viewer.drawFrameAt(100); // within the first second: no frame rate yet
    EXPECT_FALSE(level.redAhead());
    EXPECT_EQ(level.status(), "X:0 Y:0 Z:0 H:270 P:-10 speed 400  SCORE: 0");

    const struct {
        unsigned char key;
        const char* status;
        bool red;
    } jumps[] = {
        {'j', "X:0 Y:0 Z:0 H:90 P:0 speed 400 start 1 of 5, ordinary  SCORE: 0", true},
        {'j', "X:0 Y:0 Z:0 H:270 P:0 speed 400 start 2 of 5, deathmatch  SCORE: 0", false},
        {'j', "X:0 Y:0 Z:300 H:90 P:0 speed 400 start 3 of 5, ordinary  SCORE: 0", true},
        {'j', "X:0 Y:0 Z:300 H:270 P:0 speed 400 start 4 of 5, team red  SCORE: 0", false},
        {'j', "X:0 Y:0 Z:0 H:90 P:0 speed 400 start 5 of 5, intermission  SCORE: 0", true},
        {'j', "X:0 Y:0 Z:0 H:90 P:0 speed 400 start 1 of 5, ordinary  SCORE: 0", true},
        {'J', "X:0 Y:0 Z:0 H:90 P:0 speed 400 start 5 of 5, intermission  SCORE: 0", true},
        {'J', "X:0 Y:0 Z:300 H:270 P:0 speed 400 start 4 of 5, team red  SCORE: 0", false},
        {'J', "X:0 Y:0 Z:300 H:90 P:0 speed 400 start 3 of 5, ordinary  SCORE: 0", true},
        {'J', "X:0 Y:0 Z:0 H:270 P:0 speed 400 start 2 of 5, deathmatch  SCORE: 0", false},
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
    EXPECT_EQ(level.status(), "X:0 Y:0 Z:0 H:275 P:0 speed 400  SCORE: 0");
    testsupport::allocationFailure::arm(0); // a flying frame allocates nothing
    viewer.drawFrameAt(now += 50);
    testsupport::allocationFailure::disarm();
    EXPECT_FALSE(testsupport::allocationFailure::fired());
    viewer.releaseSpecialKey(GLUT_KEY_LEFT);
    EXPECT_EQ(level.status(), "X:0 Y:0 Z:0 H:279 P:0 speed 400  SCORE: 0");
    EXPECT_EQ(viewPrinted(viewer), "--at 0 0 0 --angle 279 --pitch 0\n");

    // Whole units, never an exponent; the frame rate once a second has been measured.
    level.camera().moveTo(Point(0.4f, -2.58645e-14f, -1234.6f));
    viewer.drawFrameAt(now += 1000);
    EXPECT_EQ(level.status().substr(0, 4), "FPS:");
    EXPECT_NE(level.status().find(" X:0 Y:0 Z:-1235 H:279 P:0 speed 400  SCORE: 0"), std::string::npos)
        << level.status();
}

// A pickup between the eye and the wall, a little below the eye, shown from the start; n shows
// every other point entity's marker too, a colour per family, and a player start facing east
// with its arrow seen from straight above; n again shows nothing, and once more the pickups.
TEST(ViewerTest, NStepsFromThePickupsToEveryMarkerToNothing)
{
    const std::string entities = "{ \"classname\" \"worldspawn\" }\n" + playerStart("info_player_start", "0 -300 -40", 0)
                               + "{ \"classname\" \"item_health\" \"origin\" \"0 50 -3\" }\n";
    LevelModeViewer level(entities, {"--at", "0", "0", "0", "--angle", "90"});
    Viewer& viewer = *level.viewer;
    const auto near = [](const testsupport::Rgb& pixel, std::array<unsigned char, 3> colour) {
        return std::abs(pixel.r - colour[0]) <= 2 && std::abs(pixel.g - colour[1]) <= 2
            && std::abs(pixel.b - colour[2]) <= 2;
    };
    const auto shaded = [](const testsupport::Rgb& pixel, std::array<unsigned char, 3> colour) {
        const double shade = pixel.r / double(colour[0]);
        return shade >= 0.4 && shade <= 1.01 && std::abs(pixel.g - colour[1] * shade) <= 3
            && std::abs(pixel.b - colour[2] * shade) <= 3;
    };
    const auto at = [](int x, int y) { return testsupport::readPixel(x, y); };
    constexpr int middle = testsupport::contextWidth / 2;
    const std::array<unsigned char, 3> health = Pickup::colour(Pickup::Family::health);
    viewer.drawFrameAt(100);
    EXPECT_TRUE(shaded(at(middle, middle), health)) << "the pickup, from the start";
    EXPECT_EQ(viewer.level()->look->switches().markers, Look::Markers::pickups);

    const auto brightnessBeside = [&] { // up and right of the centre, where a label goes
        int sum = 0;
        for (int x = middle + 12; x < testsupport::contextWidth; ++x)
            for (int y = middle + 12; y < testsupport::contextHeight; ++y)
                sum += at(x, y).r + at(x, y).g + at(x, y).b;
        return sum;
    };
    const int unlabelled = brightnessBeside();
    viewer.pressKey('n');
    viewer.drawFrameAt(110);
    EXPECT_TRUE(shaded(at(middle, middle), health));
    EXPECT_GT(std::abs(brightnessBeside() - unlabelled), unlabelled / 4 + 1000)
        << "the entity under the centre is labelled with its class";

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
    level.camera().moveTo(Point(0, 0, 0));
    level.camera().setPitch(0);
    viewer.drawFrameAt(140);
    EXPECT_TRUE(level.redAhead()) << "and the pickup too";

    viewer.pressKey('n');
    viewer.drawFrameAt(150);
    EXPECT_TRUE(shaded(at(middle, middle), health)) << "the pickups again";
}

// A pickup keeps frames coming while a pixel of it is seen: not behind the wall, nor once n hid
// it; a frame that turns it allocates nothing.
TEST(ViewerTest, APickupSeenTurnsAndKeepsFramesComingWithoutAllocating)
{
    const struct {
        const char* name;
        const char* origin; // file coordinates: the wall stands at y 100
        const char* keys;
        bool moves;
    } cases[] = {
        {"before the wall", "0 50 -3", "", true},
        {"behind it", "0 150 -3", "", false},
        {"with every marker", "0 50 -3", "n", true},
        {"hidden", "0 50 -3", "nn", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LevelModeViewer level("{ \"classname\" \"worldspawn\" }\n{ \"classname\" \"weapon_railgun\" \"origin\" \""
                                  + std::string(c.origin) + "\" }\n",
                              {"--at", "0", "0", "0", "--angle", "90"});
        Viewer& viewer = *level.viewer;
        for (const char* key = c.keys; *key; ++key)
            viewer.pressKey(static_cast<unsigned char>(*key));
        for (int now = 100; now <= 250; now += 50) // the first frames let the GL driver build its state
            viewer.drawFrameAt(now);
        testsupport::allocationFailure::arm(0);
        viewer.drawFrameAt(300);
        testsupport::allocationFailure::disarm();
        EXPECT_FALSE(testsupport::allocationFailure::fired());
        EXPECT_EQ(viewer.level()->look->movesWithTime(), c.moves);
    }
}

// i names the face under the centre of the view and the entity within a few degrees of it, and
// shows the lines over the view until it moves.
TEST(ViewerTest, ITellsWhatIsAheadAndShowsItUntilTheViewMoves)
{
    const std::string entities = "{ \"classname\" \"worldspawn\" }\n"
                               + std::string("{ \"classname\" \"item_health\" \"origin\" \"0 50 -3\" }\n");
    LevelModeViewer level(entities, {"--at", "0", "0", "0", "--angle", "90"});
    Viewer& viewer = *level.viewer;
    EXPECT_EQ(viewPrinted(viewer, 'i'),
              "face 0: polygon, texture 0 textures/wall (no material), lightmap -1, surface flags 0x0, contents 0x0, "
              "met at 0 0 -100, 100 units away\n"
              "entity 1: item_health, 3.4 degrees off the view, 50 units away\n"
              "  \"classname\" \"item_health\"\n"
              "  \"origin\" \"0 50 -3\"\n");
    const auto whiteTopLeft = [] {
        int white = 0;
        for (int x = 0; x < testsupport::contextWidth / 2; ++x)
            for (int y = testsupport::contextHeight - 40; y < testsupport::contextHeight; ++y) {
                const testsupport::Rgb pixel = testsupport::readPixel(x, y);
                white += pixel.r > 200 && pixel.g > 200 && pixel.b > 200;
            }
        return white;
    };
    viewer.drawFrameAt(100);
    const int shown = whiteTopLeft();
    // Turned away and back by the same angle: the same view, without the lines.
    viewer.pressSpecialKey(GLUT_KEY_LEFT);
    viewer.drawFrameAt(200);
    viewer.releaseSpecialKey(GLUT_KEY_LEFT);
    viewer.pressSpecialKey(GLUT_KEY_RIGHT);
    viewer.drawFrameAt(300);
    viewer.releaseSpecialKey(GLUT_KEY_RIGHT);
    viewer.drawFrameAt(310);
    EXPECT_EQ(level.camera().getYaw(), 0);
    EXPECT_GT(shown, whiteTopLeft() + 20) << "the lines were over the view until it moved";
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
        EXPECT_EQ(level.status(), "X:1 Y:2 Z:3 H:90 P:0 speed 400  SCORE: 0") << c.keys;
        EXPECT_TRUE(level.redAhead()) << c.keys;
    }
}

// Under the demo's fan, the bobbing platform and the train beyond it: level mode's frames keep
// moving them, and a frame among them allocates nothing. A reload keeps the clock and the switches.
TEST(ViewerTest, TheDemosMoversMoveWithoutAllocatingAndGoOnFromTheirClockAfterAReload)
{
    testsupport::ensureGLContext();
    onReshape(testsupport::contextWidth, testsupport::contextHeight);
    initGL();
    CerrCapture capture;
    std::ostringstream out;
    Viewer viewer(Launch::fromLevel(parseCommandLine({"--at", "1440", "40", "-250", "--angle", "90", "--pitch", "30",
                                                      testsupport::buildDir() + "/demo/demo.bsp"}),
                                    out));
    // The first frames size what later ones reuse, and let the GL driver build its state.
    for (int now = 100; now <= 250; now += 50)
        viewer.drawFrameAt(now);
    const float turned = viewer.world().movers().all()[2].pose.degrees;
    testsupport::allocationFailure::arm(0);
    viewer.drawFrameAt(300);
    testsupport::allocationFailure::disarm();
    EXPECT_FALSE(testsupport::allocationFailure::fired());
    EXPECT_TRUE(viewer.level()->look->movesWithTime());
    EXPECT_NE(viewer.world().movers().all()[2].pose.degrees, turned) << "the fan";
    const double seconds = viewer.level()->look->clock();
    viewer.pressKey('m');
    viewer.pressKey('n');
    ASSERT_TRUE(viewer.reload());
    EXPECT_EQ(viewer.level()->look->clock(), seconds) << "a reloaded level's clock goes on";
    EXPECT_FALSE(viewer.level()->look->switches().lightmaps) << "m is still off";
    EXPECT_EQ(viewer.level()->look->switches().markers, Look::Markers::all) << "and the markers still shown";
}

// The level file gone, made a folder or given back cut short: a reload keeps the level shown,
// with one line, and the view goes on drawing it.
TEST(ViewerTest, AReloadThatCannotOpenTheLevelKeepsTheOneShown)
{
    const struct {
        const char* name;
        std::function<void(const std::string&)> spoil;
    } cases[] = {
        {"deleted", [](const std::string& path) { std::filesystem::remove(path); }},
        {"replaced by a folder",
         [](const std::string& path) {
             std::filesystem::remove(path);
             std::filesystem::create_directory(path);
         }},
        {"half written", [](const std::string& path) { std::filesystem::resize_file(path, 100); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LevelModeViewer level("{ \"classname\" \"worldspawn\" }\n", {"--at", "1", "2", "3", "--angle", "90"});
        const BSPMap* const shown = level.viewer->level();
        c.spoil(level.directory.path() + "level.bsp");
        CerrCapture capture;
        EXPECT_FALSE(level.viewer->reload());
        const std::string said = capture.text();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_NE(said.find("not reloaded, the level shown stays: "), std::string::npos) << said;
        EXPECT_EQ(level.viewer->level(), shown);
        level.viewer->drawFrameAt(100);
        EXPECT_TRUE(level.redAhead());
    }
}

// g where the player's box would be inside the demo's floor stands it on the floor's top, as its
// nearest clear spot; g deep in the rock at its west edge keeps flying, with one line. Pressing g
// again and again builds what blocks a box once for the level, and once more after a reload.
TEST(ViewerTest, GInAWallStandsOnTheNearestClearSpotOrKeepsFlyingAndTheCollisionIsBuiltOncePerLoad)
{
    testsupport::ensureGLContext();
    onReshape(testsupport::contextWidth, testsupport::contextHeight);
    initGL();
    const std::string demo = testsupport::buildDir() + "/demo/demo.bsp";
    std::ostringstream out;
    const std::size_t builds = World::collisionBuilds();
    {
        // The eye 30 above the start's floor: the feet would be 20 units into it.
        CerrCapture capture;
        Viewer viewer(Launch::fromLevel(parseCommandLine({"--at", "1440", "30", "-96", demo}), out));
        viewer.drawFrameAt(100);
        viewer.pressKey('g');
        viewer.drawFrameAt(110);
        EXPECT_NE(viewer.status().text().find(" walking"), std::string::npos) << viewer.status().text();
        EXPECT_GE(viewer.camera()->getPosition().getY(), 50.0f) << "its feet on the floor, its eye 50 above";
        for (int press = 0; press < 4; ++press)
            viewer.pressKey('g');
        EXPECT_EQ(World::collisionBuilds(), builds + 1);
        ASSERT_TRUE(viewer.reload());
        EXPECT_EQ(World::collisionBuilds(), builds + 2) << "the walk goes on in the reloaded level";
        EXPECT_EQ(capture.text().find("inside a wall"), std::string::npos) << capture.text();
    }
    CerrCapture capture;
    Viewer viewer(Launch::fromLevel(parseCommandLine({"--at", "64", "66", "-96", demo}), out));
    viewer.drawFrameAt(100);
    viewer.pressKey('g');
    viewer.drawFrameAt(110);
    EXPECT_EQ(viewer.status().text().find(" walking"), std::string::npos) << viewer.status().text();
    EXPECT_NE(capture.text().find("verdanth: inside a wall, with no room to stand within 64 units; flying\n"),
              std::string::npos)
        << capture.text();
}

// / opens the search line over the demo, which takes every key while open (typed letters fly and
// toggle nothing): the entities its text names are counted, Backspace edits, Enter goes to one
// where the eye sees it (i names it once Escape has closed the line), and a reload keeps the line
// as it was. A frame with the line shown allocates nothing.
TEST(ViewerTest, SlashFindsAnEntityAndTheEyeGoesWhereItSeesIt)
{
    testsupport::ensureGLContext();
    onReshape(testsupport::contextWidth, testsupport::contextHeight);
    initGL();
    CerrCapture capture;
    std::ostringstream out;
    Viewer viewer(Launch::fromLevel(parseCommandLine({testsupport::buildDir() + "/demo/demo.bsp"}), out));
    const auto eye = [&viewer] {
        const Point& at = viewer.camera()->getPosition();
        return std::array<float, 3>{at.getX(), at.getY(), at.getZ()};
    };
    const std::array<float, 3> start = eye();
    const auto panel = [&viewer] { return viewer.controls().panel(*viewer.camera()); };
    const auto type = [&viewer](const std::string& keys) {
        for (const char key : keys)
            viewer.pressKey(static_cast<unsigned char>(key));
    };
    viewer.pressKey('/');
    type("weaponx");
    EXPECT_EQ(panel(), std::vector<std::string>{"find: weaponx  no match"});
    type("\b");
    int now = 100;
    for (; now <= 250; now += 50)
        viewer.drawFrameAt(now);
    EXPECT_EQ(panel(), std::vector<std::string>{"find: weapon  1 match"});
    EXPECT_EQ(eye(), start) << "w, a, e and the rest were typed";
    EXPECT_EQ(viewer.level()->look->switches().markers, Look::Markers::pickups) << "n was typed";
    testsupport::allocationFailure::arm(0);
    viewer.drawFrameAt(now += 50);
    testsupport::allocationFailure::disarm();
    EXPECT_FALSE(testsupport::allocationFailure::fired());

    type("\r");
    const std::vector<std::string> found{"find: weapon  1 of 1  weapon_launcher, entity 31"};
    EXPECT_EQ(panel(), found);
    EXPECT_NE(eye(), start);
    ASSERT_TRUE(viewer.reload());
    EXPECT_EQ(panel(), found) << "the text and the match kept";
    ASSERT_TRUE(viewer.controls().escapeCloses());
    viewer.pressKey(27);
    EXPECT_FALSE(viewer.controls().escapeCloses()) << "closed: the next Escape quits";
    EXPECT_NE(viewPrinted(viewer, 'i').find("\nentity 31: weapon_launcher, "), std::string::npos);
}

// An entity whose origin is not a number is named, not visited: the line says why and the eye
// stays.
TEST(ViewerTest, AnEntityWithoutAPlaceIsFoundButNotVisited)
{
    LevelModeViewer level("{ \"classname\" \"worldspawn\" }\n"
                          "{ \"classname\" \"info_notnull\" \"origin\" \"nan 0 0\" }\n",
                          {"--at", "1", "2", "3"});
    Viewer& viewer = *level.viewer;
    for (const char key : std::string("/notnull\r"))
        viewer.pressKey(static_cast<unsigned char>(key));
    const std::vector<std::string> lines{"find: notnull  1 of 1  info_notnull, entity 1",
                                         "not visited: its origin \"nan 0 0\" is not three finite numbers"};
    EXPECT_EQ(viewer.controls().panel(level.camera()), lines);
    const Point& eye = level.camera().getPosition();
    EXPECT_EQ((std::array<float, 3>{eye.getX(), eye.getY(), eye.getZ()}), (std::array<float, 3>{1, 2, 3}));
}

// k shows each kind of volume in its own colour where its brush stands, between the eye and the
// wall (seen through both its near and far sides), with the legend on the status line; nothing
// before k or after k again, nor with the view turned away from it.
TEST(ViewerTest, KShowsEachKindOfToolVolumeInItsColourWhereItsBrushIs)
{
    const std::string world = "{ \"classname\" \"worldspawn\" }\n";
    const auto trigger = [&](const std::string& classname, const std::string& more = "") {
        return world + "{ \"classname\" \"" + classname + "\" \"model\" \"*1\" " + more + "}\n";
    };
    const std::string pusher = trigger("trigger_multiple", "\"target\" \"p\" ")
                             + "{ \"classname\" \"target_push\" \"targetname\" \"p\" \"target\" \"top\" }\n"
                             + "{ \"classname\" \"target_position\" \"targetname\" \"top\" \"origin\" \"0 0 200\" }\n";
    const std::string trig = "textures/common/trigger";
    const struct {
        std::string name;
        std::string entities;
        std::string texture;
        int32_t contents;
        ToolVolumes::Kind kind;
    } cases[] = {
        {"player clip", world, "textures/common/playerclip", LevelFormat::contentsPlayerClip, ToolVolumes::Kind::clip},
        {"pad", trigger("trigger_push", "\"target\" \"nowhere\" "), trig, LevelFormat::contentsSolid,
         ToolVolumes::Kind::push},
        {"multiple that pushes", pusher, trig, LevelFormat::contentsSolid, ToolVolumes::Kind::push},
        {"teleporter", trigger("trigger_teleport"), trig, LevelFormat::contentsSolid, ToolVolumes::Kind::teleport},
        {"hurt", trigger("trigger_hurt"), "textures/base/wall", LevelFormat::contentsSolid, ToolVolumes::Kind::hurt},
        {"multiple", trigger("trigger_multiple"), trig, LevelFormat::contentsSolid, ToolVolumes::Kind::trigger},
        {"water", world, "textures/liquids/water", LevelFormat::contentsWater, ToolVolumes::Kind::water},
        {"slime", world, "textures/liquids/slime", LevelFormat::contentsSlime, ToolVolumes::Kind::slime},
        {"lava", world, "textures/liquids/lava", LevelFormat::contentsLava, ToolVolumes::Kind::lava},
        {"fog", world, "textures/fog", 0x40, ToolVolumes::Kind::fog},
    };
    constexpr int middle = testsupport::contextWidth / 2;
    // What the wall's pixel becomes under the side of a volume of `kind` that faces the eye.
    const auto under = [](const testsupport::Rgb& wall, ToolVolumes::Kind kind) {
        const double kept = 1 - ToolVolumeRenderer::fillAlpha / 255.0;
        const std::array<unsigned char, 3> colour = ToolVolumes::colour(kind);
        return std::array<double, 3>{wall.r * kept + colour[0] * (1 - kept), wall.g * kept + colour[1] * (1 - kept),
                                     wall.b * kept + colour[2] * (1 - kept)};
    };
    const auto distance = [](const testsupport::Rgb& pixel, const std::array<double, 3>& colour) {
        return std::abs(pixel.r - colour[0]) + std::abs(pixel.g - colour[1]) + std::abs(pixel.b - colour[2]);
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const bool ofEntity = c.entities != world;
        const bool fog = c.kind == ToolVolumes::Kind::fog;
        LevelModeViewer level(volumeLevel(c.entities, c.texture, c.contents, ofEntity, fog),
                              {"--at", "0", "0", "0", "--angle", "90"});
        Viewer& viewer = *level.viewer;
        viewer.drawFrameAt(100);
        const testsupport::Rgb wall = testsupport::readPixel(middle, middle);
        EXPECT_TRUE(level.redAhead()) << "off by default";
        viewer.pressKey('k');
        viewer.drawFrameAt(110);
        const testsupport::Rgb shown = testsupport::readPixel(middle, middle);
        std::size_t nearest = 0;
        for (std::size_t kind = 1; kind < ToolVolumes::kindCount; ++kind)
            if (distance(shown, under(wall, ToolVolumes::Kind(kind)))
                < distance(shown, under(wall, ToolVolumes::Kind(nearest))))
                nearest = kind;
        EXPECT_EQ(ToolVolumes::name(ToolVolumes::Kind(nearest)), std::string(ToolVolumes::name(c.kind)));
        EXPECT_LE(distance(shown, under(wall, c.kind)), 9);
        EXPECT_NE(level.status().find("  tools: clip push teleport hurt trigger other water slime lava fog"),
                  std::string::npos)
            << level.status();
        const auto& volumes = dynamic_cast<const DesignedLook&>(*viewer.level()->look).toolVolumes();
        EXPECT_EQ(volumes->volumesInView(), 1u);
        level.camera().faceHeading(270);
        viewer.drawFrameAt(120);
        EXPECT_EQ(volumes->volumesInView(), 0u) << "behind the eye, culled";
        level.camera().faceHeading(90);
        viewer.pressKey('k');
        viewer.drawFrameAt(130);
        EXPECT_TRUE(samePixel(testsupport::readPixel(middle, middle), wall)) << "off again";
        EXPECT_EQ(level.status().find("tools:"), std::string::npos);
    }
}

// The tool view stays on through a reload, and a frame showing it allocates nothing.
TEST(ViewerTest, TheToolViewSurvivesAReloadAndItsFrameAllocatesNothing)
{
    LevelModeViewer level(volumeLevel("{ \"classname\" \"worldspawn\" }\n", "textures/common/playerclip",
                                      LevelFormat::contentsPlayerClip, false, false),
                          {"--at", "0", "0", "0", "--angle", "90"});
    Viewer& viewer = *level.viewer;
    viewer.pressKey('k');
    viewer.drawFrameAt(100);
    const auto centre = [] {
        return testsupport::readPixel(testsupport::contextWidth / 2, testsupport::contextHeight / 2);
    };
    const testsupport::Rgb shown = centre();
    ASSERT_TRUE(viewer.reload());
    EXPECT_TRUE(viewer.level()->look->switches().toolView);
    viewer.drawFrameAt(150);
    EXPECT_TRUE(samePixel(centre(), shown));
    EXPECT_NE(level.status().find("tools:"), std::string::npos);
    viewer.drawFrameAt(200);
    testsupport::allocationFailure::arm(0);
    viewer.drawFrameAt(250);
    testsupport::allocationFailure::disarm();
    EXPECT_FALSE(testsupport::allocationFailure::fired());
}
