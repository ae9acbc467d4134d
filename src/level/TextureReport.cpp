#include "level/TextureReport.h"

#include "level/MaterialLibrary.h"
#include "level/SurfaceStyle.h"

#include <sstream>

TextureReport TextureReport::of(const LevelData& level, const std::vector<bool>& hasImage,
                                const MaterialLibrary* materials)
{
    TextureReport report;
    report.textures.reserve(level.textureNames.size());
    for (std::size_t i = 0; i < level.textureNames.size(); ++i) {
        const std::string& name = level.textureNames[i];
        const Material* material = materials == nullptr ? nullptr : materials->find(name);
        const bool shown = SurfaceStyle::of(level.textureFlags[i], material).drawn;
        report.textures.push_back({name, i < hasImage.size() && hasImage[i], shown, 0});
    }
    for (const Face& face : level.faces) {
        if (face.isDrawnType())
            ++report.textures[std::size_t(face.texture)].faces; // checked by the loader
    }
    return report;
}

std::size_t TextureReport::needed() const
{
    std::size_t count = 0;
    for (const Entry& entry : textures)
        count += entry.needsImage() ? 1 : 0;
    return count;
}

std::size_t TextureReport::found() const
{
    std::size_t count = 0;
    for (const Entry& entry : textures)
        count += entry.needsImage() && entry.hasImage ? 1 : 0;
    return count;
}

std::size_t TextureReport::facesWithout() const
{
    std::size_t count = 0;
    for (const Entry& entry : textures)
        count += entry.facesWithout();
    return count;
}

std::vector<const TextureReport::Entry*> TextureReport::missing() const
{
    std::vector<const Entry*> result;
    for (const Entry& entry : textures)
        if (entry.missing())
            result.push_back(&entry);
    return result;
}

std::string TextureReport::summaryLine(const std::string& consequence, std::size_t named) const
{
    std::ostringstream line;
    const std::vector<const Entry*> absent = missing();
    if (absent.empty()) {
        line << "textures: all " << needed() << " found";
        return line.str();
    }
    line << "textures: " << found() << " of " << needed() << " found; " << facesWithout() << " faces "
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
