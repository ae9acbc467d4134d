#include "simulation/Movers.h"

#include "files/RelativePath.h"
#include "math/FileAxes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iomanip>
#include <optional>
#include <sstream>

// ---- the defaults -------------------------------------------------------------------------------

// class, key, default, lowest, highest, zero refused
const Movers::KeyDefault Movers::keyDefaults[] = {
    {"func_rotating", "speed", 100.0f, -3600.0f, 3600.0f, true}, // degrees a second
    {"func_bobbing", "height", 32.0f, -4096.0f, 4096.0f, false}, // units either side
    {"func_bobbing", "speed", 4.0f, 0.05f, 3600.0f, true},        // seconds a cycle
    {"func_bobbing", "phase", 0.0f, -1000.0f, 1000.0f, false},    // of a cycle
    {"func_pendulum", "speed", 30.0f, -90.0f, 90.0f, true},       // degrees of swing either side
    {"func_pendulum", "phase", 0.0f, -1000.0f, 1000.0f, false},
    {"func_train", "speed", 100.0f, 0.1f, 10000.0f, true},        // units a second
    {"path_corner", "wait", 0.0f, -1.0f, 3600.0f, false},         // seconds; -1 counts as 0
    {"func_door", "angle", 0.0f, -2.0f, 360.0f, false},           // heading; -1 up, -2 down
    {"func_door", "speed", 100.0f, 0.1f, 10000.0f, true},
    {"func_door", "wait", 2.0f, -1.0f, 3600.0f, false},           // -1: stays open
    {"func_door", "lip", 8.0f, -4096.0f, 4096.0f, false},         // units left showing
    {"func_plat", "speed", 200.0f, 0.1f, 10000.0f, true},
    {"func_plat", "wait", 1.0f, 0.0f, 3600.0f, false},
    {"func_plat", "lip", 8.0f, -4096.0f, 4096.0f, false},
    {"func_plat", "height", 0.0f, 0.0f, 8192.0f, false},          // 0: its height less lip
    {"func_button", "angle", 0.0f, -2.0f, 360.0f, false},
    {"func_button", "speed", 40.0f, 0.1f, 10000.0f, true},
    {"func_button", "wait", 1.0f, -1.0f, 3600.0f, false},
    {"func_button", "lip", 4.0f, -4096.0f, 4096.0f, false},
};
const std::size_t Movers::keyDefaultCount = sizeof(keyDefaults) / sizeof(keyDefaults[0]);

namespace {

constexpr float pi = 3.14159265358979f;

struct KindName {
    const char* className;
    Movers::Kind kind;
};
const KindName kindNames[] = {
    {"func_rotating", Movers::Kind::rotating}, {"func_bobbing", Movers::Kind::bobbing},
    {"func_pendulum", Movers::Kind::pendulum}, {"func_train", Movers::Kind::train},
    {"func_door", Movers::Kind::door},         {"func_plat", Movers::Kind::plat},
    {"func_button", Movers::Kind::button},
};

// The value of `key` for an entity of `className`, or why it cannot be used.
bool readKey(const Entity& entity, const char* className, const char* key, float& value, std::string& problem)
{
    const Movers::KeyDefault* row = nullptr;
    for (std::size_t i = 0; i < Movers::keyDefaultCount; ++i)
        if (std::string(Movers::keyDefaults[i].className) == className && std::string(Movers::keyDefaults[i].key) == key)
            row = &Movers::keyDefaults[i];
    value = row->value;
    const std::string* text = entity.value(key);
    if (text == nullptr)
        return true;
    if (!entity.numbers(key, &value, 1)) {
        problem = std::string(key) + " \"" + RelativePath::printable(*text, 40) + "\" is not a number";
        return false;
    }
    if (value < row->lowest || value > row->highest || (row->nonZero && value == 0.0f)) {
        std::ostringstream out;
        out << key << ' ' << value << " is outside " << row->lowest << " to " << row->highest
            << (row->nonZero ? " (not 0)" : "");
        problem = out.str();
        return false;
    }
    return true;
}

int spawnFlags(const Entity& entity)
{
    float flags = 0.0f;
    return entity.numbers("spawnflags", &flags, 1) && flags >= 0.0f && flags < 65536.0f ? int(flags) : 0;
}

// A turn's or bob's axis from spawnflags: `xFlag` for the file's X, `yFlag` for its Y, else Z.
bool axisFromFlags(int flags, int xFlag, int yFlag, Float3& axis, std::string& problem)
{
    if ((flags & xFlag) && (flags & yFlag)) {
        problem = "spawnflags " + std::to_string(flags) + " ask for both the X and the Y axis";
        return false;
    }
    axis = FileAxes::toWorld(flags & xFlag ? Float3{1, 0, 0} : flags & yFlag ? Float3{0, 1, 0} : Float3{0, 0, 1});
    return true;
}

// Travel along a heading (-1 up, -2 down) by the box's size that way less `lip`.
Float3 headingDirection(float angle)
{
    if (angle == -1.0f)
        return {0, 1, 0};
    if (angle == -2.0f)
        return {0, -1, 0};
    const float radians = angle * pi / 180.0f;
    return FileAxes::toWorld({std::cos(radians), std::sin(radians), 0.0f});
}

bool overlaps(Float3 lowA, Float3 highA, Float3 lowB, Float3 highB)
{
    for (int axis = 0; axis < 3; ++axis)
        if (lowA[axis] > highB[axis] || highA[axis] < lowB[axis])
            return false;
    return true;
}

Float3 grown(Float3 point, float amount)
{
    return {point.x + amount, point.y + amount, point.z + amount};
}

const Entity* findTargetName(const std::vector<Entity>& entities, const std::string& name, const char* className)
{
    for (const Entity& entity : entities)
        if (const std::string* targetName = entity.value("targetname"))
            if (*targetName == name && (className == nullptr || entity.hasClass(className)))
                return &entity;
    return nullptr;
}

} // namespace

