// Measures the viewer against the physical floor of the same machine in the same run:
// loading against reading the file's bytes, the visibility pass against a bare loop over
// the leaves, the whole frame against one batched draw of the same triangles, the designed load
// against the plain load plus a bare upload of what it adds, the designed frame of a level whose
// materials have every kind of stage against one batched draw per stage pass, and the heap
// allocations of a frame, and the walker's step for one frame with its allocations, and the
// time to the first picture of a level of many archived images against the same level without
// them plus those images read, inflated and decoded bare on every core. Prints the figures, then
// one summary line; with --first-picture, that time and its figures alone.
#include "AllocationCounter.h"

#include "app/Callbacks.h"
#include "app/Launch.h"
#include "app/Viewer.h"
#include "config/CommandLine.h"
#include "config/Configuration.h"
#include "camera/Camera.h"
#include "simulation/World.h"
#include "level/EntityText.h"
#include "level/LevelFormat.h"
#include "level/LevelLoader.h"
#include "render/BSPMap.h"
#include "render/CameraRenderer.h"
#include "files/Archive.h"
#include "files/DataRoot.h"
#include "image/DecodedImage.h"
#include "render/DataRootImages.h"
#include "render/DesignedLook.h"
#include "render/ImageReadAhead.h"
#include "render/LightingModule.h"
#include "render/StatusLine.h"

#include <GL/glew.h>
#include <GL/glut.h>

#include <zip.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <filesystem>
#include <memory>
#include <sstream>
#include <thread>

namespace {

// The benchmark opens its levels in the designed look.
const DesignedLook& designedLook(const BSPMap& map) { return dynamic_cast<const DesignedLook&>(*map.look); }
using Clock = std::chrono::steady_clock;
constexpr int windowWidth = 640;
constexpr int windowHeight = 480;
constexpr int pathFrames = 240;
constexpr int loadRepeats = 5;
constexpr int visibilityRepeats = 20;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The process's processor time in milliseconds (its threads and the kernel's work for it): the
// designed load is compared with its floor by this, which other programs on a busy machine
// disturb far less than the wall clock.
double processorMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

std::vector<unsigned char> readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(file.tellg()));
    file.seekg(0);
    file.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    return bytes;
}

struct LoadFigures {
    double readMs = 1e30;
    double loadMs = 1e30;
    std::size_t fileBytes = 0;
    std::size_t peakBytes = 0;
};

// Best of several runs each: reading alone, and reading plus parsing and validating.
LoadFigures measureLoad(const std::string& levelPath)
{
    LoadFigures figures;
    std::ostringstream quiet;
    for (int run = 0; run < loadRepeats; ++run) {
        auto start = Clock::now();
        figures.fileBytes = readFile(levelPath).size();
        figures.readMs = std::min(figures.readMs, millisecondsSince(start));

        AllocationCounter::resetPeak();
        const std::size_t liveBefore = AllocationCounter::liveBytes();
        start = Clock::now();
        {
            const LevelData level = parseLevel(levelPath, readFile(levelPath), quiet);
            figures.loadMs = std::min(figures.loadMs, millisecondsSince(start));
        }
        figures.peakBytes = std::max(figures.peakBytes, AllocationCounter::peakBytes() - liveBefore);
        quiet.str(std::string());
    }
    return figures;
}

// The fixed camera path: turn a degree and step forward every frame.
void stepAlongPath(Camera& camera)
{
    camera.turnRight(1);
    camera.moveForward(1.0f);
}

// Global vertex indices of the polygon and mesh triangles of the faces a frame drew.
std::vector<GLuint> batchedTriangles(const BSPMap& map)
{
    std::vector<GLuint> indices;
    for (const int index : map.visibleFaces) {
        const Face& face = map.faces[std::size_t(index)];
        if (!face.drawnFromMeshVertices() || !map.textureManager->isTextureLoaded(face.texture))
            continue;
        for (int32_t k = 0; k < face.meshVertexCount; ++k)
            indices.push_back(GLuint(face.firstVertex + map.meshVertices[std::size_t(face.firstMeshVertex + k)]));
    }
    return indices;
}

struct FrameFigures {
    double frameMs = 0;
    double batchedMs = 0;
    double visibilityMs = 0;
    double bareLoopMs = 0;
    std::size_t allocations = 0;
    std::size_t mallocs = 0;
    std::size_t facesDrawn = 0;
};

void drawBatched(const BSPMap& map, const std::vector<GLuint>& indices)
{
    const Vertex* vertices = map.vertices.data();
    map.textureManager->bindTexture(0, sizeof(Vertex), vertices->texCoord);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), vertices->position);
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, sizeof(Vertex), vertices->normal);
    glDrawElements(GL_TRIANGLES, GLsizei(indices.size()), GL_UNSIGNED_INT, indices.data());
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_TEXTURE_2D);
}

