#include "level/Vertex.h"

#include "level/LevelBytes.h"

using namespace LevelBytes;

Vertex::Vertex(const unsigned char* record)
{
    readFloatsYUp(record, position);
    readFloats(record + 12, texCoord, 2);
    readFloats(record + 20, lightmapCoord, 2);
    readFloatsYUp(record + 28, normal);
    for (int i = 0; i < 4; ++i)
        color[i] = record[40 + i];
}

Vertex::Vertex(float x, float y, float z, float s, float t, float lightmapS, float lightmapT,
    float normalX, float normalY, float normalZ, const std::array<unsigned char, 4>& color)
    : position{x, y, z},
      texCoord{s, t},
      lightmapCoord{lightmapS, lightmapT},
      normal{normalX, normalY, normalZ},
      color{color[0], color[1], color[2], color[3]}
{
}

Vertex Vertex::operator*(float factor) const
{
    Vertex result(*this);
    for (float& value : result.position)
        value *= factor;
    for (float& value : result.texCoord)
        value *= factor;
    for (float& value : result.lightmapCoord)
        value *= factor;
    for (float& value : result.normal)
        value *= factor;
    return result;
}

Vertex Vertex::operator+(const Vertex& other) const
{
    Vertex result(*this);
    for (int i = 0; i < 3; ++i) {
        result.position[i] += other.position[i];
        result.normal[i] += other.normal[i];
    }
    for (int i = 0; i < 2; ++i) {
        result.texCoord[i] += other.texCoord[i];
        result.lightmapCoord[i] += other.lightmapCoord[i];
    }
    return result;
}
