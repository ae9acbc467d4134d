#pragma once

#include "DataFile.h"
#include "Image.h"

#include <string>
#include <vector>

// The procedural textures a plan may name, each 256 x 256 and seamless when repeated.
// Most are stored as JPEG; "metal", "wood" and "foliage" only as TGA, so that levels
// exercise the viewer's TGA texture-coordinate rule.
enum class ImageFormat { Jpeg, Tga };

constexpr int textureSide = 256;
constexpr const char* textureDirectory = "textures/verdanth/"; // under the data directory
constexpr const char* skyTextureName = "textures/skies/intelredclouds";

bool isCatalogueTexture(const std::string& name);
ImageFormat catalogueFormat(const std::string& name); // name must be in the catalogue
std::vector<std::string> catalogueNames();

Image generateTexture(const std::string& name); // name must be in the catalogue
Image generateSky();                            // red-tinged evening clouds, RGB

// Texture `name` encoded as the file textureDirectory + name + ".jpg" or ".tga".
DataFile catalogueTextureFile(const std::string& name);
DataFile skyFile(); // skyTextureName + ".jpg"

// A plan's own images (its "images N"), each a catalogue texture shifted and tinted into one
// of its own: image k is named planImageName(k), stored as JPEG for even k and TGA for odd.
std::string planImageName(int index); // textureDirectory + "images/" and three or more digits
std::vector<DataFile> planImageFiles(int count);
