#include "level/MaterialKeywords.h"

#include "files/RelativePath.h"
#include "math/FileAxes.h"

#include <algorithm>
#include <utility>

namespace {

// A keyword line's meaning; false when the line is not honoured.
using MaterialRule = bool (*)(const MaterialStatement&, Material&);
using StageRule = bool (*)(const MaterialStatement&, Material::Stage&);

template <typename Value, std::size_t N>
bool lookUp(const std::pair<const char*, Value> (&table)[N], const std::string& name, Value& value)
{
    for (const auto& [text, meaning] : table)
        if (name == text) {
            value = meaning;
            return true;
        }
    return false;
}

// Keywords whose first argument names a variant: a skipped one is listed with it.
bool namesVariant(const std::string& keyword)
{
    static const char* const keywords[] = {"cull", "sort", "deformvertexes", "alphafunc", "blendfunc", "depthfunc",
        "rgbgen", "alphagen", "tcgen", "tcmod", "map", "clampmap"};
    return std::any_of(std::begin(keywords), std::end(keywords), [&](const char* k) { return keyword == k; });
}

void noteSkipped(const MaterialStatement& statement, Material& material)
{
    if (MaterialKeywords::isForTools(statement.keyword()))
        return;
    std::string excerpt = statement.excerpt(namesVariant(statement.keyword()));
    const std::string key = RelativePath::lowerCase(excerpt);
    for (const std::string& known : material.skipped)
        if (RelativePath::lowerCase(known) == key)
            return;
    if (material.skipped.size() < Material::maxSkipped)
        material.skipped.push_back(std::move(excerpt));
}

float clamped(float value, float low, float high) { return std::min(std::max(value, low), high); }

// ---- waves and colours ---------------------------------------------------------------------

// FUNC BASE AMP PHASE FREQ from argument `first` on.
bool readWave(const MaterialStatement& statement, std::size_t first, Material::Wave& wave)
{
    static const std::pair<const char*, Waveform> functions[] = {{"sin", Waveform::sine},
        {"triangle", Waveform::triangle}, {"square", Waveform::square}, {"sawtooth", Waveform::sawtooth},
        {"inversesawtooth", Waveform::inverseSawtooth}, {"noise", Waveform::noise}};
    Material::Wave read;
    std::array<float, 4> values{};
    if (!lookUp(functions, statement.lowerArgument(first), read.function) || !statement.numbers(first + 1, values))
        return false;
    read.base = values[0];
    read.amplitude = values[1];
    read.phase = values[2];
    read.frequency = values[3];
    wave = read;
    return true;
}

// Three numbers from `first` on, parentheses apart.
bool readTriple(const MaterialStatement& statement, std::size_t first, std::array<float, 3>& triple)
{
    return statement.withoutParentheses().numbers(first, triple);
}

// A direction the script writes in the file's axes (Z up), held Y up.
std::array<float, 3> yUp(const std::array<float, 3>& file)
{
    const Float3 world = FileAxes::toWorld(file.data());
    return {world.x, world.y, world.z};
}

// ---- material keywords ---------------------------------------------------------------------

bool readSurfaceParameter(const MaterialStatement& statement, Material& material)
{
    const std::string parameter = statement.lowerArgument(0);
    static const std::pair<const char*, bool Material::*> drawing[] = {{"sky", &Material::sky},
        {"nodraw", &Material::nodraw}, {"trans", &Material::translucent}, {"nolightmap", &Material::noLightmap},
        {"fog", &Material::fog}};
    bool Material::*flag = nullptr;
    if (lookUp(drawing, parameter, flag))
        material.*flag = true;
    return true; // the others tell the compiler about contents and sounds, not the viewer about drawing
}

bool readCull(const MaterialStatement& statement, Material& material)
{
    static const std::pair<const char*, Culling> sides[] = {{"front", Culling::frontSided},
        {"back", Culling::backSided}, {"none", Culling::twoSided}, {"disable", Culling::twoSided},
        {"twosided", Culling::twoSided}};
    if (statement.argumentCount() == 0) {
        material.culling = Culling::frontSided;
        return true;
    }
    return lookUp(sides, statement.lowerArgument(0), material.culling);
}

bool readSkyParameters(const MaterialStatement& statement, Material& material)
{
    if (statement.argumentCount() == 0)
        return false;
    const auto box = [&](std::size_t index) {
        const std::string_view name = statement.argument(index);
        return name == "-" ? std::string() : std::string(name);
    };
    material.skyFarBox = box(0);
    float height = 0.0f;
    material.skyCloudHeight = statement.number(1, height) && height > 0.0f ? height : 128.0f;
    material.skyNearBox = box(2);
    return true;
}

bool readFogParameters(const MaterialStatement& statement, Material& material)
{
    std::array<float, 4> values{}; // r g b distance
    if (!statement.withoutParentheses().numbers(0, values))
        return false;
    for (std::size_t c = 0; c < 3; ++c)
        material.fogColor[c] = clamped(values[c], 0.0f, 1.0f);
    material.fogDistance = std::max(values[3], 1.0f);
    material.fog = true;
    return true;
}

bool readSort(const MaterialStatement& statement, Material& material)
{
    static const std::pair<const char*, float> names[] = {{"portal", Material::Sort::portal},
        {"sky", Material::Sort::sky}, {"opaque", Material::Sort::opaque}, {"decal", Material::Sort::decal},
        {"seethrough", Material::Sort::seeThrough}, {"banner", Material::Sort::banner},
        {"underwater", Material::Sort::underwater}, {"additive", Material::Sort::additive},
        {"nearest", Material::Sort::nearest}};
    float sort = 0.0f;
    if (!lookUp(names, statement.lowerArgument(0), sort) && !(statement.number(0, sort) && sort > 0.0f))
        return false;
    material.sort = sort;
    return true;
}

bool readDeform(const MaterialStatement& statement, Material& material)
{
    static const std::pair<const char*, DeformKind> kinds[] = {{"wave", DeformKind::wave},
        {"move", DeformKind::move}, {"bulge", DeformKind::bulge}, {"normal", DeformKind::normal},
        {"autosprite", DeformKind::autosprite}, {"autosprite2", DeformKind::autosprite2}};
    Material::Deform deform;
    if (!lookUp(kinds, statement.lowerArgument(0), deform.kind) || material.deforms.size() == Material::maxDeforms)
        return false;
    bool complete = true;
    switch (deform.kind) {
    case DeformKind::wave:
        complete = statement.number(1, deform.spread) && readWave(statement, 2, deform.wave);
        break;
    case DeformKind::move: {
        const MaterialStatement split = statement.withoutParentheses(); // the vector may stand in them
        std::array<float, 3> file{};
        complete = split.numbers(1, file) && readWave(split, 4, deform.wave);
        deform.vector = yUp(file);
        break;
    }
    case DeformKind::normal:
        complete = statement.number(1, deform.wave.amplitude) && statement.number(2, deform.wave.frequency);
        break;
    case DeformKind::bulge:
        complete = statement.number(1, deform.bulgeWidth) && statement.number(2, deform.bulgeHeight)
                   && statement.number(3, deform.bulgeSpeed);
        break;
    case DeformKind::autosprite:
    case DeformKind::autosprite2:
        break;
    }
    if (complete)
        material.deforms.push_back(deform);
    return complete;
}

bool readEditorImage(const MaterialStatement& statement, Material& material)
{
    if (statement.argumentCount() > 0)
        material.editorImage = statement.argument(0);
    return true;
}

bool readPolygonOffset(const MaterialStatement&, Material& material)
{
    material.polygonOffset = true;
    return true;
}

bool readNoMipmaps(const MaterialStatement&, Material& material)
{
    material.noMipmaps = true;
    return true;
}

// ---- stage images --------------------------------------------------------------------------

void showNoImage(Material::Stage& stage)
{
    stage.image.clear();
    stage.lightmapStage = false;
    stage.whiteImage = false;
    stage.animationFrames.clear();
    stage.animationFrequency = 0.0f;
}

// `$lightmap` and `$whiteimage` are built in; any other `$` name is an image the viewer lacks.
bool showImage(std::string_view image, bool clamp, Material::Stage& stage)
{
    if (image.empty())
        return false;
    showNoImage(stage);
    stage.clamp = clamp;
    const std::string key = Material::keyOf(image);
    stage.lightmapStage = key == "$lightmap";
    stage.whiteImage = key == "$whiteimage";
    if (image[0] != '$')
        stage.image = image;
    return image[0] != '$' || stage.lightmapStage || stage.whiteImage;
}

bool readMap(const MaterialStatement& statement, Material::Stage& stage)
{
    return showImage(statement.argument(0), false, stage);
}

bool readClampMap(const MaterialStatement& statement, Material::Stage& stage)
{
    return showImage(statement.argument(0), true, stage);
}

// The frequency, then the frames; frames past the eighth are not shown.
bool readAnimationMap(const MaterialStatement& statement, Material::Stage& stage)
{
    float frequency = 0.0f;
    if (!statement.number(0, frequency) || statement.argumentCount() < 2)
        return false;
    showNoImage(stage);
    stage.clamp = false;
    for (std::size_t i = 1; i < statement.argumentCount() && i <= Material::Stage::maxAnimationFrames; ++i) {
        const std::string_view frame = statement.argument(i);
        stage.animationFrames.emplace_back(frame[0] == '$' ? std::string_view() : frame);
    }
    stage.image = stage.animationFrames.front();
    stage.animationFrequency = frequency;
    return statement.argumentCount() <= Material::Stage::maxAnimationFrames + 1;
}

// ---- stage blending and tests --------------------------------------------------------------

bool readAlphaFunction(const MaterialStatement& statement, Material::Stage& stage)
{
    static const std::pair<const char*, AlphaFunction> functions[] = {{"gt0", AlphaFunction::greaterThanZero},
        {"lt128", AlphaFunction::lessThan128}, {"ge128", AlphaFunction::greaterOrEqualTo128}};
    return lookUp(functions, statement.lowerArgument(0), stage.alphaFunction);
}

bool readFactor(const std::string& name, BlendFactor& factor)
{
    static const std::pair<const char*, BlendFactor> factors[] = {
        {"gl_one", BlendFactor::one},
        {"gl_zero", BlendFactor::zero},
        {"gl_src_color", BlendFactor::sourceColor},
        {"gl_one_minus_src_color", BlendFactor::oneMinusSourceColor},
        {"gl_dst_color", BlendFactor::destinationColor},
        {"gl_one_minus_dst_color", BlendFactor::oneMinusDestinationColor},
        {"gl_src_alpha", BlendFactor::sourceAlpha},
        {"gl_one_minus_src_alpha", BlendFactor::oneMinusSourceAlpha},
        {"gl_dst_alpha", BlendFactor::destinationAlpha},
        {"gl_one_minus_dst_alpha", BlendFactor::oneMinusDestinationAlpha},
        {"gl_src_alpha_saturate", BlendFactor::sourceAlphaSaturate},
    };
    return lookUp(factors, name, factor);
}

// Shorthand names or two factors.
bool readBlend(const MaterialStatement& statement, Material::Stage& stage)
{
    static const std::pair<const char*, std::pair<BlendFactor, BlendFactor>> shorthands[] = {
        {"add", {BlendFactor::one, BlendFactor::one}},
        {"filter", {BlendFactor::destinationColor, BlendFactor::zero}},
        {"blend", {BlendFactor::sourceAlpha, BlendFactor::oneMinusSourceAlpha}}};
    std::pair<BlendFactor, BlendFactor> factors;
    if (!lookUp(shorthands, statement.lowerArgument(0), factors)
        && !(readFactor(statement.lowerArgument(0), factors.first)
             && readFactor(statement.lowerArgument(1), factors.second)))
        return false;
    stage.blend.sourceFactor = factors.first;
    stage.blend.destinationFactor = factors.second;
    stage.blend.blends = factors != std::pair(BlendFactor::one, BlendFactor::zero);
    return true;
}

bool readDepthFunction(const MaterialStatement& statement, Material::Stage& stage)
{
    static const std::pair<const char*, DepthFunction> functions[] = {{"lequal", DepthFunction::lessOrEqual},
        {"equal", DepthFunction::equal}};
    return lookUp(functions, statement.lowerArgument(0), stage.depthFunction);
}

bool readDepthWrite(const MaterialStatement&, Material::Stage& stage)
{
    stage.depthWrite = true;
    return true;
}

bool readDetail(const MaterialStatement&, Material::Stage& stage)
{
    stage.detail = true;
    return true;
}

// ---- stage colour --------------------------------------------------------------------------

bool readColorSource(const MaterialStatement& statement, Material::Stage& stage)
{
    static const std::pair<const char*, ColorSource> sources[] = {{"identity", ColorSource::identity},
        {"identitylighting", ColorSource::identityLighting}, {"vertex", ColorSource::vertex},
        {"exactvertex", ColorSource::exactVertex}, {"oneminusvertex", ColorSource::oneMinusVertex},
        {"const", ColorSource::constant}, {"constant", ColorSource::constant}, {"wave", ColorSource::wave},
        {"lightingdiffuse", ColorSource::lightingDiffuse}};
    ColorSource source = ColorSource::identity;
    if (!lookUp(sources, statement.lowerArgument(0), source))
        return false;
    if (source == ColorSource::constant) {
        std::array<float, 3> color{};
        if (!readTriple(statement, 1, color))
            return false;
        for (std::size_t c = 0; c < 3; ++c)
            stage.constantColor[c] = clamped(color[c], 0.0f, 1.0f);
    } else if (source == ColorSource::wave && !readWave(statement, 1, stage.colorWave)) {
        return false;
    }
    stage.rgbGen = source;
    return true;
}

bool readAlphaSource(const MaterialStatement& statement, Material::Stage& stage)
{
    static const std::pair<const char*, AlphaSource> sources[] = {{"identity", AlphaSource::identity},
        {"const", AlphaSource::constant}, {"constant", AlphaSource::constant}, {"wave", AlphaSource::wave},
        {"vertex", AlphaSource::vertex}, {"oneminusvertex", AlphaSource::oneMinusVertex},
        {"portal", AlphaSource::portal}, {"lightingspecular", AlphaSource::lightingSpecular}};
    AlphaSource source = AlphaSource::identity;
    if (!lookUp(sources, statement.lowerArgument(0), source))
        return false;
    float value = 0.0f;
    if (source == AlphaSource::constant) {
        if (!statement.number(1, value))
            return false;
        stage.constantAlpha = clamped(value, 0.0f, 1.0f);
    } else if (source == AlphaSource::wave && !readWave(statement, 1, stage.alphaWave)) {
        return false;
    } else if (source == AlphaSource::portal) {
        stage.portalRange = statement.number(1, value) && value > 0.0f ? value : 256.0f;
    }
    stage.alphaGen = source;
    return true;
}

// ---- stage texture coordinates -------------------------------------------------------------

bool readTexCoordSource(const MaterialStatement& statement, Material::Stage& stage)
{
    static const std::pair<const char*, TexCoordSource> sources[] = {{"base", TexCoordSource::base},
        {"texture", TexCoordSource::base}, {"lightmap", TexCoordSource::lightmap},
        {"environment", TexCoordSource::environment}, {"vector", TexCoordSource::vector}};
    TexCoordSource source = TexCoordSource::base;
    if (!lookUp(sources, statement.lowerArgument(0), source))
        return false;
    if (source == TexCoordSource::vector) {
        std::array<float, 6> axes{};
        if (!statement.withoutParentheses().numbers(1, axes))
            return false;
        stage.tcGenVectors = {yUp({axes[0], axes[1], axes[2]}), yUp({axes[3], axes[4], axes[5]})};
    }
    stage.tcGen = source;
    return true;
}

bool readTexCoordMod(const MaterialStatement& statement, Material::Stage& stage)
{
    static const std::pair<const char*, TexCoordModKind> kinds[] = {{"scroll", TexCoordModKind::scroll},
        {"scale", TexCoordModKind::scale}, {"rotate", TexCoordModKind::rotate},
        {"turb", TexCoordModKind::turbulence}, {"stretch", TexCoordModKind::stretch},
        {"transform", TexCoordModKind::transform}};
    Material::TexCoordMod mod;
    if (!lookUp(kinds, statement.lowerArgument(0), mod.kind) || stage.tcMods.size() == Material::Stage::maxTexCoordMods)
        return false;
    bool complete = false;
    switch (mod.kind) {
    case TexCoordModKind::scroll:
    case TexCoordModKind::scale:
        complete = statement.number(1, mod.values[0]) && statement.number(2, mod.values[1]);
        break;
    case TexCoordModKind::rotate:
        complete = statement.number(1, mod.values[0]);
        break;
    case TexCoordModKind::turbulence: {
        std::array<float, 4> wave{}; // base amplitude phase frequency, always a sine
        complete = statement.numbers(1, wave);
        mod.wave = {Waveform::sine, wave[0], wave[1], wave[2], wave[3]};
        break;
    }
    case TexCoordModKind::stretch:
        complete = readWave(statement, 1, mod.wave);
        break;
    case TexCoordModKind::transform:
        complete = statement.numbers(1, mod.values);
        break;
    }
    if (complete)
        stage.tcMods.push_back(mod);
    return complete;
}

} // namespace

