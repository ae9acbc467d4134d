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
        "oneMinusDstColor", "srcAlpha", "oneMinusSrcAlpha", "dstAlpha", "oneMinusDstAlpha", "srcAlphaSaturate"};
    return names[int(factor)];
}

std::string number(float value)
{
    std::ostringstream text;
    text << value;
    return text.str();
}

std::string numbers(const float* values, std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += (i ? " " : "") + number(values[i]);
    return text;
}

std::string wave(const Material::Wave& wave)
{
    static const char* const functions[] = {"sin", "triangle", "square", "sawtooth", "inversesawtooth", "noise"};
    const float values[] = {wave.base, wave.amplitude, wave.phase, wave.frequency};
    return std::string(functions[int(wave.function)]) + "(" + numbers(values, 4) + ")";
}

std::string stageSummary(const Material::Stage& stage)
{
    static const char* const alphaNames[] = {"", " gt0", " lt128", " ge128"};
    static const char* const colorNames[] = {"identity", "identityLighting", "vertex", "exactVertex",
        "oneMinusVertex", "const", "wave", "lightingDiffuse"};
    static const char* const alphaSourceNames[] = {"identity", "const", "wave", "vertex", "oneMinusVertex",
        "portal", "lightingSpecular"};
    static const char* const texCoordNames[] = {"base", "lightmap", "environment", "vector"};
    static const char* const modNames[] = {"scroll", "scale", "rotate", "turb", "stretch", "transform"};
    std::string text = " {";
    text += stage.image.empty() ? "" : " " + stage.image;
    text += stage.lightmapStage ? " lightmap" : "";
    text += stage.whiteImage ? " white" : "";
    text += stage.clamp ? " clamp" : "";
    if (!stage.animationFrames.empty()) {
        text += " anim:" + number(stage.animationFrequency) + "[";
        for (std::size_t i = 0; i < stage.animationFrames.size(); ++i)
            text += (i ? "," : "") + stage.animationFrames[i];
        text += "]";
    }
    text += stage.detail ? " detail" : "";
    text += alphaNames[int(stage.alphaFunction)];
    if (stage.blend.blends || stage.blend.sourceFactor != BlendFactor::one
        || stage.blend.destinationFactor != BlendFactor::zero)
        text += std::string(stage.blend.blends ? " blend:" : " noblend:") + factorName(stage.blend.sourceFactor) + ","
                + factorName(stage.blend.destinationFactor);
    text += stage.depthWrite ? " depthWrite" : "";
    text += stage.depthFunction == DepthFunction::equal ? " depthEqual" : "";
    if (stage.rgbGen != ColorSource::identity) {
        text += std::string(" rgb:") + colorNames[int(stage.rgbGen)];
        if (stage.rgbGen == ColorSource::constant)
            text += "(" + numbers(stage.constantColor.data(), 3) + ")";
        if (stage.rgbGen == ColorSource::wave)
            text += " " + wave(stage.colorWave);
    }
    if (stage.alphaGen != AlphaSource::identity) {
        text += std::string(" alpha:") + alphaSourceNames[int(stage.alphaGen)];
        if (stage.alphaGen == AlphaSource::constant)
            text += "(" + number(stage.constantAlpha) + ")";
        if (stage.alphaGen == AlphaSource::wave)
            text += " " + wave(stage.alphaWave);
        if (stage.alphaGen == AlphaSource::portal)
            text += "(" + number(stage.portalRange) + ")";
    }
    if (stage.tcGen != TexCoordSource::base) {
        text += std::string(" tc:") + texCoordNames[int(stage.tcGen)];
        if (stage.tcGen == TexCoordSource::vector)
            text += "(" + numbers(stage.tcGenVectors[0].data(), 3) + ")(" + numbers(stage.tcGenVectors[1].data(), 3)
                    + ")";
    }
    for (const Material::TexCoordMod& mod : stage.tcMods) {
        text += std::string(" ") + modNames[int(mod.kind)];
        if (mod.kind == TexCoordModKind::turbulence || mod.kind == TexCoordModKind::stretch)
            text += " " + wave(mod.wave);
        else
            text += "(" + numbers(mod.values.data(), mod.kind == TexCoordModKind::rotate ? 1
                                                     : mod.kind == TexCoordModKind::transform ? 6 : 2) + ")";
    }
    return text + " }";
}

