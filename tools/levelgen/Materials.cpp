#include "Materials.h"

#include "MaterialImages.h"

#include <algorithm>
#include <array>

namespace {

struct MaterialEntry {
    const char* stem;
    int32_t flags;
    int32_t contents;
    Cell cell; // the plan cell that shows it
    const char* comment;
    const char* body; // the block's lines; "@" stands for the plan's name, "^" for its near box
};

constexpr std::array<MaterialEntry, static_cast<size_t>(Material::Count)> materials = {{
    {"grate", 0, solidContents, Cell::Grate,
     "Iron bars standing in an open cell, seen from both sides; the holes are the\n"
     "// picture's transparent pixels, alpha 0, and are not drawn. The bars take the lightmap.",
     "    cull none\n"
     "    {\n"
     "        map textures/@/grate.tga\n"
     "        alphaFunc GE128\n"
     "    }\n"
     "    {\n"
     "        map $lightmap\n"
     "        blendFunc filter\n"
     "    }\n"},
    {"panel", 0, 0, Cell::GlowWall,
     "A glowing panel just in front of a wall: its picture is added to the wall behind it.",
     "    surfaceparm nonsolid\n"
     "    {\n"
     "        map textures/@/panel.jpg\n"
     "        blendFunc add\n"
     "    }\n"},
    {"sky", skySurfaceFlag, solidContents, Cell::Sky,
     "Open sky above a ceiling: the far box env/@/sky_rt, _lf, _bk, _ft, _up and _dn,\n"
     "// and the near box, if the plan asks for one, laid over it: hills around the horizon,\n"
     "// env/@/hills_rt, _lf, _bk and _ft, transparent above them. This name has no picture of its own.",
     "    surfaceparm sky\n"
     "    skyParms env/@/sky - ^\n"},
    {"nodraw", nodrawSurfaceFlag, 0, Cell::Nodraw,
     "A screen that is never drawn; its loud picture shows only where a viewer forgets that.",
     "    surfaceparm nodraw\n"
     "    surfaceparm nonsolid\n"
     "    {\n"
     "        map textures/@/nodraw.jpg\n"
     "    }\n"},
    {"panelwall", 0, solidContents, Cell::PanelWall,
     "A wall whose texture name has no picture: the first stage's picture is drawn, and\n"
     "// where it names a .tga that does not exist the .jpg of the same name is used. It is lit\n"
     "// by its lightmap like the plain walls.",
     "    qer_editorimage textures/@/panelwall_editor.jpg\n"
     "    {\n"
     "        map $lightmap\n"
     "    }\n"
     "    {\n"
     "        map textures/@/bricks_variant.tga\n"
     "        blendFunc filter\n"
     "    }\n"},
    {"water", 0, waterContents, Cell::Water,
     "A pool's surface over its floor: two layers drift and sway against each other, the\n"
     "// first mixed half-way with the floor below, the second's highlights added; below the\n"
     "// surface a blue-green fog, opaque at 64 units.",
     "    qer_editorimage textures/@/water1.jpg\n"
     "    fogparms ( 0.1 0.3 0.35 ) 64\n"
     "    surfaceparm trans\n"
     "    surfaceparm nonsolid\n"
     "    surfaceparm nolightmap\n"
     "    cull none\n"
     "    {\n"
     "        map textures/@/water1.jpg\n"
     "        blendFunc blend\n"
     "        alphaGen const 0.6\n"
     "        tcMod turb 0 0.04 0 0.2\n"
     "        tcMod scroll 0.03 0.01\n"
     "    }\n"
     "    {\n"
     "        map textures/@/water2.jpg\n"
     "        blendFunc add\n"
     "        tcMod turb 0 0.03 0.5 0.15\n"
     "        tcMod scroll -0.02 0.03\n"
     "    }\n"},
    {"lava", 0, lavaContents, Cell::Lava,
     "Lava glows by itself, brighter and dimmer twice a second, and creeps, in a red haze\n"
     "// a few units deep, opaque at 24.",
     "    fogparms ( 0.8 0.25 0.05 ) 24\n"
     "    surfaceparm nolightmap\n"
     "    {\n"
     "        map textures/@/lava.jpg\n"
     "        rgbGen wave sin 0.8 0.2 0 0.5\n"
     "        tcMod turb 0 0.05 0 0.1\n"
     "    }\n"},
    {"pulsepanel", 0, 0, Cell::PulseWall,
     "A panel in front of a wall whose glow, added over it, pulses once a second.",
     "    surfaceparm nonsolid\n"
     "    {\n"
     "        map textures/@/pulsepanel.jpg\n"
     "    }\n"
     "    {\n"
     "        map textures/@/pulseglow.jpg\n"
     "        blendFunc add\n"
     "        rgbGen wave sin 0.5 0.5 0 1\n"
     "    }\n"},
    {"chrome", 0, 0, Cell::ChromeWall,
     "A chrome trim along the floor: its picture of sky and ground is looked up from the\n"
     "// direction in which the eye's ray leaves it, so it slides as the eye moves.",
     "    surfaceparm nonsolid\n"
     "    {\n"
     "        map textures/@/chrome.jpg\n"
     "        tcGen environment\n"
     "    }\n"},
    {"sign", 0, 0, Cell::SignWall,
     "A sign that shows its four pictures in turn, one a second; it glows by itself.",
     "    surfaceparm nonsolid\n"
     "    surfaceparm nolightmap\n"
     "    {\n"
     "        animMap 1 textures/@/sign1.jpg textures/@/sign2.jpg textures/@/sign3.jpg textures/@/sign4.jpg\n"
     "    }\n"},
    {"flame", 0, 0, Cell::Flame,
     "A flame: one quad that always turns to face the eye, its black added as nothing,\n"
     "// flickering.",
     "    deformVertexes autosprite\n"
     "    surfaceparm trans\n"
     "    surfaceparm nonsolid\n"
     "    surfaceparm nolightmap\n"
     "    cull none\n"
     "    {\n"
     "        map textures/@/flame.jpg\n"
     "        blendFunc add\n"
     "        rgbGen wave noise 0.8 0.2 0 4\n"
     "    }\n"},
    {"fog", 0, fogContents, Cell::FogPit,
     "Fog lying in a pit: surfaces seen through it fade toward its colour, fully at 160\n"
     "// units of fog. Its surface is never drawn with a picture; editors show theirs.",
     "    qer_editorimage textures/@/fog_editor.jpg\n"
     "    surfaceparm fog\n"
     "    surfaceparm trans\n"
     "    surfaceparm nonsolid\n"
     "    surfaceparm nolightmap\n"
     "    fogparms ( 0.55 0.6 0.45 ) 160\n"},
    {"clouds", skySurfaceFlag, solidContents, Cell::Sky,
     "Open sky above a ceiling without a far box: two cloud layers on a dome 256 units\n"
     "// up, drifting different ways, and the near box if the plan asks for one. This name has no\n"
     "// picture of its own.",
     "    surfaceparm sky\n"
     "    surfaceparm noimpact\n"
     "    surfaceparm nolightmap\n"
     "    skyParms - 256 ^\n"
     "    {\n"
     "        map textures/@/clouds1.jpg\n"
     "        tcMod scale 3 3\n"
     "        tcMod scroll 0.01 0.004\n"
     "    }\n"
     "    {\n"
     "        map textures/@/clouds2.jpg\n"
     "        blendFunc add\n"
     "        tcMod scale 5 5\n"
     "        tcMod scroll -0.015 0.01\n"
     "    }\n"},
    {"dusk", skySurfaceFlag, solidContents, Cell::Sky,
     "Open sky at dusk: a flat blue-grey under wisps added over it, on a dome 256 units up.\n"
     "// Its far box env/@/dusk_* is named but not written: a viewer must show the colour, not white.",
     "    surfaceparm sky\n"
     "    surfaceparm noimpact\n"
     "    surfaceparm nolightmap\n"
     "    skyParms env/@/dusk 256 ^\n"
     "    {\n"
     "        map $whiteimage\n"
     "        rgbGen const ( 0.14 0.17 0.23 )\n"
     "    }\n"
     "    {\n"
     "        map textures/@/clouds2.jpg\n"
     "        blendFunc add\n"
     "        tcMod scale 5 5\n"
     "        tcMod scroll -0.015 0.01\n"
     "    }\n"},
}};

const MaterialEntry& entry(Material material)
{
    return materials[static_cast<size_t>(material)];
}

// The near box's images, without their side suffixes; "-" when the plan has none.
std::string nearBoxName(const Plan& plan)
{
    return plan.skyNearBox ? "env/" + plan.name + "/hills" : "-";
}

std::string withName(const std::string& text, const Plan& plan)
{
    std::string result;
    for (const char c : text) {
        if (c == '@')
            result += plan.name;
        else if (c == '^')
            result += nearBoxName(plan);
        else
            result += c;
    }
    return result;
}

std::vector<uint8_t> bytesOf(const std::string& text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

} // namespace

MaterialRecord materialRecord(const Plan& plan, Material material)
{
    const MaterialEntry& e = entry(material);
    return {"textures/" + plan.name + "/" + e.stem, e.flags, e.contents};
}

bool planUses(const Plan& plan, Material material)
{
    if (material == Material::Sky && plan.sky != SkyKind::farBox)
        return false;
    if (material == Material::Clouds && plan.sky != SkyKind::clouds)
        return false;
    if (material == Material::Dusk && plan.sky != SkyKind::dusk)
        return false;
    if (material == Material::Water
        && std::any_of(plan.shapes.begin(), plan.shapes.end(), [](const PlanShape& s) { return s.kind == ShapeKind::water; }))
        return true;
    return std::find(plan.cells.begin(), plan.cells.end(), entry(material).cell) != plan.cells.end();
}

Material skyMaterial(const Plan& plan)
{
    switch (plan.sky) {
    case SkyKind::clouds: return Material::Clouds;
    case SkyKind::dusk: return Material::Dusk;
    case SkyKind::farBox: break;
    }
    return Material::Sky;
}

std::string materialScriptPath(const Plan& plan)
{
    return "scripts/" + plan.name + ".shader";
}

std::string materialScript(const Plan& plan)
{
    std::string text = "// Materials of the level \"" + plan.name + "\", written by levelgen.\n"
                       "// Keywords are case-insensitive; each inner block is one stage that draws one picture.\n";
    for (int i = 0; i < static_cast<int>(Material::Count); ++i) {
        const Material material = static_cast<Material>(i);
        text += "\n// " + withName(entry(material).comment, plan) + "\n";
        text += materialRecord(plan, material).textureName + "\n{\n";
        text += withName(entry(material).body, plan) + "}\n";
    }
    return text;
}

std::vector<DataFile> materialFiles(const Plan& plan)
{
    const std::string folder = "textures/" + plan.name + "/";
    std::vector<DataFile> files = {
        {materialScriptPath(plan), bytesOf(materialScript(plan))},
        {folder + "grate.tga", encodeTga(generateGrate())},
        {folder + "panel.jpg", encodeJpeg(generatePanel())},
        {folder + "nodraw.jpg", encodeJpeg(generateNodraw())},
        {folder + "bricks_variant.jpg", encodeJpeg(generateBricksVariant())},
        {folder + "panelwall_editor.jpg", encodeJpeg(generateEditorImage())},
        {folder + "water1.jpg", encodeJpeg(generateWater(WaterLayer::Deep))},
        {folder + "water2.jpg", encodeJpeg(generateWater(WaterLayer::Highlights))},
        {folder + "lava.jpg", encodeJpeg(generateLava())},
        {folder + "pulsepanel.jpg", encodeJpeg(generatePulsePanel())},
        {folder + "pulseglow.jpg", encodeJpeg(generatePulseGlow())},
        {folder + "chrome.jpg", encodeJpeg(generateChrome())},
        {folder + "flame.jpg", encodeJpeg(generateFlame())},
        {folder + "clouds1.jpg", encodeJpeg(generateClouds(CloudLayer::Sky))},
        {folder + "clouds2.jpg", encodeJpeg(generateClouds(CloudLayer::Wisps))},
        {folder + "fog_editor.jpg", encodeJpeg(generateFogEditorImage())},
    };
    for (int frame = 0; frame < signFrames; ++frame)
        files.push_back({folder + "sign" + std::to_string(frame + 1) + ".jpg", encodeJpeg(generateSign(frame))});
    for (int side = 0; side < static_cast<int>(SkySide::Count); ++side) {
        files.push_back({"env/" + plan.name + "/sky" + skySideSuffixes[side] + ".jpg",
                         encodeJpeg(generateSkySide(static_cast<SkySide>(side)))});
    }
    if (plan.skyNearBox)
        for (const SkySide side : {SkySide::Right, SkySide::Left, SkySide::Back, SkySide::Front})
            files.push_back({nearBoxName(plan) + skySideSuffixes[static_cast<int>(side)] + ".tga",
                             encodeTga(generateHills(side))});
    return files;
}