// One cluster bit per leaf: the least any visibility pass over the leaves must do.
std::size_t bareLeafLoop(const BSPMap& map, int cluster)
{
    const VisData* vis = map.visData.get();
    std::size_t visible = 0;
    for (const Leaf& leaf : map.leaves) {
        const int k = leaf.cluster < 0 ? 0 : leaf.cluster;
        const int from = cluster < 0 ? 0 : cluster;
        visible += (vis->bits[std::size_t(from) * std::size_t(vis->bytesPerCluster) + std::size_t(k >> 3)] >> (k & 7)) & 1;
    }
    return visible;
}

FrameFigures measureFrames(BSPMap& map, Frustum& frustum, const Point& start)
{
    FrameFigures figures;
    StatusLine text;
    Camera camera(start, &frustum);
    map.camera = &camera;
    std::vector<std::vector<GLuint>> batches;
    for (int frame = 0; frame < pathFrames; ++frame) {
        stepAlongPath(camera);
        const std::size_t allocationsBefore = AllocationCounter::allocations();
        const std::size_t mallocsBefore = AllocationCounter::mallocs();
        const auto begin = Clock::now();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        text.reset();
        text << "FPS:0 X:" << camera.getPosition().getX();
        map.render(text, 0.016f, true, true);
        glFinish();
        if (frame > 0) { // the first frame may size what later frames reuse
            figures.frameMs += millisecondsSince(begin);
            figures.allocations += AllocationCounter::allocations() - allocationsBefore;
            figures.mallocs += AllocationCounter::mallocs() - mallocsBefore;
        }
        figures.facesDrawn += map.visibleFaces.size();
        batches.push_back(batchedTriangles(map));
        glutSwapBuffers();
    }

    Camera replay(start, &frustum);
    CameraRenderer view;
    map.camera = &replay;
    std::size_t sink = 0;
    for (int frame = 0; frame < pathFrames; ++frame) {
        stepAlongPath(replay);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glPushMatrix();
        view.applyView(replay, 0.016f);
        auto begin = Clock::now();
        for (int repeat = 0; repeat < visibilityRepeats; ++repeat) {
            map.visibleFaces.clear();
            map.drawnFaces.clear();
            map.collectVisibleFaces(map.leaves[std::size_t(map.findCameraLeaf())].cluster);
        }
        figures.visibilityMs += millisecondsSince(begin);
        const int cluster = map.leaves[std::size_t(map.findCameraLeaf())].cluster;
        begin = Clock::now();
        for (int repeat = 0; repeat < visibilityRepeats; ++repeat)
            sink += bareLeafLoop(map, cluster + repeat * 0);
        figures.bareLoopMs += millisecondsSince(begin);
        map.drawnFaces.clear();

        begin = Clock::now();
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CW);
        map.lighting->applyLights();
        drawBatched(map, batches[std::size_t(frame)]);
        map.lighting->disableLighting();
        glDisable(GL_CULL_FACE);
        glFinish();
        if (frame > 0)
            figures.batchedMs += millisecondsSince(begin);
        glPopMatrix();
        glutSwapBuffers();
    }
    if (sink == std::size_t(-1))
        std::cerr << sink;
    map.camera = nullptr;
    return figures;
}

// ---- the designed frame (level mode) -------------------------------------------------------

struct DesignedFigures {
    double tessellateMs = 0;     // '>' on the curved surfaces: every patch at level 10, buffers rebuilt
    double tessellatedFrameMs = 0;
    double plainLoadMs = 1e30;
    double designedLoadMs = 1e30;
    double bareUploadMs = 1e30; // the designed load's lightmap texels (as stored) and buffer bytes, uploaded bare
    double bareKeptLayoutUploadMs = 1e30; // the same with the texels already in GL's own layout
    double frameMs = 0;
    double batchedMs = 0;
    double toolViewMs = 0; // the same frames with the tool view on
    std::size_t allocations = 0;
    std::size_t toolViewAllocations = 0;
    std::size_t drawCalls = 0;
    std::size_t groups = 0;
};

// The level as level mode opens it, in the designed frame or not; the processor time it takes.
std::unique_ptr<Viewer> openLevel(const std::string& levelPath, bool designed, double& bestMs)
{
    CommandLine line;
    line.target = levelPath;
    std::ostringstream printed;
    const double start = processorMilliseconds();
    Launch launch = Launch::fromLevel(line, printed);
    launch.configuration.designedLook = designed;
    auto viewer = std::make_unique<Viewer>(std::move(launch));
    glFinish();
    bestMs = std::min(bestMs, processorMilliseconds() - start);
    return viewer;
}