std::string deformSummary(const Material::Deform& deform)
{
    static const char* const kinds[] = {"wave", "move", "bulge", "normal", "autosprite", "autosprite2"};
    std::string text = std::string(" deform:") + kinds[int(deform.kind)];
    switch (deform.kind) {
    case DeformKind::wave:
        return text + "(" + number(deform.spread) + ") " + wave(deform.wave);
    case DeformKind::move:
        return text + "(" + numbers(deform.vector.data(), 3) + ") " + wave(deform.wave);
    case DeformKind::normal:
        return text + "(" + number(deform.wave.amplitude) + " " + number(deform.wave.frequency) + ")";
    case DeformKind::bulge:
        return text + "(" + number(deform.bulgeWidth) + " " + number(deform.bulgeHeight) + " "
               + number(deform.bulgeSpeed) + ")";
    default:
        return text;
    }
}

// One line per material, naming only what differs from the defaults, so a table row reads
// like the script it came from.
std::string summary(const Material& material)
{
    std::string text = material.name + " (" + material.key + ")";
    text += material.sky ? " sky" : "";
    text += material.nodraw ? " nodraw" : "";
    text += material.translucent ? " trans" : "";
    text += material.noLightmap ? " nolightmap" : "";
    text += material.fog ? " fog" : "";
    text += material.culling == Culling::twoSided ? " twoSided" : material.culling == Culling::backSided ? " backSided" : "";
    text += material.polygonOffset ? " polygonOffset" : "";
    text += material.sort > 0 ? " sort:" + number(material.sort) : "";
    text += material.noMipmaps ? " noMipmaps" : "";
    text += material.editorImage.empty() ? "" : " editor:" + material.editorImage;
    text += material.skyFarBox.empty() ? "" : " farBox:" + material.skyFarBox;
    text += material.skyCloudHeight != 128.0f ? " clouds:" + number(material.skyCloudHeight) : "";
    text += material.skyNearBox.empty() ? "" : " nearBox:" + material.skyNearBox;
    if (material.fogDistance > 0)
        text += " fog(" + numbers(material.fogColor.data(), 3) + ")/" + number(material.fogDistance);
    for (const Material::Deform& deform : material.deforms)
        text += deformSummary(deform);
    for (const Material::Stage& stage : material.stages)
        text += stageSummary(stage);
    for (const std::string& skipped : material.skipped)
        text += " skipped:" + skipped;
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

struct ScriptCase {
    const char* name;
    std::string text;
    std::string material;
};

void expectMaterials(const ScriptCase* cases, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(cases[i].name);
        const Parsed parsed = parse(cases[i].text);
        EXPECT_EQ(parsed.log, "");
        EXPECT_EQ(parsed.materials, std::vector<std::string>{cases[i].material});
    }
}

