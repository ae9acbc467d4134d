#pragma once

#include <GL/glew.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <unordered_map>
#include <vector>

class TextureResolver;
class DecodedImage;
class ImageReadAhead;

// The images of a data root on the GPU, each decoded once and shared by everything that shows
// it: texture records, the sides of a far box, and later a material's stage images. Bounded:
// an image with a side over the limit (or GL_MAX_TEXTURE_SIZE) is shown downscaled, said in one
// line naming it, and once the images together would pass the texture budget, an image that
// does not fit is not uploaded and is drawn grey like a missing one (one line, the first time).
// Images may be read and decoded on other threads ahead of the calls that upload them
// (readAhead); what those calls give and say stays the same, said when each is made.
class ImageCache {
public:
    struct Limits {
        uint32_t maxSide = 4096;                      // texels, on the longer side
        std::size_t budgetBytes = std::size_t(1) << 30; // GPU bytes of all images, mipmaps included
    };
    enum class Wrap { repeat, clampToEdge };
    enum class Filter { mipmapped, linear }; // linear: a material's nomipmaps

    // Needs a current GL context. Lines go to `log`; `resolver` (which decodes, and so decides
    // what is found) outlives the cache.
    ImageCache(const TextureResolver& resolver, Limits limits, std::ostream& log);
    ~ImageCache(); // deletes every texture it made
    ImageCache(const ImageCache&) = delete;
    ImageCache& operator=(const ImageCache&) = delete;

    // The GL texture showing the image at `path` (a path under the root, with its extension) with
    // the given wrapping; 0 when it cannot be read or decoded (one line naming it) or is past the
    // budget. The same path (in any case), wrapping and filter give the same texture.
    GLuint texture(const std::string& path, Wrap wrap = Wrap::repeat, Filter filter = Filter::mipmapped);
    // The image at `path` decoded within the side limit, for a caller that uploads it itself;
    // null, with the same lines, when it cannot be read or decoded.
    std::unique_ptr<DecodedImage> decode(const std::string& path);

    // From now until endReadAhead, the images at `paths` are read and decoded on other threads
    // (ImageReadAhead) in this order, which should be the order texture and decode will first
    // need each (a path needed twice, listed twice); what they need out of it is read then.
    // The data root is not used on the other threads but by ImageReadAhead's rules.
    void readAhead(const std::vector<std::string>& paths);
    void endReadAhead(); // what was not needed is let go

    std::size_t bytesUsed() const { return used; }
    uint32_t maxSide() const { return sideLimit; }

private:
    GLuint upload(const std::string& path, Wrap wrap, Filter filter);
    static std::size_t gpuBytes(const DecodedImage& image);

    const TextureResolver& resolver;
    std::ostream& log;
    uint32_t sideLimit;
    std::size_t budget;
    std::size_t used = 0;
    bool budgetSpent = false; // its line is printed once
    std::unordered_map<std::string, GLuint> textures; // by wrap and filter letters + lower-case path; 0 for none
    std::unique_ptr<ImageReadAhead> ahead;            // while reading ahead
};