// One draw of every triangle the designed frame drew, from the same buffer, with an image and
// a lightmap on the two units as the frame's faces have: the floor the frame is measured against.
void drawDesignedBatch(const BSPMap& map, const std::vector<GLuint>& indices)
{
    
    const auto atOffset = [](std::size_t offset) { return reinterpret_cast<const GLvoid*>(offset); };
    // A texture on one unit, its coordinates at `offset` bytes into each vertex.
    const auto useUnit = [&atOffset](GLenum unit, GLuint texture, std::size_t offset) {
        glActiveTextureARB(unit);
        glClientActiveTexture(unit);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, sizeof(GpuVertex), atOffset(offset));
    };
    const auto releaseUnit = [](GLenum unit) {
        glActiveTextureARB(unit);
        glClientActiveTexture(unit);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisable(GL_TEXTURE_2D);
    };
    glBindBuffer(GL_ARRAY_BUFFER, designedLook(map).batchedLevel().vertexBuffer());
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(GpuVertex), atOffset(offsetof(GpuVertex, position)));
    useUnit(GL_TEXTURE0, map.textureManager->textureId(0), offsetof(GpuVertex, texCoord));
    useUnit(GL_TEXTURE1, map.textureManager->lightmapId(0), offsetof(GpuVertex, lightmapCoord));
    glDrawElements(GL_TRIANGLES, GLsizei(indices.size()), GL_UNSIGNED_INT, indices.data());
    releaseUnit(GL_TEXTURE1);
    releaseUnit(GL_TEXTURE0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

// What the designed load must do beyond the plain one at the least: put the same lightmap texels
// and the same vertex bytes on the GPU, from memory prepared beforehand. The texels go either as
// the level stores them (RGB, which the driver converts) or already in the layout GL keeps (BGRA,
// a plain copy: the stricter floor).
double bareUploadMs(const LevelLoader::Bytes& pages, std::size_t bufferBytes, bool asStored)
{
    constexpr int side = LevelFormat::lightmapSide;
    const std::size_t pageCount = pages.size / LevelFormat::lightmapRecordSize;
    const std::vector<unsigned char> keptLayout(std::size_t(side) * side * 4, 128);
    const std::vector<unsigned char> vertexBytes(bufferBytes, 1);
    std::vector<GLuint> textures(pageCount);
    GLuint buffer = 0;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glFinish();
    const double start = processorMilliseconds();
    glGenTextures(GLsizei(pageCount), textures.data());
    for (std::size_t i = 0; i < pageCount; ++i) {
        glBindTexture(GL_TEXTURE_2D, textures[i]);
        if (asStored)
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, side, side, 0, GL_RGB, GL_UNSIGNED_BYTE,
                         pages.data + i * LevelFormat::lightmapRecordSize);
        else
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, side, side, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                         keptLayout.data());
    }
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertexBytes.size()), vertexBytes.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glFinish();
    const double milliseconds = processorMilliseconds() - start;
    glDeleteBuffers(1, &buffer);
    glDeleteTextures(GLsizei(pageCount), textures.data());
    return milliseconds;
}

// ---- the designed frame along the path (the maze and the materials hall) ------------------------

struct DesignedPath {
    double frameMs = 0;
    std::size_t allocations = 0;
    std::size_t drawCalls = 0;
    // By frame: the triangles that frame drew, as lists each drawn bare in one batched draw.
    std::vector<std::vector<std::vector<GLuint>>> bareDraws;
};

// The frame's step before its drawing, as the viewer takes it: the material clock moves on, then
// the world with the eye flying where `camera` is.
void stepWorld(Viewer& viewer, const Camera& camera, double seconds)
{
    BSPMap& map = *viewer.level();
    map.look->advanceClock(seconds);
    const Point& eye = camera.getPosition();
    viewer.world().flyAt({eye.getX(), eye.getY(), eye.getZ()});
    viewer.world().step(map.look->clock(), {}, seconds);
}

// Level mode's frame along the path from `start`, timed from the second frame on (the first
// sizes what later frames reuse); `bareDrawsOf(map)` lists what the frame just drawn would cost
// as plain batched draws.
template <typename BareDraws>
DesignedPath timeDesignedPath(Viewer& viewer, const Point& start, BareDraws bareDrawsOf)
{
    BSPMap& map = *viewer.level();
    DesignedPath path;
    StatusLine text;
    Camera camera(start, &viewer.viewFrustum());
    Camera* const previous = map.camera;
    map.camera = &camera;
    for (int frame = 0; frame < pathFrames; ++frame) {
        stepAlongPath(camera);
        const std::size_t allocationsBefore = AllocationCounter::allocations();
        const auto begin = Clock::now();
        stepWorld(viewer, camera, 0.016);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        text.reset();
        text << "FPS:0 X:" << camera.getPosition().getX();
        map.render(text, 0.016f, true, true);
        glFinish();
        if (frame > 0) {
            path.frameMs += millisecondsSince(begin);
            path.allocations += AllocationCounter::allocations() - allocationsBefore;
        }
        path.drawCalls += designedLook(map).materialRenderer().drawCalls();
        path.bareDraws.push_back(bareDrawsOf(map));
        glutSwapBuffers();
    }
    map.camera = previous;
    return path;
}