TEST(MaterialScript, ReadsSurfaceImagesAndBlending)
{
    const ScriptCase cases[] = {
        {"material keywords",
         "textures/Base/Wall\n{\n qer_editorimage textures/base/wall_ed.tga\n surfaceparm sky\n surfaceparm nodraw\n"
         " cull none\n skyParms env/night - -\n}",
         "textures/Base/Wall (textures/base/wall) sky nodraw twoSided editor:textures/base/wall_ed.tga farBox:env/night"},
        {"keywords and arguments ignore case",
         "M {\nQER_EDITORIMAGE Ed.TGA\nSurfaceParm SKY\nsurfaceparm NoDraw\nCULL Disable\nSKYPARMS Env/Day 512 -\n}",
         "M (m) sky nodraw twoSided editor:Ed.TGA farBox:Env/Day clouds:512"},
        {"cull twosided", "m { cull twosided }", "m (m) twoSided"},
        {"cull back after none", "m { cull none\n cull back }", "m (m) backSided"},
        {"cull front after disable", "m { cull disable\n cull front }", "m (m)"},
        {"cull unknown keeps", "m { cull none\n cull sideways }", "m (m) twoSided skipped:cull sideways"},
        {"sky parameters", "m { skyParms env/a 256 env/near }", "m (m) farBox:env/a clouds:256 nearBox:env/near"},
        {"sky box none, cloud height by default", "m { skyParms env/a\n skyParms - - - }", "m (m)"},
        {"surface parameters that change drawing",
         "m { surfaceparm trans\n surfaceparm nolightmap\n surfaceparm fog\n surfaceparm nonsolid }",
         "m (m) trans nolightmap fog"},
        {"fog parameters", "m { fogparms ( 0.5 0.25 2 ) 300 }", "m (m) fog fog(0.5 0.25 1)/300"},
        {"fog parameters against their parentheses", "m { fogParms (0 0.5 1) -5 }", "m (m) fog fog(0 0.5 1)/1"},
        {"fog parameters without a distance", "m { fogparms ( 1 1 1 ) }", "m (m) skipped:fogparms"},
        {"sort, offset and mipmaps", "m { sort additive\n polygonOffset\n nomipmaps }",
         "m (m) polygonOffset sort:9 noMipmaps"},
        {"numeric sort, sorts not honoured", "m { sort 6\n nopicmip\n sort banana\n sort 0 }",
         "m (m) sort:6 noMipmaps skipped:sort banana skipped:sort 0"},
        {"arguments end at the line break", "m {\n surfaceparm\n sky\n qer_editorimage\n x.tga\n}",
         "m (m) skipped:sky skipped:x.tga"},
        {"map and clampMap", "m {\n{\nmap a.tga\n}\n{\nclampMap b.jpg\n}\n{\nMAP c.tga\n}\n}",
         "m (m) { a.tga } { b.jpg clamp } { c.tga }"},
        {"lightmap and built-in images", "m { { map $lightmap } { map $LightMap } { map $whiteimage } { clampmap $x } }",
         "m (m) { lightmap } { lightmap } { white } { clamp } skipped:clampmap $x"},
        {"the last image line wins", "m { { map $lightmap\n clampMap a.tga\n map b.tga } }", "m (m) { b.tga }"},
        {"animMap", "m { { animMap 10 a.tga b.tga c.tga } { animmap 5 } { AnimMap 1 $whiteimage } }",
         "m (m) { a.tga anim:10[a.tga,b.tga,c.tga] } { } { anim:1[] } skipped:animmap"},
        {"animMap keeps eight frames", "m { { animMap 2 a b c d e f g h i } }",
         "m (m) { a anim:2[a,b,c,d,e,f,g,h] } skipped:animMap"},
        {"alpha functions", "m { {alphaFunc GT0} {alphafunc lt128} {ALPHAFUNC Ge128} {alphaFunc GT128} }",
         "m (m) { gt0 } { lt128 } { ge128 } { } skipped:alphaFunc GT128"},
        {"blend shorthands", "m { {blendFunc add} {blendfunc FILTER} {BlendFunc Blend} }",
         "m (m) { blend:one,one } { blend:dstColor,zero } { blend:srcAlpha,oneMinusSrcAlpha }"},
        {"blend factor names",
         "m { {blendFunc GL_ONE GL_ZERO} {blendFunc gl_src_color GL_ONE_MINUS_SRC_COLOR}\n"
         "{blendFunc GL_DST_COLOR GL_ONE_MINUS_DST_COLOR} {blendFunc GL_SRC_ALPHA GL_ONE_MINUS_SRC_ALPHA}\n"
         "{blendFunc GL_DST_ALPHA GL_ONE_MINUS_DST_ALPHA} {blendFunc GL_SRC_ALPHA_SATURATE GL_ONE} }",
         "m (m) { } { blend:srcColor,oneMinusSrcColor } { blend:dstColor,oneMinusDstColor }"
         " { blend:srcAlpha,oneMinusSrcAlpha } { blend:dstAlpha,oneMinusDstAlpha } { blend:srcAlphaSaturate,one }"},
        {"blend unknown or half", "m { {blendFunc GL_ONE GL_SOMETHING} {blendFunc GL_ONE} {blendFunc mix} }",
         "m (m) { } { } { } skipped:blendFunc GL_ONE skipped:blendFunc mix"},
        {"blend replaced by a later line", "m { {blendFunc add\n blendFunc GL_ONE GL_ZERO} }", "m (m) { }"},
        {"depth and detail", "m { { detail\n depthWrite\n depthFunc equal } { depthFunc equal\n depthFunc lequal\n"
                             " depthFunc greater } }",
         "m (m) { detail depthWrite depthEqual } { } skipped:depthFunc greater"},
        {"each keyword at its own level",
         "m {\n map outside.tga\n blendFunc add\n { surfaceparm sky\n cull none\n qer_editorimage e.tga\n map in.tga } }",
         "m (m) { in.tga } skipped:map outside.tga skipped:blendFunc add skipped:surfaceparm skipped:cull none"},
        {"comments", "// header\nm /* a\nblock comment */ {\n{ map a.tga// c\n/* blendFunc add */ }\n} // end",
         "m (m) { a.tga }"},
        {"braces against words", "textures/a{{map b.tga}}", "textures/a (textures/a) { b.tga }"},
    };
    expectMaterials(cases, std::size(cases));
}

