#include "render/TextureManager.h"

#include "image/DecodedImage.h"
#include "image/JPEGTexture.h"
#include "image/Overbright.h"
#include "level/LevelFormat.h"
#include "image/TGATexture.h"

#include <GL/glu.h>

#include <algorithm>
#include <iostream>

static_assert(formatRGB == GL_RGB && formatRGBA == GL_RGBA, "pixel formats are handed to GL unchanged");

const char* TextureManager::errorText(GLint code)
{
    const GLubyte* text = gluErrorString(GLenum(code));
    return text ? reinterpret_cast<const char*>(text) : "unknown error";
}

void TextureManager::switchOffLightmapUnit()
{
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glClientActiveTexture(GL_TEXTURE1);
    glDisable(GL_TEXTURE_2D);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glClientActiveTexture(GL_TEXTURE0);
    glActiveTextureARB(GL_TEXTURE0_ARB);
}

GLuint TextureManager::onePixelTexture(const unsigned char rgb[3])
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return texture;
}

void TextureManager::switchOnLightmapUnit(GLuint lightmap)
{
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glClientActiveTexture(GL_TEXTURE1);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, lightmap);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glClientActiveTexture(GL_TEXTURE0);
    glActiveTextureARB(GL_TEXTURE0_ARB);
}

void TextureManager::setSampling()
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    // Plain linear minification although mipmap levels are built: the levels go unused.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
}

GLint TextureManager::uploadToBoundTexture(const Texture& image)
{
    setSampling();
    const GLenum format = GLenum(image.getFormat());
    return gluBuild2DMipmaps(GL_TEXTURE_2D, GLint(format), GLsizei(image.getWidth()), GLsizei(image.getHeight()),
                             format, GL_UNSIGNED_BYTE, image.getData());
}

namespace {
bool sidesArePowersOfTwo(const Texture& image)
{
    const auto powerOfTwo = [](uint32_t side) { return side != 0 && (side & (side - 1)) == 0; };
    return powerOfTwo(image.getWidth()) && powerOfTwo(image.getHeight());
}
} // namespace

void TextureManager::prepareShownLevel(DecodedImage& image)
{
    if (sidesArePowersOfTwo(image))
        image.addOpaqueAlpha();
}

GLint TextureManager::uploadShownLevelToBoundTexture(const Texture& image)
{
    if (!sidesArePowersOfTwo(image))
        return uploadToBoundTexture(image);
    setSampling();
    const GLenum format = GLenum(image.getFormat());
    // The builder's level 0 of such an image is the image as it is.
    glTexImage2D(GL_TEXTURE_2D, 0, GLint(format), GLsizei(image.getWidth()), GLsizei(image.getHeight()), 0, format,
                 GL_UNSIGNED_BYTE, image.getData());
    return 0;
}

TextureManager::TextureManager(unsigned textureCount, unsigned lightmapCount)
    : textureCount(textureCount), lightmapCount(lightmapCount), textureIds(textureCount), lightmapIds(lightmapCount),
      ownedTextureNames(GLsizei(textureCount))
{
    textures.reserve(textureCount);
    imageShown.reserve(textureCount);
    textureKinds.reserve(textureCount);
    glGenTextures(GLsizei(textureCount), textureIds.data());
    glGenTextures(GLsizei(lightmapCount), lightmapIds.data());
}

TextureManager::TextureManager(std::vector<GLuint> shown, unsigned lightmapCount)
    : textureCount(unsigned(shown.size())),
      lightmapCount(lightmapCount),
      textureIds(std::move(shown)),
      lightmapIds(lightmapCount)
{
    imageShown.reserve(textureIds.size());
    for (const GLuint texture : textureIds)
        imageShown.push_back(texture != 0);
    glGenTextures(GLsizei(lightmapCount), lightmapIds.data());
}

TextureManager::~TextureManager()
{
    glDeleteTextures(ownedTextureNames, textureIds.data());
    glDeleteTextures(GLsizei(lightmapCount), lightmapIds.data());
}

bool TextureManager::hasNameLeft(const char* name) const
{
    if (textures.size() < textureCount)
        return true;
    std::cerr << name << ": no texture name left, all " << textureCount << " are in use" << std::endl;
    return false;
}

void TextureManager::createTexture(const char* prefix, const char* name)
{
    if (!hasNameLeft(name))
        return;
    auto jpeg = std::make_unique<JPEGTexture>(prefix, name);
    if (jpeg->isLoaded()) {
        keep(std::move(jpeg), kindJPEG);
        return;
    }
    jpeg.reset();
    keep(std::make_unique<TGATexture>(prefix, name), kindTGA);
}

template <class Reader>
void TextureManager::keep(std::unique_ptr<Reader> reader, int kind)
{
    if (reader->isLoaded()) {
        upload(*reader, unsigned(textures.size()));
        reader->releasePixels(); // GL holds its own copy now
    }
    imageShown.push_back(reader->isLoaded());
    textures.push_back(std::move(reader));
    textureKinds.push_back(kind);
}

void TextureManager::upload(const Texture& texture, unsigned index) const
{
    std::cerr << "texture Number " << index;
    glBindTexture(GL_TEXTURE_2D, textureIds[index]);
    const GLint result = uploadToBoundTexture(texture);
    if (result == 0)
        std::cerr << "Texture Created " << std::endl;
    else
        std::cerr << "Error Creating Texture: " << errorText(result) << std::endl;
}

void TextureManager::uploadLightmaps(const unsigned char* pages, std::size_t size, const Overbright& light)
{
    constexpr int side = LevelFormat::lightmapSide;
    constexpr std::size_t pageBytes = LevelFormat::lightmapRecordSize;
    constexpr std::size_t texels = std::size_t(side) * side;
    std::vector<unsigned char> page(texels * 3);
    const unsigned count = unsigned(std::min<std::size_t>(lightmapCount, size / pageBytes));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (unsigned i = 0; i < count; ++i) {
        light.brightenPacked(pages + i * pageBytes, page.data(), texels);
        glBindTexture(GL_TEXTURE_2D, lightmapIds[i]);
        // Lightmaps are sampled near their texels only: no mipmaps, and faces packed side by side
        // must not bleed through the page's edge.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        // Three bytes a texel as stored: widening them to four here costs more than the driver's
        // conversion saves.
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, side, side, 0, GL_RGB, GL_UNSIGNED_BYTE, page.data());
    }
    lightmapsUploaded = count;
}

// An entry's image is known as it is created, so the answer holds whoever made the entry.
bool TextureManager::isTextureLoaded(int index) const
{
    return index >= 0 && std::size_t(index) < imageShown.size() && imageShown[std::size_t(index)];
}

void TextureManager::bindTexture(int index, GLsizei stride, const GLvoid* texCoords) const
{
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glClientActiveTexture(GL_TEXTURE0);
    // Texturing and the coordinate array stay on; the renderer switches them off per frame.
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureIds[index]);
    glTexCoordPointer(2, GL_FLOAT, stride, texCoords);
}
