#include "level/TextureReport.h"

#include "level/LevelFormat.h"

#include <sstream>

TextureReport TextureReport::of(const LevelData& level, const std::function<std::string(int)>& originOf)
{
    TextureReport report;
    report.textures.reserve(level.textureNames.size());
    for (std::size_t i = 0; i < level.textureNames.size(); ++i)
        report.textures.push_back({level.textureNames[i], originOf(int(i)), 0});
    for (const Face& face : level.faces) {
        Entry& entry = report.textures[std::size_t(face.texture)]; // checked by the loader
        const bool drawnFromMeshVertices = face.type == LevelFormat::Polygon || face.type == LevelFormat::Mesh;
        if (entry.origin.empty() && drawnFromMeshVertices)
            ++entry.facesWithout;
    }
    return report;
}

std::size_t TextureReport::found() const
{
    std::size_t count = 0;
    for (const Entry& entry : textures)
        count += entry.origin.empty() ? 0 : 1;
    return count;
}

std::size_t TextureReport::facesWithout() const
{
    std::size_t count = 0;
    for (const Entry& entry : textures)
        count += entry.facesWithout;
    return count;
}

std::vector<const TextureReport::Entry*> TextureReport::missing() const
{
    std::vector<const Entry*> result;
    for (const Entry& entry : textures)
        if (entry.origin.empty())
            result.push_back(&entry);
    return result;
}

std::string TextureReport::summaryLine(const std::string& consequence, std::size_t named) const
{
    std::ostringstream line;
    const std::vector<const Entry*> absent = missing();
    if (absent.empty()) {
        line << "textures: all " << textures.size() << " found";
        return line.str();
    }
    line << "textures: " << found() << " of " << textures.size() << " found; " << facesWithout() << " faces "
         << consequence;
    if (named == 0)
        return line.str();
    line << "; missing: ";
    for (std::size_t i = 0; i < absent.size() && i < named; ++i)
        line << (i == 0 ? "" : ", ") << absent[i]->name;
    if (absent.size() > named)
        line << " and " << absent.size() - named << " more";
    return line.str();
}
