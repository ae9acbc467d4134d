#include "inspection/Inspection.h"

#include "inspection/EntityFinder.h"
#include "inspection/FacePicker.h"
#include "level/MaterialLibrary.h"
#include "math/FileAxes.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <sstream>

namespace {
const char* typeName(int32_t type)
{
    switch (type) {
    case LevelFormat::Polygon: return "polygon";
    case LevelFormat::Patch: return "curved surface";
    case LevelFormat::Mesh: return "triangle mesh";
    case LevelFormat::Billboard: return "billboard";
    default: return "face of unknown type";
    }
}

std::string wholeUnits(Float3 point)
{
    std::ostringstream text;
    text << std::lround(point.x) << " " << std::lround(point.y) << " " << std::lround(point.z);
    return text.str();
}

// The inline model whose face range holds `face`, 0 when the world's (or none) does.
std::size_t modelOf(const LevelData& level, int face)
{
    for (std::size_t m = 1; m < level.models.size(); ++m) {
        const Model& model = level.models[m];
        if (face >= model.firstFace && int64_t(face) < int64_t(model.firstFace) + model.faceCount)
            return m;
    }
    return 0;
}

const Entity* entityOfModel(const LevelData& level, std::size_t model)
{
    for (const Entity& entity : level.entities.entities)
        if (entity.inlineModel() == model)
            return &entity;
    return nullptr;
}

void describeFace(std::vector<std::string>& lines, const LevelData& level, const MaterialLibrary* materials,
                  const FacePicker::Hit& hit)
{
    const Face& face = level.faces[std::size_t(hit.face)];
    const std::size_t record = std::size_t(face.texture);
    const std::string& name = level.textureNames[record];
    std::ostringstream text;
    text << "face " << hit.face << ": " << typeName(face.type) << ", texture " << record << " " << name << " ("
         << (materials != nullptr && materials->find(name) != nullptr ? "material from a script" : "no material")
         << "), lightmap " << face.lightmapIndex << ", surface flags 0x" << std::hex << level.textureFlags[record];
    if (record < level.textureContents.size())
        text << ", contents 0x" << level.textureContents[record];
    text << std::dec << ", met at " << wholeUnits(hit.point) << ", " << std::lround(hit.distance) << " units away";
    lines.push_back(text.str());
    if (const std::size_t model = modelOf(level, hit.face)) {
        const Entity* entity = entityOfModel(level, model);
        const std::string* classname = entity != nullptr ? entity->value("classname") : nullptr;
        lines.push_back("  brush entity *" + std::to_string(model) + " " + (classname ? *classname : "(no entity)"));
    }
}

} // namespace

const Entity* Inspection::entityInView(const LevelData& level, const CollisionWorld& blocking, Float3 eye,
                                       Float3 direction, double& degreesOff, float& distance)
{
    const Entity* best = nullptr;
    float bestLength = 0;
    double bestOff = 0;
    for (const Entity& entity : level.entities.entities) {
        float origin[3];
        if (entity.inlineModel() || !entity.numbers("origin", origin, 3))
            continue;
        const Float3 at = FileAxes::toWorld(origin);
        const Float3 toEntity = at - eye;
        const float length = ::length(toEntity);
        if (!(length > 0.0f) || (best != nullptr && length >= bestLength))
            continue;
        const double cosine = std::clamp(double(dot(toEntity, direction)) / length, -1.0, 1.0);
        const double off = std::acos(cosine) * 180.0 / M_PI;
        if (off > degreesOff)
            continue;
        const CollisionWorld::Trace sight = blocking.trace(eye, at, {}, LevelFormat::contentsSolid);
        if ((1.0f - sight.fraction) * length > sightSlack)
            continue;
        best = &entity;
        bestLength = length;
        bestOff = off;
    }
    if (best != nullptr) {
        degreesOff = bestOff;
        distance = bestLength;
    }
    return best;
}

std::vector<std::string> Inspection::describe(const LevelData& level, const MaterialLibrary* materials,
                                              const CollisionWorld& blocking, Float3 eye, Float3 direction)
{
    std::vector<std::string> lines;
    direction = normalized(direction);
    if (const std::optional<FacePicker::Hit> hit = FacePicker::pick(level, eye, direction))
        describeFace(lines, level, materials, *hit);
    else
        lines.push_back("no face ahead");
    double degreesOff = entityDegrees;
    float distance = 0;
    if (const Entity* entity = entityInView(level, blocking, eye, direction, degreesOff, distance)) {
        const std::string* classname = entity->value("classname");
        std::ostringstream text;
        text << "entity " << (entity - level.entities.entities.data()) << ": " << (classname ? *classname : "?") << ", "
             << std::fixed << std::setprecision(1) << degreesOff << " degrees off the view, " << std::lround(distance)
             << " units away";
        lines.push_back(text.str());
        EntityFinder::appendFields(*entity, lines);
    }
    return lines;
}
