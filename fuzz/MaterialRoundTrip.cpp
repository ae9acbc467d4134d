#include "MaterialRoundTrip.h"

#include <charconv>

namespace {

const char* const factorNames[] = {"GL_ONE", "GL_ZERO", "GL_SRC_COLOR", "GL_ONE_MINUS_SRC_COLOR", "GL_DST_COLOR",
    "GL_ONE_MINUS_DST_COLOR", "GL_SRC_ALPHA", "GL_ONE_MINUS_SRC_ALPHA", "GL_DST_ALPHA", "GL_ONE_MINUS_DST_ALPHA",
    "GL_SRC_ALPHA_SATURATE"};
const char* const alphaNames[] = {"", "GT0", "LT128", "GE128"};
const char* const waveNames[] = {"sin", "triangle", "square", "sawtooth", "inversesawtooth", "noise"};
const char* const colorNames[] = {"identity", "identityLighting", "vertex", "exactVertex", "oneMinusVertex", "const",
    "wave", "lightingDiffuse"};
const char* const alphaSourceNames[] = {"identity", "const", "wave", "vertex", "oneMinusVertex", "portal",
    "lightingSpecular"};
const char* const texCoordNames[] = {"base", "lightmap", "environment", "vector"};
const char* const modNames[] = {"scroll", "scale", "rotate", "turb", "stretch", "transform"};
const char* const deformNames[] = {"wave", "move", "bulge", "normal", "autosprite", "autosprite2"};

// The shortest text that reads back as the same float.
std::string number(float value)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

std::string numbers(std::initializer_list<float> values)
{
    std::string text;
    for (float value : values)
        text += " " + number(value);
    return text;
}

std::string wave(const Material::Wave& w)
{
    return std::string(" ") + waveNames[int(w.function)] + numbers({w.base, w.amplitude, w.phase, w.frequency});
}

// Y up back to the file's axes (Z up).
std::string fileTriple(const std::array<float, 3>& v) { return numbers({v[0], 0.0f - v[2], v[1]}); }

std::string image(const Material::Stage& stage)
{
    if (!stage.animationFrames.empty()) {
        std::string text = "animMap " + number(stage.animationFrequency);
        for (const std::string& frame : stage.animationFrames)
            text += " " + (frame.empty() ? std::string("$other") : frame);
        return text + "\n";
    }
    const std::string keyword = stage.clamp ? "clampMap " : "map ";
    if (stage.lightmapStage)
        return keyword + "$lightmap\n";
    if (stage.whiteImage)
        return keyword + "$whiteimage\n";
    if (!stage.image.empty())
        return keyword + stage.image + "\n";
    return stage.clamp ? "clampMap $other\n" : "";
}

std::string stageText(const Material::Stage& stage)
{
    std::string text = "{\n" + image(stage);
    text += stage.detail ? "detail\n" : "";
    if (stage.alphaFunction != AlphaFunction::always)
        text += std::string("alphaFunc ") + alphaNames[int(stage.alphaFunction)] + "\n";
    text += std::string("blendFunc ") + factorNames[int(stage.blend.sourceFactor)] + " "
            + factorNames[int(stage.blend.destinationFactor)] + "\n";
    text += stage.depthWrite ? "depthWrite\n" : "";
    text += stage.depthFunction == DepthFunction::equal ? "depthFunc equal\n" : "";
    text += std::string("rgbGen ") + colorNames[int(stage.rgbGen)];
    if (stage.rgbGen == ColorSource::constant)
        text += " (" + numbers({stage.constantColor[0], stage.constantColor[1], stage.constantColor[2]}) + " )";
    text += stage.rgbGen == ColorSource::wave ? wave(stage.colorWave) : "";
    text += std::string("\nalphaGen ") + alphaSourceNames[int(stage.alphaGen)];
    text += stage.alphaGen == AlphaSource::constant ? numbers({stage.constantAlpha}) : "";
    text += stage.alphaGen == AlphaSource::wave ? wave(stage.alphaWave) : "";
    text += stage.alphaGen == AlphaSource::portal ? numbers({stage.portalRange}) : "";
    text += std::string("\ntcGen ") + texCoordNames[int(stage.tcGen)];
    if (stage.tcGen == TexCoordSource::vector)
        text += " (" + fileTriple(stage.tcGenVectors[0]) + " ) (" + fileTriple(stage.tcGenVectors[1]) + " )";
    text += "\n";
    for (const Material::TexCoordMod& mod : stage.tcMods) {
        const auto& v = mod.values;
        text += std::string("tcMod ") + modNames[int(mod.kind)];
        switch (mod.kind) {
        case TexCoordModKind::scroll:
        case TexCoordModKind::scale:
            text += numbers({v[0], v[1]});
            break;
        case TexCoordModKind::rotate:
            text += numbers({v[0]});
            break;
        case TexCoordModKind::turbulence:
            text += numbers({mod.wave.base, mod.wave.amplitude, mod.wave.phase, mod.wave.frequency});
            break;
        case TexCoordModKind::stretch:
            text += wave(mod.wave);
            break;
        case TexCoordModKind::transform:
            text += numbers({v[0], v[1], v[2], v[3], v[4], v[5]});
            break;
        }
        text += "\n";
    }
    return text + "}\n";
}

std::string deformText(const Material::Deform& deform)
{
    std::string text = std::string("deformVertexes ") + deformNames[int(deform.kind)];
    switch (deform.kind) {
    case DeformKind::wave:
        return text + numbers({deform.spread}) + wave(deform.wave) + "\n";
    case DeformKind::move:
        return text + fileTriple(deform.vector) + wave(deform.wave) + "\n";
    case DeformKind::normal:
        return text + numbers({deform.wave.amplitude, deform.wave.frequency}) + "\n";
    case DeformKind::bulge:
        return text + numbers({deform.bulgeWidth, deform.bulgeHeight, deform.bulgeSpeed}) + "\n";
    default:
        return text + "\n";
    }
}

std::string materialText(const Material& material)
{
    std::string text = material.name + "\n{\n";
    if (!material.editorImage.empty())
        text += "qer_editorimage " + material.editorImage + "\n";
    text += material.sky ? "surfaceparm sky\n" : "";
    text += material.nodraw ? "surfaceparm nodraw\n" : "";
    text += material.translucent ? "surfaceparm trans\n" : "";
    text += material.noLightmap ? "surfaceparm nolightmap\n" : "";
    text += material.fog ? "surfaceparm fog\n" : "";
    if (material.fogDistance > 0.0f)
        text += "fogparms (" + numbers({material.fogColor[0], material.fogColor[1], material.fogColor[2]}) + " )"
                + numbers({material.fogDistance}) + "\n";
    text += material.culling == Culling::twoSided    ? "cull none\n"
            : material.culling == Culling::backSided ? "cull back\n"
                                                     : "";
    text += material.polygonOffset ? "polygonOffset\n" : "";
    text += material.sort > 0.0f ? "sort" + numbers({material.sort}) + "\n" : "";
    text += material.noMipmaps ? "nomipmaps\n" : "";
    if (!material.skyFarBox.empty() || material.skyCloudHeight != 128.0f || !material.skyNearBox.empty())
        text += "skyParms " + (material.skyFarBox.empty() ? "-" : material.skyFarBox) + numbers({material.skyCloudHeight})
                + " " + (material.skyNearBox.empty() ? "-" : material.skyNearBox) + "\n";
    for (const Material::Deform& deform : material.deforms)
        text += deformText(deform);
    for (const Material::Stage& stage : material.stages)
        text += stageText(stage);
    return text + "}\n";
}

bool sameWave(const Material::Wave& a, const Material::Wave& b)
{
    return a.function == b.function && a.base == b.base && a.amplitude == b.amplitude && a.phase == b.phase
           && a.frequency == b.frequency;
}

bool sameMod(const Material::TexCoordMod& a, const Material::TexCoordMod& b)
{
    if (a.kind != b.kind)
        return false;
    if (a.kind == TexCoordModKind::turbulence || a.kind == TexCoordModKind::stretch)
        return sameWave(a.wave, b.wave);
    return a.values == b.values;
}

bool sameStage(const Material::Stage& a, const Material::Stage& b)
{
    bool same = a.image == b.image && a.lightmapStage == b.lightmapStage && a.whiteImage == b.whiteImage
                && a.clamp == b.clamp && a.animationFrames == b.animationFrames
                && a.animationFrequency == b.animationFrequency && a.detail == b.detail
                && a.alphaFunction == b.alphaFunction && a.blend.blends == b.blend.blends
                && a.blend.sourceFactor == b.blend.sourceFactor
                && a.blend.destinationFactor == b.blend.destinationFactor && a.depthWrite == b.depthWrite
                && a.depthFunction == b.depthFunction && a.rgbGen == b.rgbGen && a.alphaGen == b.alphaGen
                && a.tcGen == b.tcGen && a.tcMods.size() == b.tcMods.size();
    same = same && (a.rgbGen != ColorSource::constant || a.constantColor == b.constantColor);
    same = same && (a.rgbGen != ColorSource::wave || sameWave(a.colorWave, b.colorWave));
    same = same && (a.alphaGen != AlphaSource::constant || a.constantAlpha == b.constantAlpha);
    same = same && (a.alphaGen != AlphaSource::wave || sameWave(a.alphaWave, b.alphaWave));
    same = same && (a.alphaGen != AlphaSource::portal || a.portalRange == b.portalRange);
    same = same && (a.tcGen != TexCoordSource::vector || a.tcGenVectors == b.tcGenVectors);
    for (std::size_t i = 0; same && i < a.tcMods.size(); ++i)
        same = sameMod(a.tcMods[i], b.tcMods[i]);
    return same;
}

bool sameDeform(const Material::Deform& a, const Material::Deform& b)
{
    switch (a.kind == b.kind ? a.kind : DeformKind::autosprite) {
    case DeformKind::wave:
        return a.spread == b.spread && sameWave(a.wave, b.wave);
    case DeformKind::move:
        return a.vector == b.vector && sameWave(a.wave, b.wave);
    case DeformKind::normal:
        return a.wave.amplitude == b.wave.amplitude && a.wave.frequency == b.wave.frequency;
    case DeformKind::bulge:
        return a.bulgeWidth == b.bulgeWidth && a.bulgeHeight == b.bulgeHeight && a.bulgeSpeed == b.bulgeSpeed;
    default:
        return a.kind == b.kind;
    }
}

} // namespace

std::string MaterialRoundTrip::write(const std::vector<Material>& materials)
{
    std::string text;
    for (const Material& material : materials)
        text += materialText(material);
    return text;
}

bool MaterialRoundTrip::same(const Material& a, const Material& b)
{
    bool same = a.name == b.name && a.key == b.key && a.sky == b.sky && a.nodraw == b.nodraw
                && a.translucent == b.translucent && a.noLightmap == b.noLightmap && a.fog == b.fog
                && a.culling == b.culling && a.polygonOffset == b.polygonOffset && a.sort == b.sort
                && a.noMipmaps == b.noMipmaps && a.editorImage == b.editorImage && a.skyFarBox == b.skyFarBox
                && a.skyCloudHeight == b.skyCloudHeight && a.skyNearBox == b.skyNearBox && a.fogColor == b.fogColor
                && a.fogDistance == b.fogDistance && a.deforms.size() == b.deforms.size()
                && a.stages.size() == b.stages.size();
    for (std::size_t i = 0; same && i < a.deforms.size(); ++i)
        same = sameDeform(a.deforms[i], b.deforms[i]);
    for (std::size_t i = 0; same && i < a.stages.size(); ++i)
        same = sameStage(a.stages[i], b.stages[i]);
    return same;
}
