#include "level/MaterialLibrary.h"
#include "level/MaterialScript.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

const char* factorName(BlendFactor factor)
{
    static const char* const names[] = {"one", "zero", "srcColor", "oneMinusSrcColor", "dstColor",
        "oneMinusDstColor", "srcAlpha", "oneMinusSrcAlpha", "dstAlpha", "oneMinusDstAlpha"};
    return names[int(factor)];
}

// One line per material, naming only what differs from the defaults, so a table row reads
// like the script it came from.
std::string summary(const Material& material)
{
    static const char* const alphaNames[] = {"", " gt0", " lt128", " ge128"};
    std::string text = material.name + " (" + material.key + ")";
    text += material.sky ? " sky" : "";
    text += material.nodraw ? " nodraw" : "";
    text += material.twoSided ? " twoSided" : "";
    text += material.editorImage.empty() ? "" : " editor:" + material.editorImage;
    text += material.skyFarBox.empty() ? "" : " farBox:" + material.skyFarBox;
    for (const Material::Stage& stage : material.stages) {
        text += " {";
        text += stage.image.empty() ? "" : " " + stage.image;
        text += stage.lightmapStage ? " lightmap" : "";
        text += stage.clamp ? " clamp" : "";
        text += alphaNames[int(stage.alphaFunction)];
        if (stage.blend.blends || stage.blend.sourceFactor != BlendFactor::one
            || stage.blend.destinationFactor != BlendFactor::zero)
            text += std::string(stage.blend.blends ? " blend:" : " noblend:") + factorName(stage.blend.sourceFactor)
                    + "," + factorName(stage.blend.destinationFactor);
        text += " }";
    }
    return text;
}

struct Parsed {
    std::vector<std::string> materials; // summaries
    std::string log;
};

Parsed parse(const std::string& text)
{
    std::ostringstream log;
    Parsed parsed;
    for (const Material& material : MaterialScript::parse(text, "scripts/x.shader", log))
        parsed.materials.push_back(summary(material));
    parsed.log = log.str();
    return parsed;
}

std::string repeated(const std::string& text, std::size_t count)
{
    std::string all;
    for (std::size_t i = 0; i < count; ++i)
        all += text;
    return all;
}

} // namespace

