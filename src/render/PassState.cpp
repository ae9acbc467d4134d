#include "render/PassState.h"

#include "render/Skybox.h"

#include <GL/glew.h>

namespace {
GLenum glFactor(BlendFactor factor)
{
    switch (factor) {
    case BlendFactor::one: return GL_ONE;
    case BlendFactor::zero: return GL_ZERO;
    case BlendFactor::sourceColor: return GL_SRC_COLOR;
    case BlendFactor::oneMinusSourceColor: return GL_ONE_MINUS_SRC_COLOR;
    case BlendFactor::destinationColor: return GL_DST_COLOR;
    case BlendFactor::oneMinusDestinationColor: return GL_ONE_MINUS_DST_COLOR;
    case BlendFactor::sourceAlpha: return GL_SRC_ALPHA;
    case BlendFactor::oneMinusSourceAlpha: return GL_ONE_MINUS_SRC_ALPHA;
    case BlendFactor::destinationAlpha: return GL_DST_ALPHA;
    case BlendFactor::oneMinusDestinationAlpha: return GL_ONE_MINUS_DST_ALPHA;
    case BlendFactor::sourceAlphaSaturate: return GL_SRC_ALPHA_SATURATE;
    }
    return GL_ONE;
}
} // namespace

void PassState::applyBlend(const Material::Blend& blend)
{
    if (!blend.blends) {
        glDisable(GL_BLEND);
        return;
    }
    glEnable(GL_BLEND);
    glBlendFunc(glFactor(blend.sourceFactor), glFactor(blend.destinationFactor));
}

void PassState::applyAlphaFunction(AlphaFunction function)
{
    switch (function) {
    case AlphaFunction::always: glDisable(GL_ALPHA_TEST); return;
    case AlphaFunction::greaterThanZero: glAlphaFunc(GL_GREATER, 0.0f); break;
    case AlphaFunction::lessThan128: glAlphaFunc(GL_LESS, 0.5f); break;
    case AlphaFunction::greaterOrEqualTo128: glAlphaFunc(GL_GEQUAL, 0.5f); break;
    }
    glEnable(GL_ALPHA_TEST);
}

void PassState::applyCulling(const SurfaceStyle& style, bool patch)
{
    if (patch || style.culling == Culling::twoSided) {
        glDisable(GL_CULL_FACE);
        return;
    }
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW);
    glCullFace(style.culling == Culling::backSided ? GL_FRONT : GL_BACK);
}

void PassState::beginSkyLayers()
{
    Skybox::beginSkyTexturing();
    glDisable(GL_POLYGON_OFFSET_FILL);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthRange(1.0, 1.0);
}

void PassState::endSkyLayers()
{
    glPopMatrix();
    glDepthRange(0.0, 1.0);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}