// The designed frame along the path with the tool view on (then off again), and its allocations.
double toolViewFrameMs(Viewer& viewer, const Point& start, std::size_t& allocations)
{
    Look& look = *viewer.level()->look;
    look.toggleToolView();
    const DesignedPath path =
        timeDesignedPath(viewer, start, [](const BSPMap&) { return std::vector<std::vector<GLuint>>{}; });
    look.toggleToolView();
    allocations = path.allocations;
    return path.frameMs;
}

// The floor the designed frame is judged against: each frame's bare draws from the same eye.
double timeBareDraws(const BSPMap& map, Frustum& frustum, const Point& start, const DesignedPath& path)
{
    double milliseconds = 0;
    Camera replay(start, &frustum);
    CameraRenderer view;
    for (std::size_t frame = 0; frame < path.bareDraws.size(); ++frame) {
        stepAlongPath(replay);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glPushMatrix();
        view.applyView(replay, 0.016f);
        const auto begin = Clock::now();
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CW);
        for (const std::vector<GLuint>& indices : path.bareDraws[frame])
            drawDesignedBatch(map, indices);
        glDisable(GL_CULL_FACE);
        glFinish();
        if (frame > 0)
            milliseconds += millisecondsSince(begin);
        glPopMatrix();
        glutSwapBuffers();
    }
    return milliseconds;
}

DesignedFigures measureDesigned(const std::string& levelPath, const Point& start)
{
    DesignedFigures figures;
    double ignored = 0;
    const std::unique_ptr<Viewer> viewer = openLevel(levelPath, true, ignored);
    BSPMap& map = *viewer->level();
    const std::vector<unsigned char> file = LevelLoader::readLevelFile(levelPath);
    std::ostringstream quiet;
    LevelLoader loader(levelPath, file, quiet);
    LevelData header;
    loader.readHeader(header);
    const std::size_t bufferBytes = designedLook(map).batchedLevel().bufferBytes();
    for (int run = 0; run < loadRepeats; ++run) {
        openLevel(levelPath, false, figures.plainLoadMs);
        openLevel(levelPath, true, figures.designedLoadMs);
        figures.bareUploadMs = std::min(figures.bareUploadMs, bareUploadMs(loader.lightmapPages(), bufferBytes, true));
        figures.bareKeptLayoutUploadMs =
            std::min(figures.bareKeptLayoutUploadMs, bareUploadMs(loader.lightmapPages(), bufferBytes, false));
    }
    figures.groups = designedLook(map).batchedLevel().groupCount();
    const DesignedPath path = timeDesignedPath(*viewer, start, [](const BSPMap& drawn) {
        std::vector<GLuint> indices;
        designedLook(drawn).batchedLevel().appendStaticIndices(drawn.visibleFaces, indices);
        return std::vector<std::vector<GLuint>>{std::move(indices)};
    });
    figures.frameMs = path.frameMs;
    figures.allocations = path.allocations;
    figures.drawCalls = path.drawCalls;
    figures.batchedMs = timeBareDraws(map, viewer->viewFrustum(), start, path);
    figures.toolViewMs = toolViewFrameMs(*viewer, start, figures.toolViewAllocations);

    auto begin = Clock::now();
    map.enablePatchTessellation();
    map.retessellatePatches(10);
    glFinish();
    figures.tessellateMs = millisecondsSince(begin);
    Camera curved(start, &viewer->viewFrustum());
    map.camera = &curved;
    StatusLine text;
    for (int frame = 0; frame < pathFrames; ++frame) {
        stepAlongPath(curved);
        begin = Clock::now();
        stepWorld(*viewer, curved, 0.016);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        text.reset();
        map.render(text, 0.016f, true, true);
        glFinish();
        if (frame > 0)
            figures.tessellatedFrameMs += millisecondsSince(begin);
        glutSwapBuffers();
    }
    map.camera = viewer->camera();
    return figures;
}

// ---- every kind of stage (level mode on bench/materials.plan) --------------------------------

struct MaterialsFigures {
    double frameMs = 0;
    double toolViewMs = 0; // the same frames with the tool view on
    std::size_t toolViewAllocations = 0;
    double passesMs = 0; // one batched draw of the frame's triangles per stage pass
    std::size_t allocations = 0;
    std::size_t drawCalls = 0;
    std::size_t passDraws = 0; // triangles drawn by the floor, summed over passes
    std::size_t triangles = 0;
};

