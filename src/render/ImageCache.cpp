#include "render/ImageCache.h"

#include "level/TextureResolver.h"
#include "files/RelativePath.h"
#include "image/DecodedImage.h"
#include "render/ImageReadAhead.h"
#include "render/TextureManager.h"

#include <algorithm>

namespace {
constexpr double mebibyte = 1024.0 * 1024.0;
} // namespace

ImageCache::ImageCache(const TextureResolver& resolver, Limits limits, std::ostream& log)
    : resolver(resolver), log(log), sideLimit(limits.maxSide), budget(limits.budgetBytes)
{
    GLint glLimit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &glLimit);
    if (glLimit > 0)
        sideLimit = std::min(sideLimit, uint32_t(glLimit));
}

ImageCache::~ImageCache()
{
    ahead.reset();
    for (const auto& [key, texture] : textures)
        if (texture != 0)
            glDeleteTextures(1, &texture);
}

GLuint ImageCache::texture(const std::string& path, Wrap wrap, Filter filter)
{
    // The data root matches names in any case, so one image may be named in several.
    const std::string key = std::string(wrap == Wrap::repeat ? "r" : "c") + (filter == Filter::mipmapped ? "m" : "l")
                          + RelativePath::lowerCase(path);
    if (const auto found = textures.find(key); found != textures.end())
        return found->second;
    const GLuint made = upload(path, wrap, filter);
    textures.emplace(key, made);
    return made;
}

std::unique_ptr<DecodedImage> ImageCache::decode(const std::string& path)
{
    std::optional<std::unique_ptr<DecodedImage>> readAlready = ahead ? ahead->take(path, log) : std::nullopt;
    std::unique_ptr<DecodedImage> image =
        readAlready ? std::move(*readAlready) : resolver.decodeImage(path, log, sideLimit);
    if (image && image->wasReduced())
        log << path << ": " << image->storedWidth() << " x " << image->storedHeight() << " is larger than "
            << sideLimit << " on a side; shown at " << image->getWidth() << " x " << image->getHeight() << std::endl;
    return image;
}

void ImageCache::readAhead(const std::vector<std::string>& paths)
{
    ahead.reset(); // before the next one plans
    ahead = std::make_unique<ImageReadAhead>(resolver.dataRoot(), sideLimit, paths);
}

void ImageCache::endReadAhead() { ahead.reset(); }

// RGBA texels (what the driver keeps even for RGB) and a third more for the mipmap levels,
// counted whether or not they are built, so that the budget holds the images it always held.
std::size_t ImageCache::gpuBytes(const DecodedImage& image)
{
    return std::size_t(image.getWidth()) * image.getHeight() * 4 * 4 / 3;
}

GLuint ImageCache::upload(const std::string& path, Wrap wrap, Filter filter)
{
    const std::unique_ptr<DecodedImage> image = decode(path);
    if (!image)
        return 0;
    TextureManager::prepareShownLevel(*image); // read ahead, it is already
    const std::size_t bytes = gpuBytes(*image);
    if (used + bytes > budget) {
        if (!budgetSpent)
            log << path << ": past the texture budget of " << double(budget) / mebibyte
                << " MiB, drawn grey like every image past it" << std::endl;
        budgetSpent = true;
        return 0;
    }
    used += bytes;
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    if (const GLint result = TextureManager::uploadShownLevelToBoundTexture(*image); result != 0)
        log << path << ": " << TextureManager::errorText(result) << std::endl;
    if (wrap == Wrap::clampToEdge) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
    if (filter == Filter::linear)
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    return texture;
}
