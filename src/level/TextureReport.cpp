#include "level/TextureReport.h"

#include <sstream>

TextureReport TextureReport::of(const LevelData& level, const std::function<std::string(int)>& originOf,
                                const std::function<bool(int)>& isDrawn)
{
    TextureReport report;
    report.textures.reserve(level.textureNames.size());
    for (std::size_t i = 0; i < level.textureNames.size(); ++i)
        report.textures.push_back({level.textureNames[i], originOf(int(i)), 0, !isDrawn || isDrawn(int(i))});
    for (const Face& face : level.faces) {
        Entry& entry = report.textures[std::size_t(face.texture)]; // checked by the loader
        if (entry.drawn && entry.origin.empty() && face.drawnFromMeshVertices())
            ++entry.facesWithout;
    }
    return report;
}

std::size_t TextureReport::found() const
{
    std::size_t count = 0;
    for (const Entry& entry : textures)
        count += entry.drawn && !entry.origin.empty() ? 1 : 0;
    return count;
}

std::size_t TextureReport::drawnTextures() const
{
    std::size_t count = 0;
    for (const Entry& entry : textures)
        count += entry.drawn ? 1 : 0;
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
        if (entry.drawn && entry.origin.empty())
            result.push_back(&entry);
    return result;
}

std::string TextureReport::summaryLine(const std::string& consequence, std::size_t named) const
{
    std::ostringstream line;
    const std::vector<const Entry*> absent = missing();
    if (absent.empty()) {
        line << "textures: all " << drawnTextures() << " found";
        return line.str();
    }
    line << "textures: " << found() << " of " << drawnTextures() << " found; " << facesWithout() << " faces "
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
