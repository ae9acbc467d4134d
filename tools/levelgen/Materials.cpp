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
    const char* body; // the block's lines; "@" stands for the plan's name
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
     "Open sky above a ceiling: the far box env/@/sky_rt, _lf, _bk, _ft, _up and _dn.\n"
     "// This name has no picture of its own.",
     "    surfaceparm sky\n"
     "    skyParms env/@/sky - -\n"},
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
}};

const MaterialEntry& entry(Material material)
{
    return materials[static_cast<size_t>(material)];
}

std::string withName(const std::string& text, const std::string& name)
{
    std::string result;
    for (const char c : text) {
        if (c == '@')
            result += name;
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
    return std::find(plan.cells.begin(), plan.cells.end(), entry(material).cell) != plan.cells.end();
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
        text += "\n// " + withName(entry(material).comment, plan.name) + "\n";
        text += materialRecord(plan, material).textureName + "\n{\n";
        text += withName(entry(material).body, plan.name) + "}\n";
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
    };
    for (int side = 0; side < static_cast<int>(SkySide::Count); ++side) {
        files.push_back({"env/" + plan.name + "/sky" + skySideSuffixes[side] + ".jpg",
                         encodeJpeg(generateSkySide(static_cast<SkySide>(side)))});
    }
    return files;
}
