#pragma once

#include <optional>
#include <string>

class DataRoot;
class MaterialLibrary;
struct Material;

// Finds the image file a level's texture name stands for under a data root: the name with .jpg,
// then with .tga; failing that, when a material script defines the name, the material's first
// image stage, then its editor image. A path a script writes with an extension is tried as
// written and then with the other one, since scripts often name a .tga that was saved as .jpg.
class TextureResolver {
public:
    // `materials` may be null: names then resolve to images of their own name only.
    TextureResolver(const DataRoot& root, const MaterialLibrary* materials);

    // The path under the root of the image that `textureName` shows; nothing when none exists.
    std::optional<std::string> imagePath(const std::string& textureName) const;
    // An image path with or without extension, as found under the root.
    std::optional<std::string> findImage(const std::string& path) const;
    const Material* material(const std::string& textureName) const; // null without one

    const DataRoot& dataRoot() const { return root; }

private:
    const DataRoot& root;
    const MaterialLibrary* materials;
};
