#include "LevelWriter.h"

#include "level/LevelFormat.h"

#include <cstring>
#include <fstream>
#include <stdexcept>

void ByteWriter::putInt(int32_t value)
{
    const uint32_t bits = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<uint8_t>(bits >> shift));
}

void ByteWriter::putFloat(float value)
{
    int32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    putInt(bits);
}

void ByteWriter::putVector(const Vector3& v)
{
    putFloat(v.x);
    putFloat(v.y);
    putFloat(v.z);
}

void ByteWriter::putBytes(const uint8_t* data, size_t count)
{
    bytes.insert(bytes.end(), data, data + count);
}

void ByteWriter::putFixedString(const std::string& text, size_t size)
{
    const size_t used = std::min(text.size(), size - 1);
    bytes.insert(bytes.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(used));
    bytes.insert(bytes.end(), size - used, 0);
}

void ByteWriter::padTo(size_t alignment)
{
    while (bytes.size() % alignment != 0)
        bytes.push_back(0);
}

void ByteWriter::patchInt(size_t offset, int32_t value)
{
    const uint32_t bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        bytes.at(offset + i) = static_cast<uint8_t>(bits >> (8 * i));
}

namespace {

void putBox(ByteWriter& out, const IntBox& box)
{
    for (const int32_t v : box.mins)
        out.putInt(v);
    for (const int32_t v : box.maxs)
        out.putInt(v);
}

void putLump(ByteWriter& out, int lump, const Level& level)
{
    using namespace LevelFormat;
    switch (lump) {
    case Entities:
        out.putBytes(reinterpret_cast<const uint8_t*>(level.entities.data()), level.entities.size());
        break;
    case Textures:
        for (const TextureRecord& t : level.textures) {
            out.putFixedString(t.name, textureNameSize);
            out.putInt(t.flags);
            out.putInt(t.contents);
        }
        break;
    case Planes:
        for (const PlaneRecord& p : level.planes) {
            out.putVector(p.normal);
            out.putFloat(p.distance);
        }
        break;
    case Nodes:
        for (const NodeRecord& n : level.nodes) {
            out.putInt(n.plane);
            out.putInt(n.children[0]);
            out.putInt(n.children[1]);
            putBox(out, n.box);
        }
        break;
    case Leaves:
        for (const LeafRecord& l : level.leaves) {
            out.putInt(l.cluster);
            out.putInt(l.area);
            putBox(out, l.box);
            out.putInt(l.firstLeafFace);
            out.putInt(l.leafFaceCount);
            out.putInt(l.firstLeafBrush);
            out.putInt(l.leafBrushCount);
        }
        break;
    case LeafFaces:
        for (const int32_t f : level.leafFaces)
            out.putInt(f);
        break;
    case LeafBrushes:
        for (const int32_t b : level.leafBrushes)
            out.putInt(b);
        break;
    case Models:
        for (const ModelRecord& m : level.models) {
            out.putVector(m.mins);
            out.putVector(m.maxs);
            out.putInt(m.firstFace);
            out.putInt(m.faceCount);
            out.putInt(m.firstBrush);
            out.putInt(m.brushCount);
        }
        break;
    case Brushes:
        for (const BrushRecord& b : level.brushes) {
            out.putInt(b.firstSide);
            out.putInt(b.sideCount);
            out.putInt(b.texture);
        }
        break;
    case BrushSides:
        for (const BrushSideRecord& s : level.brushSides) {
            out.putInt(s.plane);
            out.putInt(s.texture);
        }
        break;
    case Effects:
        for (const EffectRecord& e : level.effects) {
            out.putFixedString(e.material, effectNameSize);
            out.putInt(e.brush);
            out.putInt(e.visibleSide);
        }
        break;
    case Vertices:
        for (const VertexRecord& v : level.vertices) {
            out.putVector(v.position);
            out.putFloat(v.texCoord[0]);
            out.putFloat(v.texCoord[1]);
            out.putFloat(v.lightmapCoord[0]);
            out.putFloat(v.lightmapCoord[1]);
            out.putVector(v.normal);
            out.putBytes(v.color.data(), v.color.size());
        }
        break;
    case MeshVertices:
        for (const int32_t m : level.meshVertices)
            out.putInt(m);
        break;
    case Faces:
        for (const FaceRecord& f : level.faces) {
            for (const int32_t v : {f.texture, f.effect, f.type, f.firstVertex, f.vertexCount, f.firstMeshVertex,
                                    f.meshVertexCount, f.lightmapIndex, f.lightmapStart[0], f.lightmapStart[1],
                                    f.lightmapSize[0], f.lightmapSize[1]})
                out.putInt(v);
            out.putVector(f.lightmapOrigin);
            out.putVector(f.lightmapVectors[0]);
            out.putVector(f.lightmapVectors[1]);
            out.putVector(f.normal);
            out.putInt(f.patchSize[0]);
            out.putInt(f.patchSize[1]);
        }
        break;
    case Lightmaps:
        static_assert(lightmapPageBytes == lightmapRecordSize);
        out.putBytes(level.lightmaps.data(), level.lightmaps.size());
        break;
    case Visibility:
        out.putInt(level.visibility.clusterCount);
        out.putInt(level.visibility.bytesPerCluster);
        out.putBytes(level.visibility.bits.data(), level.visibility.bits.size());
        break;
    default: // light volumes stay empty
        break;
    }
}

} // namespace

std::vector<uint8_t> serializeLevel(const Level& level)
{
    ByteWriter out;
    out.putBytes(reinterpret_cast<const uint8_t*>(LevelFormat::magic), sizeof LevelFormat::magic);
    out.putInt(LevelFormat::version);
    for (int i = 0; i < LevelFormat::lumpCount; ++i) {
        out.putInt(0);
        out.putInt(0);
    }
    for (int lump = 0; lump < LevelFormat::lumpCount; ++lump) {
        out.padTo(4);
        const size_t start = out.size();
        putLump(out, lump, level);
        const size_t entry = LevelFormat::headerSize + 8 * static_cast<size_t>(lump);
        out.patchInt(entry, static_cast<int32_t>(start));
        out.patchInt(entry + 4, static_cast<int32_t>(out.size() - start));
    }
    return out.take();
}

void writeLevelFile(const Level& level, const std::string& path)
{
    const std::vector<uint8_t> bytes = serializeLevel(level);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path);
}
