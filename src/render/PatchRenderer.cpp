#include "render/PatchRenderer.h"

#include "level/Face.h"
#include "render/TextureManager.h"

#include <GL/glew.h>

namespace PatchRenderer {

void drawTessellatedPatches(const Face& face, int texture, const TextureManager& textureManager, bool textured)
{
    for (const BezierPatch& patch : face.patches)
        drawTessellated(patch, texture, textureManager, textured);
}

void drawPatchControlGrids(const Face& face, int texture, const TextureManager& textureManager, bool textured)
{
    for (const BezierPatch& patch : face.patches)
        drawControlGrid(patch, texture, textureManager, textured);
}

void drawControlGrid(const BezierPatch& patch, int texture, const TextureManager& textureManager, bool textured)
{
    static const GLuint strips[2][6] = {{0, 3, 1, 4, 2, 5}, {3, 6, 4, 7, 5, 8}};
    constexpr GLsizei stride = sizeof(Vertex);
    glVertexPointer(3, GL_FLOAT, stride, patch.controls[0].position);
    // Point the normals at the controls too, so nothing reads a stale array the caller left.
    glNormalPointer(GL_FLOAT, stride, patch.controls[0].normal);
    if (textured)
        textureManager.bindTexture(texture, stride, patch.controls[0].texCoord);
    for (const auto& strip : strips)
        glDrawElements(GL_TRIANGLE_STRIP, 6, GL_UNSIGNED_INT, strip);
}

void drawTessellated(const BezierPatch& patch, int texture, const TextureManager& textureManager, bool textured)
{
    if (patch.vertices.empty())
        return;
    constexpr GLsizei stride = sizeof(Vertex);
    glFrontFace(GL_CCW);
    glVertexPointer(3, GL_FLOAT, stride, patch.vertices[0].position);
    glNormalPointer(GL_FLOAT, stride, patch.vertices[0].normal);
    if (textured)
        textureManager.bindTexture(texture, stride, patch.vertices[0].texCoord);
    for (int r = 0; r < patch.level; ++r)
        glDrawElements(GL_TRIANGLE_STRIP, patch.rowIndexCount, GL_UNSIGNED_INT,
            patch.indices.data() + std::size_t(2 * (patch.level + 1) * r));
}

} // namespace PatchRenderer