// The frame's triangles once for each pass their material takes: the triangles of every
// visible face with more than `pass` passes, for pass 0, 1, ...
std::vector<std::vector<GLuint>> trianglesPerPass(const BSPMap& map)
{
    std::vector<std::vector<GLuint>> perPass;
    for (const int index : map.visibleFaces) {
        const Face& face = map.faces[std::size_t(index)];
        if (!face.drawnFromMeshVertices() || !designedLook(map).batchedLevel().isDrawn(index))
            continue;
        const std::size_t passes = designedLook(map).materialRenderer().passCount(face.texture);
        if (perPass.size() < passes)
            perPass.resize(passes);
        for (std::size_t pass = 0; pass < passes; ++pass)
            for (int32_t k = 0; k < face.meshVertexCount; ++k)
                perPass[pass].push_back(
                    GLuint(face.firstVertex + map.meshVertices[std::size_t(face.firstMeshVertex + k)]));
    }
    return perPass;
}

MaterialsFigures measureMaterials(const std::string& levelPath)
{
    MaterialsFigures figures;
    double ignored = 1e30;
    const std::unique_ptr<Viewer> viewer = openLevel(levelPath, true, ignored);
    BSPMap& map = *viewer->level();
    const Point start = viewer->camera()->getPosition();
    const DesignedPath path = timeDesignedPath(*viewer, start, trianglesPerPass);
    figures.frameMs = path.frameMs;
    figures.allocations = path.allocations;
    figures.drawCalls = path.drawCalls;
    figures.passesMs = timeBareDraws(map, viewer->viewFrustum(), start, path);
    figures.toolViewMs = toolViewFrameMs(*viewer, start, figures.toolViewAllocations);
    for (const std::vector<std::vector<GLuint>>& frame : path.bareDraws) {
        if (!frame.empty())
            figures.triangles += frame.front().size() / 3;
        for (const std::vector<GLuint>& pass : frame)
            figures.passDraws += pass.size() / 3;
    }
    map.camera = viewer->camera();
    return figures;
}

// ---- 200 movers (level mode on bench/movers.plan) -------------------------------------------------

struct MoversFigures {
    double frameMs = 0;  // the movers moving, each drawn under its pose
    double atRestMs = 0; // the same frames with every mover at rest in the level's batch
    std::size_t allocations = 0;
    std::size_t drawCalls = 0;
    std::size_t movers = 0;
};

MoversFigures measureMovers(const std::string& levelPath)
{
    MoversFigures figures;
    double ignored = 1e30;
    const auto noBareDraws = [](const BSPMap&) { return std::vector<std::vector<GLuint>>{}; };
    const std::unique_ptr<Viewer> viewer = openLevel(levelPath, true, ignored);
    BSPMap& map = *viewer->level();
    const Point start = viewer->camera()->getPosition();
    figures.movers = viewer->world().movers().all().size();
    const DesignedPath moving = timeDesignedPath(*viewer, start, noBareDraws);
    figures.frameMs = moving.frameMs;
    figures.allocations = moving.allocations;
    figures.drawCalls = moving.drawCalls;
    dynamic_cast<DesignedLook&>(*map.look).holdMoversAtRest();
    figures.atRestMs = timeDesignedPath(*viewer, start, noBareDraws).frameMs;
    map.camera = viewer->camera();
    return figures;
}

// ---- the walker along the path ------------------------------------------------------------------

struct WalkFigures {
    double stepMicroseconds = 0; // per frame
    std::size_t allocations = 0; // over the timed frames
};

// The world's walker stepping one frame of 16 ms each, running forward and turning a degree a
// frame as the camera's path does (its 5 units a frame are the run speed's), from the start's
// floor.
WalkFigures measureWalk(const std::string& levelPath, const Point& start)
{
    std::ostringstream quiet;
    const LevelData level = parseLevel(levelPath, LevelLoader::readLevelFile(levelPath), quiet);
    std::vector<std::string> notices;
    World world(level, level.entities.entities, levelPath, notices);
    world.startWalking({start.getX(), start.getY() - world.settings().eyeAboveOrigin, start.getZ()}, 90.0);
    double clock = 0.0;
    WalkInput input;
    input.forward = 1.0f;
    WalkFigures figures;
    double microseconds = 0;
    for (int frame = 0; frame < pathFrames; ++frame) {
        input.heading = world.player().heading() - 1.0;
        const std::size_t allocationsBefore = AllocationCounter::allocations();
        const auto begin = Clock::now();
        clock += 0.016;
        world.step(clock, input, 0.016);
        if (frame > 0) {
            microseconds += millisecondsSince(begin) * 1000.0;
            figures.allocations += AllocationCounter::allocations() - allocationsBefore;
        }
    }
    figures.stepMicroseconds = microseconds / (pathFrames - 1);
    return figures;
}

