#include "app/Snapshot.h"

#include "app/Callbacks.h"
#include "app/Viewer.h"
#include "image/PNGWriter.h"
#include "render/BSPMap.h"
#include "render/FrameCapture.h"
#include "render/OverviewRenderer.h"

#include <GL/glut.h>

namespace {
void show(Snapshot::Target target)
{
    if (target == Snapshot::Target::hiddenWindow)
        glutSwapBuffers();
}
} // namespace

void Snapshot::take(Viewer& viewer, Target target, int width, int height, int frames, const std::string& path)
{
    // The main loop would call this before the first frame; without it there is no projection.
    onReshape(width, height);
    viewer.stopClock();
    for (int frame = 1; frame <= frames; ++frame) {
        viewer.drawFrame();
        if (frame == frames) {
            const FrameCapture picture = FrameCapture::ofBackBuffer();
            PNGWriter::write(path, picture.width, picture.height, picture.rgb);
        }
        show(target);
        viewer.frameShown();
    }
}

void Snapshot::takeOverview(const Viewer& viewer, Target target, int width, int height, const std::string& path)
{
    OverviewRenderer::draw(OverviewLayout::of(*viewer.level(), viewer.materialLibrary()), width, height);
    const FrameCapture picture = FrameCapture::ofBackBuffer();
    PNGWriter::write(path, picture.width, picture.height, picture.rgb);
    show(target);
}