// ---- reading the keys ---------------------------------------------------------------------------

Float3 Movers::Pose::apply(Float3 point) const
{
    Float3 p = point - pivot;
    if (degrees != 0.0f) { // Rodrigues' rotation about a unit axis
        const float radians = degrees * pi / 180.0f;
        const float c = std::cos(radians), s = std::sin(radians);
        p = p * c + cross(axis, p) * s + axis * (dot(axis, p) * (1.0f - c));
    }
    return p + pivot + offset;
}

Movers::Movers(const std::vector<BrushEntity>& brushEntities, const std::vector<Entity>& entities,
               const std::string& levelName, std::vector<std::string>& notices, float gravity)
    : gravity(gravity)
{
    for (const BrushEntity& brush : brushEntities) {
        const KindName* kind = nullptr;
        for (const KindName& name : kindNames)
            if (brush.className == name.className)
                kind = &name;
        if (kind == nullptr)
            continue;
        Mover mover;
        mover.kind = kind->kind;
        mover.model = brush.model;
        mover.firstFace = brush.firstFace;
        mover.faceCount = brush.faceCount;
        const auto owner = std::find_if(entities.begin(), entities.end(),
                                        [&](const Entity& entity) { return entity.inlineModel() == brush.model; });
        if (owner == entities.end())
            continue; // the class came from an entity of another list
        mover.entity = std::size_t(owner - entities.begin());
        mover.name = "entity " + std::to_string(mover.entity) + " (" + brush.className + ")";
        if (const std::string* targetName = owner->value("targetname"))
            mover.targetName = *targetName;
        mover.low = {brush.low.getX(), brush.low.getY(), brush.low.getZ()};
        mover.high = {brush.high.getX(), brush.high.getY(), brush.high.getZ()};
        mover.placed = brush.placed();
        mover.pivot = mover.placed ? Float3{brush.origin.getX(), brush.origin.getY(), brush.origin.getZ()}
                                     : (mover.low + mover.high) * 0.5f;
        mover.pose.pivot = mover.pivot;
        std::string problem;
        if (!isFinite(mover.low) || !isFinite(mover.high) || std::abs(mover.low.x) >= BrushEntity::unreadableExtent)
            problem = "its model's box is not readable";
        else
            read(mover, entities[mover.entity], entities, problem);
        if (!problem.empty()) {
            mover.still = true;
            notices.push_back(levelName + ": " + mover.name + ": " + problem + "; it stays at rest");
        }
        movers.push_back(std::move(mover));
    }
    pressedNow.reserve(movers.size());
    std::size_t models = 0;
    for (const Mover& mover : movers)
        models = std::max(models, mover.model + 1);
    byModel.assign(models, -1);
    for (std::size_t i = 0; i < movers.size(); ++i)
        byModel[movers[i].model] = int(i);
}

