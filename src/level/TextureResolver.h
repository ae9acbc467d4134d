#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

class DataRoot;
class DecodedImage;
class MaterialLibrary;
struct Material;

// Finds the image file a level's texture name stands for under a data root: the name with .jpg,
// then with .tga; failing that, when a material script defines the name, the material's first
// image stage, then its editor image. A path a script writes with an extension is tried as
// written and then with the other one, since scripts often name a .tga that was saved as .jpg.
// Whether a texture counts as found is decided here once, for the viewer and levelinfo alike:
// its image is found and decodeImage gives it pixels.
class TextureResolver {
public:
    // `materials` may be null: names then resolve to images of their own name only.
    TextureResolver(const DataRoot& root, const MaterialLibrary* materials);

    // The path under the root of the image that `textureName` shows; nothing when none exists.
    std::optional<std::string> imagePath(const std::string& textureName) const;
    // An image path with or without extension, as found under the root.
    std::optional<std::string> findImage(const std::string& path) const;
    const Material* material(const std::string& textureName) const; // null without one

    // The image at `path` under the root, decoded within `maxSide` (DecodedImage's reduction);
    // null when it cannot be shown: bytes the root cannot read (a damaged or encrypted archive
    // entry, an unsupported method: the root's log says so) or bytes that do not decode (one
    // line on `log` naming the path and why). The viewer's images and levelinfo's count both
    // come through here.
    std::unique_ptr<DecodedImage> decodeImage(const std::string& path, std::ostream& log,
                                              uint32_t maxSide = UINT32_MAX) const;

    const DataRoot& dataRoot() const { return root; }

private:
    const DataRoot& root;
    const MaterialLibrary* materials;
};
