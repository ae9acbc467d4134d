#pragma once

#include "render/Lightmap.h"
#include "image/DecodedImage.h"
#include "image/Texture.h"

#include <GL/glew.h>

#include <cstdint>
#include <memory>
#include <vector>

// Turns the level's texture list into GL texture objects, one per entry in entry order, so a
// face's texture index is directly its GL texture. Each image is tried as JPEG, then TGA.
// Lightmap names are reserved for every lightmap page; the designed frame fills them
// (uploadLightmaps) and draws them on texture unit 1, the original frame never does.
class TextureManager {
public:
    // Needs a current GL context: generates both name arrays.
    TextureManager(unsigned textureCount, unsigned lightmapCount);
    virtual ~TextureManager();
    TextureManager(const TextureManager&) = delete;
    TextureManager& operator=(const TextureManager&) = delete;

    // Loads and uploads the next entry; prints the path lines and the result.
    void createTexture(const char* prefix, const char* name);
    // The next entry from an image already decoded, top row first (kind JPEG: nothing is
    // flipped); null, or an image that did not decode, leaves the entry's name without an
    // image. Prints only a failure of the upload.
    void createTexture(std::unique_ptr<DecodedImage> image);

    // Fills the reserved lightmap names with the lump's 128 x 128 RGB pages, brightened from the
    // range they are stored at; the designed frame draws them on texture unit 1.
    void uploadLightmaps(const unsigned char* pages, std::size_t size);
    bool isLightmapLoaded(int index) const { return index >= 0 && unsigned(index) < lightmapsUploaded; }

    bool isTextureLoaded(int index) const; // false outside the list, never reads past it
    int textureKind(int index) const;      // 0 = JPEG, 1 = TGA; index must be valid

    // Unit 0 texturing and its coordinate array stay enabled after the call.
    void bindTexture(int index, GLsizei stride, const GLvoid* texCoords) const;

    unsigned getTextureCount() const { return textureCount; }
    unsigned getLightmapCount() const { return lightmapCount; }
    GLuint textureId(int index) const { return textureIds[index]; }
    GLuint lightmapId(int index) const { return lightmapIds[index]; } // bound only by the designed frame

    // Gives the bound texture the sampling state every level texture has and builds its
    // mipmaps from `image` (its format doubles as internal format); returns the mipmap
    // builder's result, 0 on success. The sky uses it too.
    static GLint uploadToBoundTexture(const Texture& image);
    static const char* errorText(GLint code); // gluErrorString, never null

    static constexpr int kindJPEG = 0;
    static constexpr int kindTGA = 1;

private:
    // Uploads a loaded image to the next name, drops its pixels, and records it with its kind.
    template <class Reader>
    void keep(std::unique_ptr<Reader> reader, int kind);
    void upload(const Texture& texture, unsigned index) const;
    bool hasNameLeft(const char* name) const;

    std::vector<std::unique_ptr<Texture>> textures;
    std::vector<int32_t> textureKinds;
    std::vector<Lightmap> lightmaps; // stays empty: the pages go straight to lightmapIds
    unsigned textureCount;
    unsigned lightmapCount;
    std::unique_ptr<GLuint[]> textureIds;
    std::unique_ptr<GLuint[]> lightmapIds;
    unsigned lightmapsUploaded = 0;
};
