#include "level/TextureResolver.h"

#include "files/DataRoot.h"
#include "files/RelativePath.h"
#include "image/DecodedImage.h"
#include "level/Material.h"
#include "level/MaterialLibrary.h"

namespace {
constexpr const char* imageExtensions[] = {".jpg", ".tga"};

// The path without a trailing image extension (in any case), or as it is.
std::string withoutImageExtension(const std::string& path)
{
    if (path.size() < 4)
        return path;
    const std::string tail = RelativePath::lowerCase(path.substr(path.size() - 4));
    return tail == ".jpg" || tail == ".tga" ? path.substr(0, path.size() - 4) : path;
}
} // namespace

TextureResolver::TextureResolver(const DataRoot& root, const MaterialLibrary* materials)
    : root(root), materials(materials)
{
}

std::optional<std::string> TextureResolver::findImage(const std::string& path) const
{
    if (path != withoutImageExtension(path) && root.contains(path))
        return path;
    const std::string stem = withoutImageExtension(path);
    for (const char* extension : imageExtensions)
        if (root.contains(stem + extension))
            return stem + extension;
    return std::nullopt;
}

const Material* TextureResolver::material(const std::string& textureName) const
{
    return materials == nullptr ? nullptr : materials->find(textureName);
}

std::optional<std::string> TextureResolver::imagePath(const std::string& textureName) const
{
    for (const char* extension : imageExtensions)
        if (root.contains(textureName + extension))
            return textureName + extension;
    const Material* named = material(textureName);
    if (named == nullptr)
        return std::nullopt;
    if (const Material::Stage* stage = named->firstImageStage())
        if (auto found = findImage(stage->image))
            return found;
    if (!named->editorImage.empty())
        return findImage(named->editorImage);
    return std::nullopt;
}

std::unique_ptr<DecodedImage> TextureResolver::decodeImage(const std::string& path, std::ostream& log,
                                                           uint32_t maxSide) const
{
    const std::optional<std::vector<unsigned char>> bytes = root.read(path);
    if (!bytes)
        return nullptr;
    auto image = std::make_unique<DecodedImage>(*bytes, DecodedImage::typeOf(path), maxSide);
    if (image->isLoaded())
        return image;
    log << path << ": " << image->getError() << std::endl;
    return nullptr;
}
