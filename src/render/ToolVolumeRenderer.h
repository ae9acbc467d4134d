#pragma once

#include "visibility/BrushEntityVisibility.h"
#include "level/LevelData.h"
#include "render/MarkerRenderer.h"
#include "simulation/ToolVolumes.h"

#include <cstddef>
#include <vector>

class Camera;

// Level mode's tool view ('k'): the volumes players cannot see (ToolVolumes) drawn translucent in
// their kinds' colours, outlined in the same colours at full strength, over the level. Culled as
// faces are: each volume counts as a brush entity of its box, so it is drawn when the eye's
// cluster sees a cluster its box reaches and the box passes the frustum. Every vertex is
// coloured once at build; a frame copies the volumes in view into arrays sized then and draws
// them in two calls, so it allocates nothing.
class ToolVolumeRenderer {
public:
    static constexpr unsigned char fillAlpha = 80; // of 255: the level shows through each face

    // The level outlives the renderer.
    ToolVolumeRenderer(const LevelData& level, const ToolVolumes& volumes);

    // The volumes the eye sees from `eyeCluster` (negative: outside every cluster) this frame.
    void collect(int eyeCluster, const Camera& camera);
    // Under the current view, depth-tested without writing depth, untextured, unlit; leaves
    // every state as it found it. Seen from outside, a volume shows only the faces turned to
    // the eye, so it is tinted once; from inside its box, every face.
    void draw() const;
    std::size_t volumesInView() const { return inView; }
    std::size_t volumeCount() const { return boxes.entities().size(); }

private:
    static std::vector<BrushEntity> boxesOf(const ToolVolumes& volumes);
    static void colourAll(const std::vector<Float3>& corners, std::size_t first, std::size_t count,
                          std::array<unsigned char, 3> colour, unsigned char alpha,
                          std::vector<MarkerRenderer::Vertex>& out);

    struct Range {
        std::size_t firstTriangle, triangleCorners, firstEdge, edgeEnds;
    };
    bool eyeInside(std::size_t volume, const Float3& eye) const;
    BrushEntityVisibility boxes;                       // by volume
    std::vector<Range> ranges;                         // by volume, into the coloured arrays
    std::vector<MarkerRenderer::Vertex> triangles;     // every volume's, coloured
    std::vector<HalfSpace> facings; // by triangle: its side, facing out of its volume
    std::vector<MarkerRenderer::Vertex> edges;
    std::vector<MarkerRenderer::Vertex> frameTriangles; // this frame's; capacity the whole
    std::vector<MarkerRenderer::Vertex> frameEdges;
    std::size_t inView = 0;
};
