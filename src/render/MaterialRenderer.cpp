#include "render/MaterialRenderer.h"

#include "level/TextureResolver.h"
#include "render/DataRootImages.h"
#include "render/PassState.h"
#include "render/TextureManager.h"
#include "render/FogPass.h"
#include "surface/StageColor.h"
#include "surface/TextureMatrix.h"

namespace {
using Image = MaterialPasses::Image;
constexpr unsigned char neutralGrey[3] = {160, 160, 160};
constexpr unsigned char white[3] = {255, 255, 255};


// tcGen vector: s and t are the world position's dot products with the stage's two axes.
void generateTexCoords(const Material::Stage& stage)
{
    const GLenum coordinates[2] = {GL_S, GL_T};
    const GLenum switches[2] = {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T};
    for (std::size_t axis = 0; axis < 2; ++axis) {
        const auto& vector = stage.tcGenVectors[axis];
        const GLfloat plane[4] = {vector[0], vector[1], vector[2], 0.0f};
        glTexGeni(coordinates[axis], GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
        glTexGenfv(coordinates[axis], GL_OBJECT_PLANE, plane);
        glEnable(switches[axis]);
    }
}
} // namespace

MaterialRenderer::MaterialRenderer(const LevelData& level, const std::vector<SurfaceStyle>& styles,
                                   DataRootImages& images, const TextureManager& textures)
    : textures(textures)
{
    whiteTexture = TextureManager::onePixelTexture(white);
    greyTexture = TextureManager::onePixelTexture(neutralGrey);
    const TextureResolver& resolver = images.resolver();
    passes.resize(styles.size());
    plain.resize(styles.size());
    materials.assign(styles.size(), nullptr);
    for (std::size_t t = 0; t < styles.size(); ++t) {
        if (!images.isUsed(int(t)) || !styles[t].drawn)
            continue;
        materials[t] = resolver.material(level.textureNames[t]);
        passes[t] = passesOf(materials[t], styles[t], images);
        plain[t] = passesOf(nullptr, styles[t], images);
    }
}

MaterialRenderer::~MaterialRenderer()
{
    glDeleteTextures(1, &whiteTexture);
    glDeleteTextures(1, &greyTexture);
}

std::vector<StagePass> MaterialRenderer::passesOf(const Material* material, const SurfaceStyle& style,
                                                  DataRootImages& images) const
{
    MaterialPasses::Pass implicit;
    implicit.image = Image::record;
    implicit.lit = style.takesLightmap;
    implicit.blend = style.blend;
    implicit.alphaFunction = style.alphaFunction;
    implicit.depthWrite = !style.blend.blends;
    const ImageCache::Filter filter =
        material != nullptr && material->noMipmaps ? ImageCache::Filter::linear : ImageCache::Filter::mipmapped;
    std::vector<StagePass> made;
    for (const MaterialPasses::Pass& pass : MaterialPasses::of(material, implicit)) {
        StagePass stagePass = StagePass::loaded(pass, images, filter);
        if (pass.image == Image::stage && !stagePass.hasImage()) {
            if (!made.empty())
                continue;
            stagePass.pass.image = Image::record; // geometry never vanishes: the texture's own image, or grey
        }
        made.push_back(stagePass);
    }
    return made;
}

// ---- the frame -------------------------------------------------------------------------------

void MaterialRenderer::begin(const Frame& now)
{
    frame = now;
    lastDrawCalls = 0;
    glDisable(GL_LIGHTING);
    glDisableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    TextureManager::switchOffLightmapUnit();
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    textureMatrixSet = false;
}

void MaterialRenderer::drawGroups(BatchedLevel& batches, std::size_t first, std::size_t end)
{
    for (std::size_t g = first; g < end; ++g)
        if (batches.indexCount(g) > 0)
            drawGroup(batches, g);
}

void MaterialRenderer::end()
{
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDisableClientState(GL_COLOR_ARRAY);
    TextureManager::switchOffLightmapUnit();
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    textureMatrixSet = false;
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LEQUAL);
    glBlendFunc(GL_ONE, GL_ZERO);
    glAlphaFunc(GL_ALWAYS, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void MaterialRenderer::drawGroup(BatchedLevel& batches, std::size_t g)
{
    const BatchedLevel::Group& group = batches.group(g);
    const SurfaceStyle& style = batches.style(g);
    const Material* material = materials[std::size_t(group.texture)];
    if (group.source == BatchedLevel::VertexSource::frameVertices && material != nullptr)
        batches.frameVertices().deform(*material, batches.faces(g), batches.faceCount(g), frame.seconds, frame.eye);
    PassState::applyCulling(style, group.source == BatchedLevel::VertexSource::patchVertices);
    if (style.polygonOffset) {
        glEnable(GL_POLYGON_OFFSET_FILL);
        glPolygonOffset(-1.0f, -2.0f);
    } else {
        glDisable(GL_POLYGON_OFFSET_FILL);
    }
    for (const StagePass& stagePass : (frame.switches.textures ? passes : plain)[std::size_t(group.texture)])
        drawPass(batches, g, stagePass);
}

void MaterialRenderer::drawPass(BatchedLevel& batches, std::size_t g, const StagePass& stagePass)
{
    const MaterialPasses::Pass& pass = stagePass.pass;
    const BatchedLevel::Group& group = batches.group(g);
    batches.pointArraysAt(group.source);
    applyDepthAndBlend(pass);
    Light light = Light::none;
    const GLuint image = bindImage(group, stagePass, light);
    glBindTexture(GL_TEXTURE_2D, image);
    applyLightmapUnit(group, light == Light::lightmap && pass.image != Image::lightmap);
    applyTexCoords(batches, g, pass, pass.image == Image::lightmap && light == Light::lightmap);
    applyColour(batches, g, pass, light);
    glDrawElements(GL_TRIANGLES, GLsizei(batches.indexCount(g)), GL_UNSIGNED_INT, batches.indices(g));
    ++lastDrawCalls;
    if (pass.stage != nullptr && pass.stage->tcGen == TexCoordSource::vector) {
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
    }
}

void MaterialRenderer::applyDepthAndBlend(const MaterialPasses::Pass& pass) const
{
    glDepthMask(pass.depthWrite ? GL_TRUE : GL_FALSE);
    glDepthFunc(pass.depthFunction == DepthFunction::equal ? GL_EQUAL : GL_LEQUAL);
    PassState::applyBlend(pass.blend);
    PassState::applyAlphaFunction(pass.alphaFunction);
    if (fogColor != nullptr)
        glFogfv(GL_FOG_COLOR, FogPass::passFogColor(pass.blend, *fogColor).data());
}

// The unit 0 image, and how the pass is lit: a lit pass, or the lightmap's own, takes the
// lightmap where the face has one (and lightmaps are on), else its vertex colours.
GLuint MaterialRenderer::bindImage(const BatchedLevel::Group& group, const StagePass& stagePass, Light& light) const
{
    const MaterialPasses::Pass& pass = stagePass.pass;
    const Switches& switches = frame.switches;
    if ((pass.lit || pass.image == Image::lightmap) && switches.lighting)
        light = switches.lightmaps && textures.isLightmapLoaded(group.lightmap) ? Light::lightmap : Light::vertexColours;
    switch (pass.image) {
    case Image::record:
        return switches.textures && textures.isTextureLoaded(group.texture) ? textures.textureId(group.texture)
                                                                             : greyTexture;
    case Image::stage:
        return stagePass.imageAt(frame.seconds);
    case Image::lightmap:
        return light == Light::lightmap ? textures.lightmapId(group.lightmap) : whiteTexture;
    case Image::white:
        return whiteTexture;
    }
    return greyTexture;
}

void MaterialRenderer::applyLightmapUnit(const BatchedLevel::Group& group, bool on) const
{
    if (on)
        TextureManager::switchOnLightmapUnit(textures.lightmapId(group.lightmap));
    else
        TextureManager::switchOffLightmapUnit();
}

void MaterialRenderer::applyTexCoords(BatchedLevel& batches, std::size_t g, const MaterialPasses::Pass& pass,
                                      bool lightmapImage)
{
    const Material::Stage* stage = pass.stage;
    const TexCoordSource source = stage != nullptr ? stage->tcGen : TexCoordSource::base;
    const bool framed = batches.group(g).source == BatchedLevel::VertexSource::frameVertices;
    if (lightmapImage || source == TexCoordSource::lightmap) {
        batches.pointUnit0AtLightmapCoords(batches.group(g).source);
    } else if (source == TexCoordSource::environment && framed) {
        batches.frameVertices().mapEnvironment(batches.faces(g), batches.faceCount(g), frame.eye);
        glTexCoordPointer(2, GL_FLOAT, 0, batches.frameVertices().mappedTexCoords());
    } else if (source == TexCoordSource::vector) {
        generateTexCoords(*stage);
    }
    if (stage != nullptr && !stage->tcMods.empty()) {
        glMatrixMode(GL_TEXTURE);
        glLoadMatrixf(TextureMatrix::of(stage->tcMods, frame.seconds).columnMajor().data());
        glMatrixMode(GL_MODELVIEW);
        textureMatrixSet = true;
    } else if (textureMatrixSet) {
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        textureMatrixSet = false;
    }
}

void MaterialRenderer::applyColour(BatchedLevel& batches, std::size_t g, const MaterialPasses::Pass& pass, Light light)
{
    const bool framed = batches.group(g).source == BatchedLevel::VertexSource::frameVertices;
    if (light == Light::vertexColours || (pass.color == MaterialPasses::Color::vertexColors && frame.switches.lighting)) {
        glEnableClientState(GL_COLOR_ARRAY);
        return;
    }
    if (pass.color == MaterialPasses::Color::computed && framed) {
        batches.frameVertices().colour(*pass.stage, batches.faces(g), batches.faceCount(g), frame.seconds, frame.eye,
                                       frame.switches.lighting);
        glColorPointer(4, GL_UNSIGNED_BYTE, 0, batches.frameVertices().stageColors());
        glEnableClientState(GL_COLOR_ARRAY);
        return;
    }
    glDisableClientState(GL_COLOR_ARRAY);
    if (pass.stage == nullptr) {
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        return;
    }
    StageColor::Inputs inputs;
    inputs.seconds = frame.seconds;
    inputs.eye = frame.eye.position;
    const std::array<float, 4> rgba = StageColor::of(*pass.stage, inputs);
    glColor4f(rgba[0], rgba[1], rgba[2], rgba[3]);
}