TEST(MaterialScript, KeepsWhatTheViewerDrawsWith)
{
    struct Case {
        const char* name;
        std::string text;
        std::string material;
    };
    const Case cases[] = {
        {"material keywords",
         "textures/Base/Wall\n{\n qer_editorimage textures/base/wall_ed.tga\n surfaceparm sky\n surfaceparm nodraw\n"
         " cull none\n skyParms env/night - -\n}",
         "textures/Base/Wall (textures/base/wall) sky nodraw twoSided editor:textures/base/wall_ed.tga farBox:env/night"},
        {"keywords and arguments ignore case",
         "M {\nQER_EDITORIMAGE Ed.TGA\nSurfaceParm SKY\nsurfaceparm NoDraw\nCULL Disable\nSKYPARMS Env/Day 512 -\n}",
         "M (m) sky nodraw twoSided editor:Ed.TGA farBox:Env/Day"},
        {"cull twosided", "m { cull twosided }", "m (m) twoSided"},
        {"cull back after none", "m { cull none\n cull back }", "m (m)"},
        {"cull front after disable", "m { cull disable\n cull front }", "m (m)"},
        {"cull unknown keeps", "m { cull none\n cull sideways }", "m (m) twoSided"},
        {"sky box none", "m { skyParms env/a\n skyParms - 512 - }", "m (m)"},
        {"other surface parameters", "m { surfaceparm trans\n surfaceparm nolightmap }", "m (m)"},
        {"arguments end at the line break", "m {\n surfaceparm\n sky\n qer_editorimage\n x.tga\n}", "m (m)"},
        {"unknown keywords", "m { tessSize 64\n deformVertexes wave 1 sin 0 1 0 1\n q3map_sun 1 1 1 }", "m (m)"},
        {"map and clampMap", "m {\n{\nmap a.tga\n}\n{\nclampMap b.jpg\n}\n{\nMAP c.tga\n}\n}",
         "m (m) { a.tga } { b.jpg clamp } { c.tga }"},
        {"lightmap and built-in images", "m { { map $lightmap } { map $LightMap } { map $whiteimage } { clampmap $x } }",
         "m (m) { lightmap } { lightmap } { } { clamp }"},
        {"the last image line wins", "m { { map $lightmap\n clampMap a.tga\n map b.tga } }", "m (m) { b.tga }"},
        {"animMap keeps the first frame", "m { { animMap 10 a.tga b.tga c.tga } { animmap 5 } { AnimMap 1 $whiteimage } }",
         "m (m) { a.tga } { } { }"},
        {"alpha functions", "m { {alphaFunc GT0} {alphafunc lt128} {ALPHAFUNC Ge128} {alphaFunc GT128} }",
         "m (m) { gt0 } { lt128 } { ge128 } { }"},
        {"blend shorthands", "m { {blendFunc add} {blendfunc FILTER} {BlendFunc Blend} }",
         "m (m) { blend:one,one } { blend:dstColor,zero } { blend:srcAlpha,oneMinusSrcAlpha }"},
        {"blend factor names",
         "m { {blendFunc GL_ONE GL_ZERO} {blendFunc gl_src_color GL_ONE_MINUS_SRC_COLOR}\n"
         "{blendFunc GL_DST_COLOR GL_ONE_MINUS_DST_COLOR} {blendFunc GL_SRC_ALPHA GL_ONE_MINUS_SRC_ALPHA}\n"
         "{blendFunc GL_DST_ALPHA GL_ONE_MINUS_DST_ALPHA} }",
         "m (m) { } { blend:srcColor,oneMinusSrcColor } { blend:dstColor,oneMinusDstColor }"
         " { blend:srcAlpha,oneMinusSrcAlpha } { blend:dstAlpha,oneMinusDstAlpha }"},
        {"blend unknown or half", "m { {blendFunc GL_ONE GL_SOMETHING} {blendFunc GL_ONE} {blendFunc mix} }",
         "m (m) { } { } { }"},
        {"blend replaced by a later line", "m { {blendFunc add\n blendFunc GL_ONE GL_ZERO} }", "m (m) { }"},
        {"each keyword at its own level",
         "m {\n map outside.tga\n blendFunc add\n { surfaceparm sky\n cull none\n qer_editorimage e.tga\n map in.tga } }",
         "m (m) { in.tga }"},
        {"comments", "// header\nm /* a\nblock comment */ {\n{ map a.tga// c\n/* blendFunc add */ }\n} // end",
         "m (m) { a.tga }"},
        {"braces against words", "textures/a{{map b.tga}}", "textures/a (textures/a) { b.tga }"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Parsed parsed = parse(c.text);
        EXPECT_EQ(parsed.log, "");
        EXPECT_EQ(parsed.materials, std::vector<std::string>{c.material});
    }
}

TEST(MaterialScript, FirstImageStageSkipsTheLightmapAndBuiltIns)
{
    std::ostringstream log;
    const std::vector<Material> materials = MaterialScript::parse(
        "a { { map $lightmap } { map $whiteimage } { map b.tga } { map c.tga } }\nd { { map $lightmap } }", "x", log);
    ASSERT_EQ(materials.size(), 2u);
    ASSERT_NE(materials[0].firstImageStage(), nullptr);
    EXPECT_EQ(materials[0].firstImageStage()->image, "b.tga");
    EXPECT_EQ(materials[1].firstImageStage(), nullptr);
}

TEST(MaterialScript, KeepsCompletedMaterialsOfABrokenFile)
{
    struct Case {
        const char* name;
        std::string text; // after a first, complete material "a" on line 1
        std::string log;
    };
    const std::string longName(70, 'n');
    const Case cases[] = {
        {"block without a name", "{\n}", "scripts/x.shader:2: { without a material name\n"},
        {"unbalanced }", "\n}", "scripts/x.shader:3: } without a matching {\n"},
        {"two words for a name", "b c {", "scripts/x.shader:2: expected { after b but found c\n"},
        {"name then }", "b\n}", "scripts/x.shader:3: expected { after b but found }\n"},
        {"name at the end", "b\n// nothing more\n", "scripts/x.shader:2: expected { after b but found the end of the file\n"},
        {"material left open", "b {\n{ }\n", "scripts/x.shader:2: missing } in b\n"},
        {"stage left open", "b {\n{\n map x.tga\n", "scripts/x.shader:3: missing } in b\n"},
        {"block comment left open", "b {\n/* }\n", "scripts/x.shader:2: missing } in b\n"},
        {"nested stage", "b {\n{\n{", "scripts/x.shader:4: { inside a stage: stages do not nest\n"},
        {"stage close forgotten", "b\n{\n {\n  map b.tga\n // no }\n}\nc\n{\n {\n", 
         "scripts/x.shader:10: { inside a stage: stages do not nest\n"},
        {"long name cut", longName, "scripts/x.shader:2: expected { after " + longName.substr(0, 64)
                                        + "... but found the end of the file\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Parsed parsed = parse("a { { map a.tga } }\n" + c.text);
        EXPECT_EQ(parsed.log, c.log);
        EXPECT_EQ(parsed.materials, std::vector<std::string>{"a (a) { a.tga }"});
    }
    // An unclosed block comment between materials just ends the file.
    EXPECT_EQ(parse("a { }\n/* b {\n}").log, "");
}

TEST(MaterialScript, CapsStagesAndMaterials)
{
    const Parsed stages = parse("a {\n" + repeated("{ map s.tga }\n", 65) + "{ map t.tga }\n}\nb { }");
    EXPECT_EQ(stages.log, "scripts/x.shader:66: a has more than 64 stages, the rest are ignored\n");
    ASSERT_EQ(stages.materials.size(), 2u);
    EXPECT_EQ(stages.materials[0], "a (a)" + repeated(" { s.tga }", 64));
    EXPECT_EQ(stages.materials[1], "b (b)");

    std::ostringstream log;
    const std::vector<Material> most = MaterialScript::parse(repeated("m {}\n", 100000), "x", log);
    EXPECT_EQ(most.size(), 100000u);
    EXPECT_EQ(log.str(), "");
    const std::vector<Material> tooMany = MaterialScript::parse(repeated("m {}\n", 100001), "x", log);
    EXPECT_EQ(tooMany.size(), 100000u);
    EXPECT_EQ(log.str(), "x:100001: more than 100000 materials, the rest are ignored\n");
}

TEST(MaterialLibrary, FindsByNameIgnoringCaseAndKeepsTheFirstDefinition)
{
    std::ostringstream log;
    MaterialLibrary library;
    library.add(MaterialScript::parse("textures/A/Wall { surfaceparm sky }\ntextures/a/wall { surfaceparm nodraw }\n"
                                      "textures/a/floor { cull none }",
        "one.shader", log));
    library.add(MaterialScript::parse("TEXTURES/A/FLOOR { }\ntextures/b/sky { skyParms env/b }", "two.shader", log));
    EXPECT_EQ(log.str(), "");
    EXPECT_EQ(library.size(), 3u);

    const Material* wall = library.find("TEXTURES/a/WALL");
    ASSERT_NE(wall, nullptr);
    EXPECT_EQ(summary(*wall), "textures/A/Wall (textures/a/wall) sky");
    const Material* floor = library.find("textures/a/floor");
    ASSERT_NE(floor, nullptr);
    EXPECT_EQ(summary(*floor), "textures/a/floor (textures/a/floor) twoSided");
    const Material* sky = library.find("Textures/B/Sky");
    ASSERT_NE(sky, nullptr);
    EXPECT_EQ(sky->skyFarBox, "env/b");
    EXPECT_EQ(library.find("textures/a/wal"), nullptr);
    EXPECT_EQ(library.find(""), nullptr);
}
