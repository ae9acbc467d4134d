// levelinfo: what a level file holds, as the viewer would load it. Runs the viewer's own
// parser and validation (no window, no textures) and prints the header, the lump
// directory, record counts, face types and visibility figures, or the reason the viewer
// would refuse the file.
#include "level/LevelFormat.h"
#include "level/LevelLoader.h"

#include <array>
#include <exception>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <sstream>

namespace {
void printDirectory(const LevelData& level)
{
    std::cout << "lump              offset     length    records\n";
    for (int i = 0; i < LevelFormat::lumpCount; ++i) {
        const DirectoryEntry& entry = level.directory[std::size_t(i)];
        const LevelFormat::LumpInfo& lump = LevelFormat::lumps[i];
        std::cout << std::left << std::setw(14) << lump.name << std::right << std::setw(10) << entry.offset
                  << std::setw(11) << entry.length;
        if (lump.recordSize > 0)
            std::cout << std::setw(11) << entry.length / lump.recordSize;
        std::cout << '\n';
    }
}

void printFaces(const LevelData& level)
{
    std::array<std::size_t, 5> byType{}; // other, polygon, patch, mesh, billboard
    std::size_t patches = 0;
    for (const Face& face : level.faces) {
        const bool known = face.type >= LevelFormat::Polygon && face.type <= LevelFormat::Billboard;
        ++byType[known ? std::size_t(face.type) : 0];
        patches += face.patches.size();
    }
    std::cout << "faces: " << level.faces.size() << " (" << byType[1] << " polygons, " << byType[2]
              << " patch faces cut into " << patches << " patches, " << byType[3] << " meshes, " << byType[4]
              << " billboards, " << byType[0] << " of other types)\n";
}

void printVisibility(const LevelData& level)
{
    if (!level.visData || level.visData->clusterCount == 0) {
        std::cout << "visibility: none (every leaf is drawn when in view)\n";
        return;
    }
    const VisData& vis = *level.visData;
    std::size_t visiblePairs = 0;
    for (unsigned char byte : vis.bits)
        for (int bit = 0; bit < 8; ++bit)
            visiblePairs += (byte >> bit) & 1;
    std::cout << "visibility: " << vis.clusterCount << " clusters, " << vis.bytesPerCluster
              << " bytes per cluster, each sees " << std::fixed << std::setprecision(1)
              << double(visiblePairs) / vis.clusterCount << " clusters on average\n";
}

void printSummary(const LevelData& level)
{
    std::cout << "magic " << level.magic << ", version " << level.version << '\n';
    printDirectory(level);
    std::cout << "textures: " << level.textureNames.size() << ", lightmaps: " << level.lightmapCount << '\n'
              << "nodes: " << level.nodes.size() << ", leaves: " << level.leaves.size()
              << ", planes: " << level.planes.size() << '\n'
              << "vertices: " << level.vertices.size() << ", mesh vertices: " << level.meshVertices.size() << '\n';
    printFaces(level);
    printVisibility(level);
    if (!level.nodes.empty()) {
        const Node& root = level.nodes[0];
        // World coordinates, Y up; the stored box keeps the larger Z in mins.
        std::cout << "bounds (world, Y up): x " << root.mins[0] << ".." << root.maxs[0] << ", y " << root.mins[1]
                  << ".." << root.maxs[1] << ", z " << root.maxs[2] << ".." << root.mins[2] << '\n';
    }
    for (const std::string& name : level.textureNames)
        std::cout << "texture " << name << '\n';
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: levelinfo LEVEL_FILE" << std::endl;
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
        std::cerr << "levelinfo: " << argv[1] << ": cannot open the level file" << std::endl;
        return 1;
    }
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    try {
        std::ostringstream transcript; // the loader's progress lines are the viewer's, not ours
        printSummary(parseLevel(argv[1], bytes, transcript));
    } catch (const std::exception& error) {
        std::cerr << "levelinfo: " << error.what() << std::endl;
        return 1;
    }
    return 0;
}
