#include "camera/PlayerStarts.h"

#include "camera/Camera.h"
#include "math/FileAxes.h"

#include <algorithm>
#include <cmath>

namespace {
float bounded(float coordinate)
{
    return std::isnan(coordinate) ? 0.0f : std::clamp(coordinate, -PlayerStarts::worldLimit, PlayerStarts::worldLimit);
}

Vec3 bounded(const Vec3& point) { return Vec3(bounded(point.getX()), bounded(point.getY()), bounded(point.getZ())); }

// Within [0, 360): a tiny negative remainder plus 360 rounds to 360 itself.
double wholeTurn(double degrees)
{
    const double heading = std::fmod(degrees, 360.0);
    const double turned = heading < 0 ? heading + 360 : heading;
    return turned < 360 ? turned : 0;
}
} // namespace

std::pair<Vec3, Vec3> PlayerStarts::boundedBox(const Vec3& low, const Vec3& high)
{
    return {bounded(low), bounded(high)};
}

PlayerStarts::PlayerStarts(const std::vector<PlayerStart>& starts, const Vec3& low, const Vec3& high)
{
    const auto [boxLow, boxHigh] = boundedBox(low, high);
    views.reserve(starts.size());
    for (const PlayerStart& start : starts) {
        const float lift = start.kind == PlayerStart::Kind::intermission ? 0.0f : eyeAboveOrigin;
        const Float3 origin = FileAxes::toWorld(start.origin);
        const Point eye(std::round(std::clamp(origin.x, boxLow.getX(), boxHigh.getX())),
                        std::round(std::clamp(origin.y + lift, boxLow.getY(), boxHigh.getY())),
                        std::round(std::clamp(origin.z, boxLow.getZ(), boxHigh.getZ())));
        views.push_back({eye, wholeTurn(start.angle), start.name()});
        if (!preferredIndex || start.kind < starts[*preferredIndex].kind)
            preferredIndex = views.size() - 1;
    }
}

PlayerStarts::Pose PlayerStarts::poseOf(const Camera& camera)
{
    return {camera.getPosition(), camera.getYaw(), camera.getPitch()};
}

void PlayerStarts::jump(Camera& camera, bool forward)
{
    if (views.empty())
        return;
    const std::size_t size = views.size();
    std::size_t next = forward ? 0 : size - 1;
    if (current)
        next = forward ? (*current + 1) % size : (*current + size - 1) % size;
    camera.moveTo(views[next].eye);
    camera.faceHeading(views[next].heading);
    camera.setPitch(0);
    current = next;
    landed = poseOf(camera);
}

bool PlayerStarts::stands(const Camera& camera, std::size_t index) const
{
    const View& view = views[index];
    const Point& eye = camera.getPosition();
    const double turn = std::fabs(camera.heading() - view.heading);
    return eye.getX() == view.eye.getX() && eye.getY() == view.eye.getY() && eye.getZ() == view.eye.getZ()
        && std::min(turn, 360 - turn) < 1e-6 && camera.getPitch() == 0;
}

void PlayerStarts::openedAt(const Camera& camera)
{
    current.reset();
    landed.reset();
    if (!preferredIndex)
        return;
    std::optional<std::size_t> found;
    if (stands(camera, *preferredIndex))
        found = preferredIndex;
    for (std::size_t index = 0; index < views.size() && !found; ++index)
        if (stands(camera, index))
            found = index;
    if (!found)
        return;
    current = found;
    landed = poseOf(camera);
}

std::size_t PlayerStarts::standingAt(const Camera& camera) const
{
    if (!landed)
        return 0;
    const Pose now = poseOf(camera);
    const bool still = now.eye.getX() == landed->eye.getX() && now.eye.getY() == landed->eye.getY()
                    && now.eye.getZ() == landed->eye.getZ() && now.yaw == landed->yaw && now.pitch == landed->pitch;
    return still ? *current + 1 : 0;
}