void Movers::read(Mover& mover, const Entity& entity, const std::vector<Entity>& entities, std::string& problem) const
{
    const char* className = nullptr;
    for (const KindName& name : kindNames)
        if (name.kind == mover.kind)
            className = name.className;
    const auto key = [&](const char* name, float& value) { return problem.empty() && readKey(entity, className, name, value, problem); };
    const int flags = spawnFlags(entity);
    const Float3 size = mover.high - mover.low;
    float angle = 0.0f, lip = 0.0f, height = 0.0f;
    switch (mover.kind) {
    case Kind::rotating:
        if (key("speed", mover.speed))
            axisFromFlags(flags, 4, 8, mover.axis, problem);
        break;
    case Kind::bobbing:
        if (key("height", mover.distance) && key("speed", mover.speed) && key("phase", mover.phase))
            axisFromFlags(flags, 1, 2, mover.axis, problem);
        break;
    case Kind::pendulum: {
        if (key("speed", mover.distance))
            key("phase", mover.phase);
        mover.axis = FileAxes::toWorld({1, 0, 0}); // swings across the file's Y
        // A pendulum as long as from its pivot to its farthest end.
        const float length = std::max({8.0f, mover.pivot.y - mover.low.y, mover.high.y - mover.pivot.y});
        mover.period = 2.0f * pi * std::sqrt(length / gravity);
        break;
    }
    case Kind::train:
        if (key("speed", mover.speed))
            readTrain(mover, entity, entities, problem);
        break;
    case Kind::door:
    case Kind::button:
    case Kind::plat:
        if (key("speed", mover.speed) && key("wait", mover.wait))
            key("lip", lip);
        if (mover.kind == Kind::plat) {
            key("height", height);
            mover.axis = {0, 1, 0};
            mover.distance = height > 0.0f ? height : size.y - lip;
        } else if (key("angle", angle)) {
            if (angle < 0.0f && angle != -1.0f && angle != -2.0f) {
                std::ostringstream out;
                out << "angle " << angle << " is neither a heading nor -1 (up) or -2 (down)";
                problem = out.str();
            }
            mover.axis = headingDirection(angle);
            mover.distance = std::abs(mover.axis.x) * size.x + std::abs(mover.axis.y) * size.y
                           + std::abs(mover.axis.z) * size.z - lip;
        }
        if (problem.empty() && !(mover.distance > 0.0f)) {
            std::ostringstream out;
            out << "lip " << lip << " leaves it no distance to move";
            problem = out.str();
        }
        if (mover.kind == Kind::button) {
            if (const std::string* target = entity.value("target"))
                mover.target = *target;
        }
        break;
    }
}

// The path_corner chain from the train's target, each corner once: where a corner names one
// already met the path loops there; where the chain ends it loops back to its first corner.
void Movers::readTrain(Mover& mover, const Entity& entity, const std::vector<Entity>& entities,
                       std::string& problem) const
{
    const std::string* target = entity.value("target");
    if (target == nullptr) {
        problem = "it has no target: no path_corner to follow";
        return;
    }
    std::vector<const Entity*> chain;
    const Entity* corner = findTargetName(entities, *target, "path_corner");
    if (corner == nullptr) {
        problem = "its target \"" + RelativePath::printable(*target, 40) + "\" names no path_corner";
        return;
    }
    while (corner != nullptr && chain.size() < maxCorners
           && std::find(chain.begin(), chain.end(), corner) == chain.end()) {
        chain.push_back(corner);
        const std::string* next = corner->value("target");
        corner = next ? findTargetName(entities, *next, "path_corner") : nullptr;
    }
    for (const Entity* point : chain) {
        float at[3], wait = 0.0f;
        if (!point->numbers("origin", at, 3)) {
            problem = "a path_corner of its path has no origin of three numbers";
            return;
        }
        if (!readKey(*point, "path_corner", "wait", wait, problem))
            return;
        mover.corners.push_back(FileAxes::toWorld({at[0], at[1], at[2]}));
        mover.cornerWaits.push_back(std::max(0.0f, wait));
    }
    float length = 0.0f;
    for (std::size_t i = 0; i < mover.corners.size(); ++i)
        length += ::length(mover.corners[(i + 1) % mover.corners.size()] - mover.corners[i]);
    if (!(length > 0.0f)) {
        problem = "its path is a loop of one point";
        return;
    }
    if (!std::isfinite(length) || length > 1.0e9f) {
        problem = "its path is longer than a billion units";
        return;
    }
    mover.period = length / mover.speed;
    for (float wait : mover.cornerWaits)
        mover.period += wait;
    // Without an origin, the corner takes the model's lowest corner in file coordinates.
    mover.reference = mover.placed ? mover.pivot : Float3{mover.low.x, mover.low.y, mover.high.z};
}

void Movers::open(std::size_t index)
{
    if (index < movers.size() && !movers[index].still)
        open(movers[index]);
}

void Movers::openOnlyWhenFired(std::size_t index)
{
    if (index < movers.size() && movers[index].kind == Kind::door)
        movers[index].triggeredOnly = true;
}

