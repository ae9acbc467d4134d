#pragma once

#include "camera/Shot.h"
#include "render/SolidSphere.h"

#include <vector>

class Camera;

// The camera's drawing side: its view on the model-view matrix, the gun bar and the shots in
// flight. The camera itself (pose, moves, shots) knows nothing of GL.
class CameraRenderer {
public:
    CameraRenderer();

    // Carries out the camera's pending move, multiplies the view onto the current model-view
    // matrix and rebuilds the camera's frustum from GL's matrices. frameSeconds is unused:
    // nothing scales by time.
    void applyView(Camera& camera, float frameSeconds);

    void drawGun() const; // in eye coordinates, lit on its own
    void drawShots(const std::vector<Shot>& shots); // green balls where the shots are now
    // The same balls in one draw from an array filled in place (sized once for the most shots a
    // camera holds): a thousand balls in flight cost one call instead of a thousand. Unlit, like
    // the single balls, and with the same texture state.
    void drawShotsInOneBatch(const std::vector<Shot>& shots);

private:
    SolidSphere shotBall{2.0, 4, 4}; // radius 2, 4 slices, 4 stacks
    std::vector<float> ballTriangles; // one ball of radius 2 around the origin, x y z per corner
    std::vector<float> batch;         // every shot's ball, sized for Camera::maxShots
};
