#pragma once

#include "LevelWriter.h"

#include <string>

// A square room from (-100, -100) to (100, 100), file coordinates, seen from above: the floor at
// height 0 west of x = 40, a step up to 50 east of it whose face is a wall at x = 40, and a
// ceiling at 100. Over the low floor hangs a sky-flagged floor at 80, and over the step a door's
// floor at 90 that belongs to model 1: a map must show neither. One player start stands at the
// middle of the room, on the low floor, facing north (90 degrees).
namespace leveltest {

inline void addQuad(LevelWriter& writer, int32_t texture, const std::array<Triple, 4>& corners, Triple normal)
{
    const int32_t first = int32_t(writer.lump(LevelFormat::Vertices).size() / 44);
    const int32_t firstMesh = int32_t(writer.lump(LevelFormat::MeshVertices).size() / 4);
    for (const Triple& corner : corners) {
        VertexRecord vertex;
        vertex.position = corner;
        vertex.normal = normal;
        writer.addVertex(vertex);
    }
    for (int32_t offset : {0, 1, 2, 0, 2, 3})
        writer.addMeshVertex(offset);
    FaceRecord face;
    face.texture = texture;
    face.firstVertex = first;
    face.vertexCount = 4;
    face.firstMeshVertex = firstMesh;
    face.meshVertexCount = 6;
    face.normal = normal;
    writer.addFace(face);
}

// A horizontal quad from x0 to x1 at height z, wound clockwise seen from the side it faces.
inline void addFlat(LevelWriter& writer, int32_t texture, float x0, float x1, float z, bool facingUp)
{
    const Triple up{0.0f, 0.0f, facingUp ? 1.0f : -1.0f};
    if (facingUp)
        addQuad(writer, texture, {{{x0, -100, z}, {x0, 100, z}, {x1, 100, z}, {x1, -100, z}}}, up);
    else
        addQuad(writer, texture, {{{x0, -100, z}, {x1, -100, z}, {x1, 100, z}, {x0, 100, z}}}, up);
}

inline LevelWriter stepRoom(const std::string& entities = "{ \"classname\" \"worldspawn\" }\n"
                                                          "{ \"classname\" \"info_player_deathmatch\" "
                                                          "\"origin\" \"0 0 0\" \"angle\" \"90\" }\n")
{
    LevelWriter writer;
    writer.setEntities(entities);
    writer.addTexture("textures/room/floor");
    writer.addTexture("textures/room/sky", LevelFormat::surfaceSky);
    writer.addPlane({0.0f, 0.0f, 1.0f}, -1000.0f);
    writer.addNode(0, -1, -2, {-100, -100, 0}, {100, 100, 100});
    writer.addLeaf(0, 0, 5, 0, 0, {-100, -100, 0}, {100, 100, 100});
    writer.addLeaf(1, 0, 0, 0, 0, {-100, -100, 0}, {100, 100, 100});
    for (int32_t face = 0; face < 5; ++face)
        writer.addLeafFace(face);
    addFlat(writer, 0, -100, 40, 0, true); // 0: the low floor
    addFlat(writer, 0, 40, 100, 50, true); // 1: the step
    addQuad(writer, 0, {{{40, -100, 0}, {40, -100, 50}, {40, 100, 50}, {40, 100, 0}}}, {-1, 0, 0}); // 2: its face
    addFlat(writer, 0, -100, 100, 100, false); // 3: the ceiling
    addFlat(writer, 1, -100, 40, 80, true);    // 4: sky
    addFlat(writer, 0, 40, 100, 90, true);     // 5: the door, model 1
    writer.addModel({-100, -100, 0}, {100, 100, 100}, 0, 5, 0, 0);
    writer.addModel({40, -100, 90}, {100, 100, 90}, 5, 1, 0, 0);
    return writer;
}

} // namespace leveltest