void Movers::keepAtRest(std::size_t index, const std::string& why, const std::string& levelName,
                        std::vector<std::string>& notices)
{
    if (index >= movers.size() || movers[index].still)
        return;
    movers[index].still = true;
    notices.push_back(levelName + ": " + movers[index].name + ": " + why + "; it stays at rest");
}

// ---- moving ---------------------------------------------------------------------------------------

void Movers::update(double clockSeconds, Float3 playerLow, Float3 playerHigh)
{
    const double advance = started ? clockSeconds - lastClock : 0.0;
    const float seconds = advance > 0.0 && advance < 1.0e6 ? float(advance) : 0.0f;
    lastClock = clockSeconds;
    started = true;
    pressedNow.clear();
    for (std::size_t i = 0; i < movers.size(); ++i) {
        Mover& mover = movers[i];
        if (mover.still)
            continue;
        switch (mover.kind) {
        case Kind::rotating:
        case Kind::bobbing:
        case Kind::pendulum: periodicPose(mover, clockSeconds); break;
        case Kind::train: trainPose(mover, clockSeconds); break;
        default: stepTriggered(i, seconds, playerLow, playerHigh);
        }
    }
}

void Movers::periodicPose(Mover& mover, double seconds) const
{
    Pose& pose = mover.pose;
    if (mover.kind == Kind::rotating) {
        pose.axis = mover.axis;
        pose.degrees = float(std::fmod(double(mover.speed) * seconds, 360.0));
    } else if (mover.kind == Kind::bobbing) {
        const double cycles = seconds / double(mover.speed) + double(mover.phase);
        pose.offset = mover.axis * (mover.distance * float(std::sin(2.0 * double(pi) * std::fmod(cycles, 1.0))));
    } else {
        const double cycles = seconds / double(mover.period) + double(mover.phase);
        pose.axis = mover.axis;
        pose.degrees = mover.distance * float(std::sin(2.0 * double(pi) * std::fmod(cycles, 1.0)));
    }
}

// From the first corner at time 0: travel to the next at speed, wait there as it says, on.
void Movers::trainPose(Mover& mover, double seconds) const
{
    double left = std::fmod(seconds, double(mover.period));
    if (left < 0.0)
        left += mover.period;
    const std::size_t count = mover.corners.size();
    Float3 at = mover.corners[0];
    for (std::size_t i = 0; i < count; ++i) {
        const Float3 from = mover.corners[i], to = mover.corners[(i + 1) % count];
        const double travel = double(::length(to - from)) / double(mover.speed);
        if (left < travel) {
            at = from + (to - from) * float(left / travel);
            break;
        }
        left -= travel;
        at = to;
        if (left < double(mover.cornerWaits[(i + 1) % count]))
            break;
        left -= double(mover.cornerWaits[(i + 1) % count]);
    }
    mover.pose.offset = at - mover.reference;
}

void Movers::open(Mover& mover)
{
    if (mover.state == Phase::closed || mover.state == Phase::closing)
        mover.state = Phase::opening;
    else if (mover.state == Phase::open)
        mover.waitLeft = mover.wait;
}

// Doors, lifts and buttons: what sets each off, then its travel by the clock's advance.
void Movers::stepTriggered(std::size_t index, float seconds, Float3 playerLow, Float3 playerHigh)
{
    Mover& mover = movers[index];
    Float3 low, high;
    movedBox(mover, low, high);
    bool touched = false;
    if (mover.kind == Kind::door)
        touched = !mover.triggeredOnly && overlaps(grown(mover.low, -nearDistance), grown(mover.high, nearDistance), playerLow, playerHigh);
    else if (mover.kind == Kind::plat) // on it, or just above it
        touched = overlaps({low.x - 8, high.y - 8, low.z - 8}, {high.x + 8, high.y + nearDistance, high.z + 8}, playerLow, playerHigh);
    else
        touched = overlaps(grown(mover.low, -4.0f), grown(mover.high, 4.0f), playerLow, playerHigh);
    // A door or lift closing onto the player goes back.
    const bool blocked = mover.state == Phase::closing && overlaps(low, high, playerLow, playerHigh);
    if (touched || blocked)
        open(mover);

    const float step = seconds * mover.speed / mover.distance;
    switch (mover.state) {
    case Phase::closed: break;
    case Phase::opening:
        mover.progress = std::min(1.0f, mover.progress + step);
        if (mover.progress >= 1.0f) {
            mover.state = Phase::open;
            mover.waitLeft = mover.wait;
            if (mover.kind == Kind::button)
                pressedNow.push_back(index);
        }
        break;
    case Phase::open:
        if (mover.wait >= 0.0f && (mover.waitLeft -= seconds) <= 0.0f)
            mover.state = Phase::closing;
        break;
    case Phase::closing:
        mover.progress = std::max(0.0f, mover.progress - step);
        if (mover.progress <= 0.0f)
            mover.state = Phase::closed;
        break;
    }
    // A lift stands raised at rest in the file and starts lowered.
    const float along = mover.kind == Kind::plat ? mover.progress - 1.0f : mover.progress;
    mover.pose.offset = mover.axis * (mover.distance * along);
}