std::string decimal(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

// ---- the first picture (level mode on bench/images.plan's archive) -------------------------

struct FirstPictureFigures {
    double firstPictureMs = 1e30; // the archive opened in level mode, designed, to its first frame drawn
    double plainMs = 1e30;        // the same with none of its images there: everything but the images
    double imagesMs = 1e30;       // those images read, inflated and decoded bare, spread over every core
    std::size_t images = 0;
    unsigned cores = 0;
};

// Wall-clock milliseconds from start-up's decisions to the first frame drawn and finished, of the
// level `target` in level mode's designed frame; `viewer` keeps it open.
double timeFirstPicture(const std::string& target, std::unique_ptr<Viewer>& viewer)
{
    CommandLine line;
    line.target = target;
    std::ostringstream printed;
    viewer.reset();
    glFinish();
    const auto start = Clock::now();
    Launch launch = Launch::fromLevel(line, printed);
    launch.configuration.designedLook = true;
    viewer = std::make_unique<Viewer>(std::move(launch));
    viewer->drawFrameAt(0);
    glFinish();
    return millisecondsSince(start);
}

bool isImagePath(const std::string& path)
{
    const std::string extension = std::filesystem::path(path).extension().string();
    return extension == ".jpg" || extension == ".JPG" || extension == ".tga" || extension == ".TGA";
}

// The archive's images the open level's data root was asked for and holds: the images its load decoded.
std::vector<std::string> imagesLoaded(const Viewer& viewer)
{
    const DataRoot& root = dynamic_cast<const DataRootImages&>(*viewer.level()->images).resolver().dataRoot();
    std::vector<std::string> images;
    for (const std::string& path : root.consultedPaths())
        if (isImagePath(path) && !root.originOf(path).empty() && root.originOf(path) != "loose")
            images.push_back(path);
    return images;
}

// Every entry of the archive but its images, loose in `folder`: the same level with nothing to
// show on its faces.
void extractAllButImages(const std::string& archivePath, const std::string& folder)
{
    std::ostringstream quiet;
    const Archive archive(archivePath, quiet);
    for (const auto& [key, entry] : archive.entries()) {
        if (isImagePath(entry.name))
            continue;
        const std::filesystem::path path = std::filesystem::path(folder) / entry.name;
        std::filesystem::create_directories(path.parent_path());
        const std::optional<std::vector<unsigned char>> bytes = archive.read(entry.name);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes->data()), std::streamsize(bytes->size()));
    }
}

// The floor of the images' part: each read, inflated (its checksum checked) and decoded, one
// libzip handle per thread and one thread per core, nothing kept.
double timeBareImages(const std::string& archivePath, const std::vector<std::string>& names, unsigned threads,
                      uint32_t maxSide)
{
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> sink{0};
    const auto start = Clock::now();
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t)
        workers.emplace_back([&] {
            int error = 0;
            zip_t* archive = zip_open(archivePath.c_str(), ZIP_RDONLY, &error);
            for (std::size_t k = next++; archive != nullptr && k < names.size(); k = next++) {
                zip_stat_t stat;
                zip_stat_init(&stat);
                zip_file_t* file = zip_fopen(archive, names[k].c_str(), ZIP_FL_NOCASE);
                if (zip_stat(archive, names[k].c_str(), ZIP_FL_NOCASE, &stat) != 0 || file == nullptr)
                    continue;
                std::vector<unsigned char> bytes(std::size_t(stat.size));
                unsigned char end = 0;
                const bool whole = zip_fread(file, bytes.data(), bytes.size()) == zip_int64_t(bytes.size())
                                && zip_fread(file, &end, 1) == 0; // the read that checks the checksum
                zip_fclose(file);
                if (whole)
                    sink += DecodedImage(bytes, DecodedImage::typeOf(names[k]), maxSide).getWidth();
            }
            if (archive != nullptr)
                zip_discard(archive);
        });
    for (std::thread& worker : workers)
        worker.join();
    const double milliseconds = millisecondsSince(start);
    if (sink == std::size_t(-1))
        std::cerr << sink;
    return milliseconds;
}

