#pragma once

class BezierPatch;
class Face;
class TextureManager;

// Draws the Bezier patches of a curved face, either as their 3 x 3 control grids or as their
// current tessellation. Every draw points the vertex and normal arrays at the patch's own
// vertices (stride of one Vertex) and, when textured, binds `texture` with its coordinate
// array through the manager. The caller enables the vertex and normal client states.
namespace PatchRenderer {

void drawTessellatedPatches(const Face& face, int texture, const TextureManager& textureManager, bool textured);
void drawPatchControlGrids(const Face& face, int texture, const TextureManager& textureManager, bool textured);

void drawControlGrid(const BezierPatch& patch, int texture, const TextureManager& textureManager, bool textured);
// Sets the front face to counter-clockwise.
void drawTessellated(const BezierPatch& patch, int texture, const TextureManager& textureManager, bool textured);

} // namespace PatchRenderer