TEST(MaterialScript, ReadsStageColourTextureCoordinatesAndDeforms)
{
    const ScriptCase cases[] = {
        {"rgbGen",
         "m { {rgbGen identityLighting} {rgbGen Vertex} {rgbGen exactVertex} {rgbGen oneMinusVertex}\n"
         "{rgbGen lightingDiffuse} {rgbGen const ( 0.5 0.25 2 )} {rgbGen constant (1 0 0)}\n"
         "{rgbGen wave sin 0.5 0.5 0 2} {rgbGen wave InverseSawtooth 0 1 0.25 .5} }",
         "m (m) { rgb:identityLighting } { rgb:vertex } { rgb:exactVertex } { rgb:oneMinusVertex }"
         " { rgb:lightingDiffuse } { rgb:const(0.5 0.25 1) } { rgb:const(1 0 0) } { rgb:wave sin(0.5 0.5 0 2) }"
         " { rgb:wave inversesawtooth(0 1 0.25 0.5) }"},
        {"rgbGen not honoured keeps identity",
         "m { {rgbGen entity} {rgbGen wave sin 1} {rgbGen const ( 1 1 )} {rgbGen wave pulse 0 1 0 1} }",
         "m (m) { } { } { } { } skipped:rgbGen entity skipped:rgbGen wave skipped:rgbGen const"},
        {"alphaGen",
         "m { {alphaGen const 0.5} {alphaGen wave square 0 1 0 4} {alphaGen vertex} {alphaGen oneMinusVertex}\n"
         "{alphaGen portal 512} {alphaGen portal} {alphaGen lightingSpecular} {alphaGen oneMinusEntity} }",
         "m (m) { alpha:const(0.5) } { alpha:wave square(0 1 0 4) } { alpha:vertex } { alpha:oneMinusVertex }"
         " { alpha:portal(512) } { alpha:portal(256) } { alpha:lightingSpecular } { }"
         " skipped:alphaGen oneMinusEntity"},
        {"tcGen, vectors held Y up",
         "m { {tcGen environment} {tcGen lightmap} {tcGen texture} {tcGen vector ( 0 1 0 ) (0 0 1)} {tcGen sphere} }",
         "m (m) { tc:environment } { tc:lightmap } { } { tc:vector(0 0 -1)(0 1 0) } { } skipped:tcGen sphere"},
        {"tcMod in the order written",
         "m { { tcMod turb 0 0.1 0 0.5\n tcMod scroll 0.5 -0.25\n tcMod scale 2 2\n tcMod rotate 30\n"
         " tcMod stretch sin 1 0.2 0 1\n tcMod transform 1 0 0 1 0.5 0.25\n tcMod entityTranslate\n tcMod scroll 1 } }",
         "m (m) { turb sin(0 0.1 0 0.5) scroll(0.5 -0.25) scale(2 2) rotate(30) stretch sin(1 0.2 0 1)"
         " transform(1 0 0 1 0.5 0.25) } skipped:tcMod entityTranslate skipped:tcMod scroll"},
        {"eight tcMods at most",
         "m { { tcMod scroll 1 0\n tcMod scroll 2 0\n tcMod scroll 3 0\n tcMod scroll 4 0\n tcMod scroll 5 0\n"
         " tcMod scroll 6 0\n tcMod scroll 7 0\n tcMod scroll 8 0\n tcMod scroll 9 0 } }",
         "m (m) { scroll(1 0) scroll(2 0) scroll(3 0) scroll(4 0) scroll(5 0) scroll(6 0) scroll(7 0) scroll(8 0) }"
         " skipped:tcMod scroll"},
        {"numbers as scripts write them", "m { { tcMod scroll .5f -1e1 } }", "m (m) { scroll(0.5 -10) }"},
        {"deforms, the move vector held Y up",
         "m { deformVertexes wave 64 sin 0 4 0 0.5\n deformVertexes move ( 0 2 8 ) triangle 0 1 0 0.25\n"
         " deformVertexes normal 0.5 2\n deformVertexes bulge 3 4 5 }",
         "m (m) deform:wave(64) sin(0 4 0 0.5) deform:move(0 8 -2) triangle(0 1 0 0.25) deform:normal(0.5 2)"
         " deform:bulge(3 4 5)"},
        {"four deforms at most, sprites",
         "m { deformVertexes autosprite\n deformVertexes autoSprite2\n deformVertexes text0\n"
         " deformVertexes wave 8 sin 0 1\n deformVertexes normal 1 1\n deformVertexes normal 2 2\n"
         " deformVertexes normal 3 3 }",
         "m (m) deform:autosprite deform:autosprite2 deform:normal(1 1) deform:normal(2 2)"
         " skipped:deformVertexes text0 skipped:deformVertexes wave skipped:deformVertexes normal"},
        {"infinity is no number", "m { { tcMod rotate inf } }", "m (m) { } skipped:tcMod rotate"},
    };
    expectMaterials(cases, std::size(cases));
}