// ---- questions ------------------------------------------------------------------------------------

const Movers::Mover* Movers::ofModel(std::size_t model) const
{
    const std::optional<std::size_t> index = indexOfModel(model);
    return index ? &movers[*index] : nullptr;
}

std::optional<std::size_t> Movers::indexOfModel(std::size_t model) const
{
    if (model < byModel.size() && byModel[model] >= 0)
        return std::size_t(byModel[model]);
    return std::nullopt;
}

bool Movers::isMoving(const Mover& mover)
{
    if (mover.still)
        return false;
    if (mover.kind == Kind::door || mover.kind == Kind::plat || mover.kind == Kind::button)
        return mover.state != Phase::closed && !(mover.state == Phase::open && mover.wait < 0.0f);
    return true;
}

bool Movers::anyMoving() const
{
    return std::any_of(movers.begin(), movers.end(), isMoving);
}

void Movers::movedBox(const Mover& mover, Float3& low, Float3& high)
{
    const Pose& pose = mover.pose;
    if (pose.degrees == 0.0f && mover.kind != Kind::rotating && mover.kind != Kind::pendulum) {
        low = mover.low + pose.offset;
        high = mover.high + pose.offset;
        return;
    }
    // Turned any way, the box stays within the sphere through its farthest corner.
    float radius = 0.0f;
    for (int corner = 0; corner < 8; ++corner) {
        const Float3 point{corner & 1 ? mover.high.x : mover.low.x, corner & 2 ? mover.high.y : mover.low.y,
                           corner & 4 ? mover.high.z : mover.low.z};
        radius = std::max(radius, length(point - mover.pivot));
    }
    low = grown(mover.pivot + pose.offset, -radius);
    high = grown(mover.pivot + pose.offset, radius);
}

std::string Movers::describe(const Mover& mover)
{
    std::ostringstream line;
    line << std::fixed << std::setprecision(0) << '*' << mover.model << ' ' << mover.name << ": ";
    if (mover.still)
        return line.str() + "stays at rest";
    const auto axisName = [](Float3 axis) {
        return axis.y > 0.5f ? "up" : axis.y < -0.5f ? "down" : std::abs(axis.x) > 0.5f ? "along x" : "along y";
    };
    switch (mover.kind) {
    case Kind::rotating:
        line << "turns " << mover.speed << " degrees a second about "
             << (mover.axis.y != 0.0f ? "z" : mover.axis.x != 0.0f ? "x" : "y") << ", always";
        break;
    case Kind::bobbing:
        line << "bobs " << mover.distance << " units either way " << (mover.axis.y != 0.0f ? "vertically" : axisName(mover.axis)) << ", every " << std::setprecision(1)
             << mover.speed << " s, always";
        break;
    case Kind::pendulum:
        line << "swings " << mover.distance << " degrees either side, every " << std::setprecision(1) << mover.period
             << " s, always";
        break;
    case Kind::train:
        line << "follows " << mover.corners.size() << " path corners at " << mover.speed << " units a second, every "
             << std::setprecision(1) << mover.period << " s, always";
        break;
    case Kind::door:
        line << "opens " << mover.distance << " units " << (mover.axis.y == 0.0f ? "sideways" : axisName(mover.axis)) << " at "
             << mover.speed << " units a second " << (mover.triggeredOnly ? "when a button or trigger naming it fires" : "when approached");
        break;
    case Kind::plat:
        line << "rises " << mover.distance << " units at " << mover.speed << " units a second when stood on";
        break;
    case Kind::button:
        line << "presses in " << mover.distance << " units when touched and fires \"" << RelativePath::printable(mover.target, 40) << '"';
        break;
    }
    if (mover.kind == Kind::door || mover.kind == Kind::plat || mover.kind == Kind::button) {
        line << std::setprecision(1);
        if (mover.wait < 0.0f)
            line << ", stays open";
        else
            line << ", returns after " << mover.wait << " s";
    }
    return line.str();
}
