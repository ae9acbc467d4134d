#pragma once

#include "render/Lightmap.h"
#include "image/Texture.h"

#include <GL/glew.h>

#include <cstdint>
#include <cstddef>
#include <memory>
#include <vector>

// Turns the level's texture list into GL textures, one per entry in entry order, so a face's
// texture index is directly its GL texture. A configuration file's level has a GL texture of its
// own per entry, each image tried as JPEG, then TGA. A level whose images come from a data root
// has entries that show textures made elsewhere (ImageCache), shared by every entry showing the
// same image, and no GL name at all for an entry without one. Lightmap names are reserved for
// every lightmap page; the designed frame fills them (uploadLightmaps) and draws them on texture
// unit 1, the original frame never does.
class DecodedImage;
class Overbright;

class TextureManager {
public:
    // Needs a current GL context: generates both name arrays.
    TextureManager(unsigned textureCount, unsigned lightmapCount);
    // Entry i shows GL texture shown[i] (0: no image), owned by whoever made it, which outlives
    // the manager; no entry has a reader of its own (textures and textureKinds stay empty).
    // Generates the lightmap names only.
    TextureManager(std::vector<GLuint> shown, unsigned lightmapCount);
    virtual ~TextureManager();
    TextureManager(const TextureManager&) = delete;
    TextureManager& operator=(const TextureManager&) = delete;

    // Loads and uploads the next entry; prints the path lines and the result.
    void createTexture(const char* prefix, const char* name);

    // Fills the reserved lightmap names with the lump's 128 x 128 RGB pages, brought up from the
    // range they are stored at by `light`; the designed frame draws them on texture unit 1.
    void uploadLightmaps(const unsigned char* pages, std::size_t size, const Overbright& light);
    bool isLightmapLoaded(int index) const { return index >= 0 && unsigned(index) < lightmapsUploaded; }

    bool isTextureLoaded(int index) const; // false outside the list, never reads past it
    // 0 = JPEG, 1 = TGA: which reader created entry `index` (valid, and made by createTexture).
    int textureKind(int index) const { return textureKinds[std::size_t(index)]; }

    // Unit 0 texturing and its coordinate array stay enabled after the call.
    void bindTexture(int index, GLsizei stride, const GLvoid* texCoords) const;

    unsigned getTextureCount() const { return textureCount; }
    unsigned getLightmapCount() const { return lightmapCount; }
    GLuint textureId(int index) const { return textureIds[std::size_t(index)]; }
    GLuint lightmapId(int index) const { return lightmapIds[std::size_t(index)]; } // bound only by the designed frame

    // Gives the bound texture the sampling state every level texture has and builds its
    // mipmaps from `image` (its format doubles as internal format); returns the mipmap
    // builder's result, 0 on success. The sky uses it too.
    static GLint uploadToBoundTexture(const Texture& image);
    // The same picture for less: where both sides are powers of two, only the level the frame
    // samples, since that sampling state samples no other; the mipmap builder's rescaling of
    // other sides is what the frame shows of them, so those go through it as before.
    static GLint uploadShownLevelToBoundTexture(const Texture& image);
    // Before that upload, on any thread: an image it uploads as it is gets an opaque alpha. GL
    // keeps four bytes a texel either way, and copies texels already laid out so several times
    // faster than it converts three-byte ones.
    static void prepareShownLevel(DecodedImage& image);
    static const char* errorText(GLint code); // gluErrorString, never null
    // A new texture of one texel of colour `rgb`, sampled nearest; the caller owns it. Leaves it bound.
    static GLuint onePixelTexture(const unsigned char rgb[3]);
    // Texture unit 1 (the lightmaps') off: texturing and its coordinate array. Leaves unit 0
    // the active and the client-active unit.
    static void switchOffLightmapUnit();
    // Texture unit 1 on with `lightmap` bound, modulating, its coordinate array enabled; leaves
    // unit 0 the active and the client-active unit. Unit 1 is switched nowhere else.
    static void switchOnLightmapUnit(GLuint lightmap);

    static constexpr int kindJPEG = 0;
    static constexpr int kindTGA = 1;

private:
    static void setSampling();
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
    std::vector<GLuint> textureIds;
    std::vector<GLuint> lightmapIds;
    unsigned lightmapsUploaded = 0;
    std::vector<bool> imageShown;    // by entry: its GL texture holds an image
    GLsizei ownedTextureNames = 0;   // textureCount, or 0 where the entries show shared textures
};