FirstPictureFigures measureFirstPicture(const std::string& archivePath)
{
    FirstPictureFigures figures;
    figures.cores = ImageReadAhead::usableCores();
    char folderName[] = "/tmp/verdanth-bench-XXXXXX";
    const std::string plainFolder = mkdtemp(folderName) != nullptr ? folderName : "";
    extractAllButImages(archivePath, plainFolder);
    const std::string plainTarget = plainFolder + "/maps/" + std::filesystem::path(archivePath).stem().string() + ".bsp";
    GLint glLimit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &glLimit);
    const uint32_t maxSide = std::min(ImageCache::Limits{}.maxSide, uint32_t(std::max(glLimit, 1)));

    std::unique_ptr<Viewer> viewer;
    std::vector<std::string> images;
    for (int run = 0; run < loadRepeats; ++run) {
        figures.firstPictureMs = std::min(figures.firstPictureMs, timeFirstPicture(archivePath, viewer));
        if (images.empty())
            images = imagesLoaded(*viewer);
        figures.plainMs = std::min(figures.plainMs, timeFirstPicture(plainTarget, viewer));
        figures.imagesMs = std::min(figures.imagesMs, timeBareImages(archivePath, images, figures.cores, maxSide));
    }
    viewer.reset();
    figures.images = images.size();
    std::filesystem::remove_all(plainFolder);
    return figures;
}

double firstPictureRatio(const FirstPictureFigures& figures)
{
    return figures.firstPictureMs / (figures.plainMs + figures.imagesMs);
}

std::string firstPictureLine(const std::string& archivePath, const FirstPictureFigures& figures)
{
    return "first picture (" + archivePath + ", " + std::to_string(figures.images) + " images, "
         + std::to_string(figures.cores) + " cores): " + decimal(figures.firstPictureMs) + " ms; without its images "
         + decimal(figures.plainMs) + " ms, the images read, inflated and decoded bare on every core "
         + decimal(figures.imagesMs) + " ms (a ratio of " + decimal(firstPictureRatio(figures)) + ")\n";
}

} // namespace

// A window as the viewer opens one: GLUT's, hidden behind nothing, with GLEW and the GL set-up.
void openWindow(int& argc, char** argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(windowWidth, windowHeight);
    glutCreateWindow("Verdanth benchmark");
    glewInit();
    initGL();
    onReshape(windowWidth, windowHeight);
}

