#include "render/ToolVolumeRenderer.h"

#include "camera/Camera.h"

#include "render/SavedGLState.h"
#include "render/TextureManager.h"

#include <GL/glew.h>

ToolVolumeRenderer::ToolVolumeRenderer(const LevelData& level, const ToolVolumes& volumes)
    : boxes(level, boxesOf(volumes)), facings(volumes.planes())
{
    for (const ToolVolumes::Volume& volume : volumes.all()) {
        const std::array<unsigned char, 3> colour = ToolVolumes::colour(volume.kind);
        ranges.push_back({triangles.size(), volume.triangleCorners, edges.size(), volume.edgeEnds});
        colourAll(volumes.triangles(), volume.firstTriangle, volume.triangleCorners, colour, fillAlpha, triangles);
        colourAll(volumes.edges(), volume.firstEdge, volume.edgeEnds, colour, 255, edges);
    }
    frameTriangles.reserve(triangles.size());
    frameEdges.reserve(edges.size());
}

std::vector<BrushEntity> ToolVolumeRenderer::boxesOf(const ToolVolumes& volumes)
{
    std::vector<BrushEntity> result;
    for (const ToolVolumes::Volume& volume : volumes.all()) {
        BrushEntity box;
        box.low = Vec3(volume.low.x, volume.low.y, volume.low.z);
        box.high = Vec3(volume.high.x, volume.high.y, volume.high.z);
        result.push_back(box);
    }
    return result;
}

bool ToolVolumeRenderer::eyeInside(std::size_t volume, const Float3& eye) const
{
    const BrushEntity& box = boxes.entities()[volume];
    return eye.x >= box.low.getX() && eye.x <= box.high.getX() && eye.y >= box.low.getY() && eye.y <= box.high.getY()
        && eye.z >= box.low.getZ() && eye.z <= box.high.getZ();
}

void ToolVolumeRenderer::colourAll(const std::vector<Float3>& corners, std::size_t first, std::size_t count,
                                   std::array<unsigned char, 3> colour, unsigned char alpha,
                                   std::vector<MarkerRenderer::Vertex>& out)
{
    for (std::size_t c = first; c < first + count; ++c)
        out.push_back({{corners[c].x, corners[c].y, corners[c].z}, {colour[0], colour[1], colour[2], alpha}});
}

void ToolVolumeRenderer::collect(int eyeCluster, const Camera& camera)
{
    frameTriangles.clear();
    frameEdges.clear();
    inView = 0;
    const Point& at = camera.getPosition();
    const Float3 eye{at.getX(), at.getY(), at.getZ()};
    for (std::size_t v = 0; v < ranges.size(); ++v) {
        if (!boxes.isVisible(v, eyeCluster, camera))
            continue;
        ++inView;
        const Range& range = ranges[v];
        const bool inside = eyeInside(v, eye);
        for (std::size_t c = range.firstTriangle; c + 2 < range.firstTriangle + range.triangleCorners; c += 3) {
            const HalfSpace& facing = facings[c / 3];
            if (inside || dot(facing.normal, eye) > facing.distance)
                frameTriangles.insert(frameTriangles.end(), triangles.begin() + std::ptrdiff_t(c),
                                      triangles.begin() + std::ptrdiff_t(c + 3));
        }
        const auto edge = edges.begin() + std::ptrdiff_t(range.firstEdge);
        frameEdges.insert(frameEdges.end(), edge, edge + std::ptrdiff_t(range.edgeEnds));
    }
}

void ToolVolumeRenderer::draw() const
{
    if (frameTriangles.empty())
        return;
    const SavedGLState saved(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_TEXTURE_BIT | GL_COLOR_BUFFER_BIT
                                 | GL_DEPTH_BUFFER_BIT | GL_LINE_BIT,
                             GL_CLIENT_VERTEX_ARRAY_BIT);
    TextureManager::switchOffLightmapUnit();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_FOG);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL); // a volume's side on a wall shows
    glDepthMask(GL_FALSE);  // the volumes behind a nearer one still show through it
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(MarkerRenderer::Vertex), frameTriangles.front().position);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(MarkerRenderer::Vertex), frameTriangles.front().colour);
    glDrawArrays(GL_TRIANGLES, 0, GLsizei(frameTriangles.size()));
    glLineWidth(2.0f);
    glVertexPointer(3, GL_FLOAT, sizeof(MarkerRenderer::Vertex), frameEdges.front().position);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(MarkerRenderer::Vertex), frameEdges.front().colour);
    glDrawArrays(GL_LINES, 0, GLsizei(frameEdges.size()));
}