bool MaterialKeywords::isForTools(const std::string& keyword)
{
    static const char* const prefixes[] = {"q3map_", "qer_"};
    static const char* const keywords[] = {"tesssize", "light", "entitymergable", "fogonly"};
    for (const char* prefix : prefixes)
        if (keyword.compare(0, std::char_traits<char>::length(prefix), prefix) == 0)
            return true;
    return std::any_of(std::begin(keywords), std::end(keywords), [&](const char* k) { return keyword == k; });
}

void MaterialKeywords::applyToMaterial(const MaterialStatement& statement, Material& material)
{
    static const std::pair<const char*, MaterialRule> rules[] = {
        {"qer_editorimage", readEditorImage},
        {"surfaceparm", readSurfaceParameter},
        {"cull", readCull},
        {"skyparms", readSkyParameters},
        {"fogparms", readFogParameters},
        {"sort", readSort},
        {"deformvertexes", readDeform},
        {"polygonoffset", readPolygonOffset},
        {"nomipmaps", readNoMipmaps},
        {"nopicmip", readNoMipmaps},
    };
    MaterialRule rule = nullptr;
    if (!lookUp(rules, statement.keyword(), rule) || !rule(statement, material))
        noteSkipped(statement, material);
}

void MaterialKeywords::applyToStage(const MaterialStatement& statement, Material::Stage& stage, Material& material)
{
    static const std::pair<const char*, StageRule> rules[] = {
        {"map", readMap},
        {"clampmap", readClampMap},
        {"animmap", readAnimationMap},
        {"alphafunc", readAlphaFunction},
        {"blendfunc", readBlend},
        {"depthfunc", readDepthFunction},
        {"depthwrite", readDepthWrite},
        {"detail", readDetail},
        {"rgbgen", readColorSource},
        {"alphagen", readAlphaSource},
        {"tcgen", readTexCoordSource},
        {"tcmod", readTexCoordMod},
    };
    StageRule rule = nullptr;
    if (!lookUp(rules, statement.keyword(), rule) || !rule(statement, stage))
        noteSkipped(statement, material);
}
