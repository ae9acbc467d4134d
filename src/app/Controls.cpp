#include "app/Controls.h"

#include "app/FrameClock.h"
#include "camera/Camera.h"
#include "render/StatusLine.h"

Controls::~Controls() = default;

void Controls::beginStatus(StatusLine& text, const Camera& camera, const FrameClock& clock) const
{
    const Point& position = camera.getPosition();
    text << "FPS:" << clock.framesPerSecond() << " X:" << position.getX() << " Y:" << position.getY()
         << " Z:" << position.getZ();
}