int main(int argc, char** argv)
{
    const std::string usage = "usage: verdanth_bench CONFIG_FILE [MATERIALS_LEVEL [MOVERS_LEVEL [IMAGES_ARCHIVE]]]\n"
                              "       verdanth_bench --first-picture IMAGES_ARCHIVE\n";
    if (argc == 3 && std::string(argv[1]) == "--first-picture") {
        const std::string archive = argv[2];
        std::cerr.setstate(std::ios::failbit);
        openWindow(argc, argv);
        const FirstPictureFigures figures = measureFirstPicture(archive);
        std::cerr.clear();
        std::cout << firstPictureLine(archive, figures) << "first-picture-ratio " << decimal(firstPictureRatio(figures))
                  << " first-picture-ms " << decimal(figures.firstPictureMs) << std::endl;
        return 0;
    }
    if (argc < 2 || argc > 5) {
        std::cerr << usage;
        return 2;
    }
    std::cerr.setstate(std::ios::failbit); // the loaders' transcripts are not wanted here
    Configuration configuration = readConfiguration(argv[1]);
    const LoadFigures load = measureLoad(configuration.levelPath);

    openWindow(argc, argv);
    const Point start = configuration.startPoint;
    Viewer viewer(std::move(configuration));
    BSPMap& map = *viewer.level();
    const FrameFigures frames = measureFrames(map, viewer.viewFrustum(), start);
    map.camera = viewer.camera();
    const DesignedFigures designed = measureDesigned(map.levelPath, start);
    const MaterialsFigures materials = argc >= 3 ? measureMaterials(argv[2]) : MaterialsFigures{};
    const WalkFigures walk = measureWalk(map.levelPath, start);
    const MoversFigures movers = argc >= 4 ? measureMovers(argv[3]) : MoversFigures{};
    const FirstPictureFigures firstPicture = argc == 5 ? measureFirstPicture(argv[4]) : FirstPictureFigures{};
    std::cerr.clear();

    const int timedFrames = pathFrames - 1;
    const double loadRatio = load.loadMs / load.readMs;
    const double visibilityRatio = frames.visibilityMs / frames.bareLoopMs;
    const double frameRatio = frames.frameMs / frames.batchedMs;
    const double peakBound = 4.0 * double(load.fileBytes) + 16.0 * 1024 * 1024;
    std::cout << "level " << map.levelPath << ": " << map.faces.size() << " faces, " << map.leaves.size()
              << " leaves, " << decimal(double(load.fileBytes) / (1024 * 1024)) << " MiB\n"
              << "load: read " << decimal(load.readMs) << " ms, read+parse+validate " << decimal(load.loadMs)
              << " ms, peak heap " << decimal(double(load.peakBytes) / (1024 * 1024)) << " MiB (bound "
              << decimal(peakBound / (1024 * 1024)) << " MiB)\n"
              << "visibility: " << decimal(frames.visibilityMs / (timedFrames + 1) / visibilityRepeats)
              << " ms per pass, bare leaf loop " << decimal(frames.bareLoopMs / (timedFrames + 1) / visibilityRepeats)
              << " ms\n"
              << "frame: " << decimal(frames.frameMs / timedFrames) << " ms, batched draw "
              << decimal(frames.batchedMs / timedFrames) << " ms, " << windowWidth << "x" << windowHeight
              << ", C allocations per frame (GL driver included) " << decimal(double(frames.mallocs) / timedFrames)
              << "\n"
              << "designed frame (level mode): " << decimal(designed.frameMs / timedFrames) << " ms, one draw of "
              << "its triangles " << decimal(designed.batchedMs / timedFrames) << " ms, "
              << decimal(double(designed.drawCalls) / pathFrames) << " draws per frame from " << designed.groups
              << " groups; load (processor time) " << decimal(designed.designedLoadMs) << " ms with lightmaps and materials, "
              << decimal(designed.plainLoadMs) << " ms without; a bare upload of its lightmaps and buffers "
              << decimal(designed.bareUploadMs) << " ms (" << decimal(designed.bareKeptLayoutUploadMs)
              << " ms with the texels in GL's own layout, a floor ratio of "
              << decimal(designed.designedLoadMs / (designed.plainLoadMs + designed.bareKeptLayoutUploadMs)) << ")\n"
              << "tool view on: " << decimal(designed.toolViewMs / timedFrames) << " ms per designed frame of the maze"
              << (argc >= 3 ? ", " + decimal(materials.toolViewMs / timedFrames) + " of the materials hall" : std::string())
              << "\n"
              << "curved surfaces at level 10: " << decimal(designed.tessellateMs) << " ms to tessellate, then "
              << decimal(designed.tessellatedFrameMs / timedFrames) << " ms per designed frame\n"
              << (argc >= 3 ? "materials (" + std::string(argv[2]) + "): " + decimal(materials.frameMs / timedFrames)
                                  + " ms per designed frame, " + decimal(double(materials.drawCalls) / pathFrames)
                                  + " draws; one batched draw per stage pass " + decimal(materials.passesMs / timedFrames)
                                  + " ms (" + decimal(double(materials.passDraws) / pathFrames) + " triangles over "
                                  + decimal(double(materials.triangles) / pathFrames) + " visible)\n"
                            : std::string())
              << "walk: " << decimal(walk.stepMicroseconds) << " us per step of a 16 ms frame along the path\n"
              << (argc >= 4 ? "movers (" + std::string(argv[3]) + ", " + std::to_string(movers.movers) + " movers): "
                                  + decimal(movers.frameMs / timedFrames) + " ms per designed frame, "
                                  + decimal(double(movers.drawCalls) / pathFrames) + " draws; at rest in the batch "
                                  + decimal(movers.atRestMs / timedFrames) + " ms\n"
                            : std::string())
              << (argc == 5 ? firstPictureLine(argv[4], firstPicture) : std::string())
              << "load-ratio " << decimal(loadRatio) << " visibility-ratio " << decimal(visibilityRatio)
              << " frame-ratio " << decimal(frameRatio) << " frame-allocations " << frames.allocations / timedFrames
              << " faces-drawn " << frames.facesDrawn / pathFrames << " designed-frame-ratio "
              << decimal(designed.frameMs / designed.batchedMs) << " designed-load-ratio "
              << decimal(designed.designedLoadMs / designed.plainLoadMs) << " designed-load-floor-ratio "
              << decimal(designed.designedLoadMs / (designed.plainLoadMs + designed.bareUploadMs))
              << " designed-frame-allocations "
              << designed.allocations / timedFrames;
    if (argc >= 3)
        std::cout << " materials-frame-ratio " << decimal(materials.frameMs / materials.passesMs)
                  << " materials-frame-allocations " << materials.allocations / timedFrames;
    // The tool view's cost where it costs more, of the maze and the materials hall.
    const double toolViewRatio = std::max(designed.toolViewMs / designed.frameMs,
                                          argc >= 3 ? materials.toolViewMs / materials.frameMs : 0.0);
    std::cout << " tool-view-frame-ratio " << decimal(toolViewRatio) << " tool-view-frame-allocations "
              << (designed.toolViewAllocations + materials.toolViewAllocations) / timedFrames;
    std::cout << " walk-step-us " << decimal(walk.stepMicroseconds) << " walk-step-allocations "
              << walk.allocations / timedFrames;
    if (argc >= 4)
        std::cout << " movers-frame-ratio " << decimal(movers.frameMs / movers.atRestMs) << " movers-frame-allocations "
                  << movers.allocations / timedFrames;
    if (argc == 5)
        std::cout << " first-picture-ratio " << decimal(firstPictureRatio(firstPicture)) << " first-picture-ms "
                  << decimal(firstPicture.firstPictureMs);
    std::cout << std::endl;
    return 0;
}
