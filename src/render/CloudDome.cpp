#include "render/CloudDome.h"

#include "render/PassState.h"
#include "render/Skybox.h"
#include "render/TextureManager.h"
#include "surface/SkyDome.h"
#include "surface/StageColor.h"
#include "surface/TextureMatrix.h"

namespace {
// Inside the plain sky's cube and beyond the near plane, like it.
constexpr float domeRadius = 2.0f;
constexpr int rings = 16;
constexpr int segments = 32;
} // namespace

CloudDome::~CloudDome()
{
    if (white != 0)
        glDeleteTextures(1, &white);
}

// $whiteimage: one white texel, made when a layer first shows it, coloured by the stage's rgbGen.
GLuint CloudDome::whiteImage()
{
    if (white != 0)
        return white;
    constexpr unsigned char texel[3] = {255, 255, 255};
    white = TextureManager::onePixelTexture(texel);
    return white;
}

CloudDome::CloudDome(const Material& sky, DataRootImages& images)
{
    const ImageCache::Filter filter = sky.noMipmaps ? ImageCache::Filter::linear : ImageCache::Filter::mipmapped;
    for (const MaterialPasses::Pass& pass : MaterialPasses::of(&sky, MaterialPasses::Pass{})) {
        if (!MaterialPasses::isCloudLayer(pass))
            continue;
        StagePass layer = pass.image == MaterialPasses::Image::white ? StagePass(pass, {whiteImage()}, 1)
                                                                     : StagePass::loaded(pass, images, filter);
        if (layer.hasImage())
            layers.push_back(layer);
    }
    if (layers.empty())
        return;
    const SkyDome::Mesh mesh = SkyDome::mesh(sky.skyCloudHeight, rings, segments);
    for (const SkyDome::Vector& direction : mesh.directions)
        positions.push_back({direction[0] * domeRadius, direction[1] * domeRadius, direction[2] * domeRadius});
    texCoords = mesh.texCoords;
    indices.assign(mesh.indices.begin(), mesh.indices.end());
}

void CloudDome::leaveSkyState(double seconds) const
{
    Skybox::beginSkyPass();
    glBindTexture(GL_TEXTURE_2D, layers.front().imageAt(seconds));
    glTexCoord2f(0.0f, 1.0f);
    Skybox::endSkyPass();
}

void CloudDome::draw(double seconds) const
{
    PassState::beginSkyLayers();
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDisableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions.data());
    glTexCoordPointer(2, GL_FLOAT, 0, texCoords.data());
    StageColor::Inputs inputs;
    inputs.seconds = seconds;
    for (const StagePass& layer : layers) {
        const Material::Stage& stage = *layer.pass.stage;
        PassState::applyBlend(layer.pass.blend);
        PassState::applyAlphaFunction(layer.pass.alphaFunction);
        const std::array<float, 4> rgba = StageColor::of(stage, inputs);
        glColor4f(rgba[0], rgba[1], rgba[2], rgba[3]);
        glMatrixMode(GL_TEXTURE);
        glLoadMatrixf(TextureMatrix::of(stage.tcMods, seconds).columnMajor().data());
        glMatrixMode(GL_MODELVIEW);
        glBindTexture(GL_TEXTURE_2D, layer.imageAt(seconds));
        glDrawElements(GL_TRIANGLES, GLsizei(indices.size()), GL_UNSIGNED_INT, indices.data());
    }
    PassState::endSkyLayers();
}
