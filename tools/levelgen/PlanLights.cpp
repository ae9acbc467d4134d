#include "PlanLights.h"

#include "LevelBuilder.h"

namespace {

struct LightColour {
    const char* kind;
    const char* text;
    float rgb[3];
};

// The viewer shines light 0 from far away in the direction of its position; 1 to 3 are spots.
constexpr LightColour lightColours[maxLights] = {{"sun", "0.75 0.70 0.65", {0.75f, 0.70f, 0.65f}},
                                                 {"lamp", "1.0 0.85 0.6", {1.0f, 0.85f, 0.6f}},
                                                 {"lamp", "0.6 0.75 1.0", {0.6f, 0.75f, 1.0f}},
                                                 {"lamp", "0.9 0.65 0.9", {0.9f, 0.65f, 0.9f}}};

} // namespace

std::vector<LightSource> lightSources(const Plan& plan)
{
    std::vector<LightSource> sources;
    for (size_t i = 0; i < plan.lights.size() && i < static_cast<size_t>(maxLights); ++i) {
        const WorldPosition world = lightPosition(plan, plan.lights[i]);
        LightSource source;
        // World (x, y up, z) is file (x, -z, y).
        source.position = {static_cast<float>(world.x), static_cast<float>(-world.z), static_cast<float>(world.y)};
        for (int c = 0; c < 3; ++c)
            source.colour[c] = lightColours[i].rgb[c];
        source.kind = lightColours[i].kind;
        source.colourText = lightColours[i].text;
        sources.push_back(source);
    }
    return sources;
}
