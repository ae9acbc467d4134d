#include "render/PlainLook.h"

#include "visibility/Visibility.h"
#include "level/LevelFormat.h"
#include "render/CameraRenderer.h"
#include "render/LightingModule.h"
#include "render/OnScreenDisplay.h"
#include "render/PatchRenderer.h"
#include "render/Skybox.h"
#include "render/TextureManager.h"

void PlainLook::drawSky(const Skybox& plainSky, GLuint plainTexture) const { plainSky.draw(plainTexture); }

void PlainLook::drawShots(CameraRenderer& renderer, const std::vector<Shot>& shots) const
{
    renderer.drawShots(shots);
}

void PlainLook::collectVisibleFaces(const LevelData& level, int cluster, const Camera& camera,
                                    DrawnFaceSet& drawnFaces, std::vector<int>& visibleFaces)
{
    Visibility::collectFaces(level, cluster, camera, drawnFaces, visibleFaces);
}

void PlainLook::drawFaces(const Faces& faces)
{
    glEnable(GL_CULL_FACE);
    if (faces.lightingEnabled) {
        glEnable(GL_COLOR_MATERIAL);
        glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
        faces.lighting.applyLights();
    }
    glColor3f(1.0f, 1.0f, 1.0f);
    for (const int index : faces.visible) {
        const Face& face = faces.level.faces[std::size_t(index)];
        if (face.drawnFromMeshVertices())
            drawPolygonOrMesh(faces, face);
        else if (face.type == LevelFormat::Patch)
            drawPatchFace(faces, face);
    }
}

// Polygons and meshes are drawn straight from the level's vertex and mesh-vertex arrays.
void PlainLook::drawPolygonOrMesh(const Faces& faces, const Face& face)
{
    glFrontFace(GL_CW);
    // Pointer arithmetic rather than indexing: an empty face may start one past the end.
    const Vertex* first = faces.level.vertices.data() + face.firstVertex;
    if (faces.texturesEnabled) {
        if (!faces.textures.isTextureLoaded(face.texture))
            return;
        faces.textures.bindTexture(face.texture, sizeof(Vertex), first->texCoord);
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), first->position);
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, sizeof(Vertex), first->normal);
    glDrawElements(GL_TRIANGLES, face.meshVertexCount, GL_UNSIGNED_INT,
                   faces.level.meshVertices.data() + face.firstMeshVertex);
}

void PlainLook::drawPatchFace(const Faces& faces, const Face& face)
{
    glDisable(GL_CULL_FACE);
    // The patch draws only point the arrays; they must be on even if no polygon came first.
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    if (faces.patchesTessellated)
        PatchRenderer::drawTessellatedPatches(face, face.texture, faces.textures, faces.texturesEnabled);
    else
        PatchRenderer::drawPatchControlGrids(face, face.texture, faces.textures, faces.texturesEnabled);
    glEnable(GL_CULL_FACE);
}

void PlainLook::endLighting(LightingModule& lighting, bool lightingEnabled) const
{
    if (!lightingEnabled)
        return;
    lighting.disableLighting();
    glDisable(GL_COLOR_MATERIAL);
}

void PlainLook::drawStatusLine(const OnScreenDisplay& display, const char* text) const
{
    display.drawText(35.0f, 35.0f, text);
}