TEST(MaterialScript, ListsTheDrawingKeywordsItSkippedOnceEach)
{
    const std::string longKeyword(50, 'k');
    const ScriptCase cases[] = {
        {"keywords for the compiler and the editor",
         "m { q3map_lightimage x.tga\n qer_trans 0.5\n tessSize 64\n light 1\n entityMergable\n"
         " surfaceparm metalsteps\n surfaceparm nonsolid\n { Q3MAP_x } }",
         "m (m) { }"},
        {"drawing keywords in reading order",
         "m { portal\n cloudParms 512\n { videoMap x.roq\n rgbGen Entity\n tcMod entityTranslate } }",
         "m (m) { } skipped:portal skipped:cloudParms skipped:videoMap skipped:rgbGen Entity"
         " skipped:tcMod entityTranslate"},
        {"once each, ignoring case", "m { { rgbGen entity } { RGBGEN ENTITY } }", "m (m) { } { } skipped:rgbGen entity"},
        {"short and printable", "m { \x7fodd\n " + longKeyword + " }",
         "m (m) skipped:?odd skipped:" + longKeyword.substr(0, 32) + "..."},
        {"sixteen at most", "m {\n" + std::string("a\nb\nc\nd\ne\nf\ng\nh\ni\nj\nk\nl\nm\nn\no\np\nq\nr\n") + "}",
         "m (m) skipped:a skipped:b skipped:c skipped:d skipped:e skipped:f skipped:g skipped:h skipped:i skipped:j"
         " skipped:k skipped:l skipped:m skipped:n skipped:o skipped:p"},
    };
    expectMaterials(cases, std::size(cases));
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
        {"long name cut", longName, "scripts/x.shader:2: expected { after " + longName.substr(0, 40)
                                        + "... but found the end of the file\n"},
        {"control bytes shown as ?", "b\x7f" "c\x7f d", "scripts/x.shader:2: expected { after b?c? but found d\n"},
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

    // 1025 materials of 64 stages: the script keeps 65536 stages in all, then materials without.
    std::ostringstream full;
    const std::vector<Material> wide = MaterialScript::parse(repeated("m {\n" + repeated("{}", 64) + "\n}\n", 1025), "x", full);
    ASSERT_EQ(wide.size(), 1025u);
    EXPECT_EQ(wide[1023].stages.size(), 64u);
    EXPECT_EQ(wide[1024].stages.size(), 0u);
    EXPECT_EQ(full.str(), "x:3074: more than 65536 stages in the script, the rest are ignored\n");
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
