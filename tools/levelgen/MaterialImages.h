#pragma once

#include "Image.h"

// The pictures that the material script names, each made to be told apart at a glance so
// that a test of the viewer can see which one it drew.

// Iron bars on transparent holes, RGBA: alpha is exactly 255 on the bars and 0 in the holes.
Image generateGrate();

// Glowing cyan lines on black, RGB: added to what lies behind, the black adds nothing.
Image generatePanel();

// Loud magenta, RGB: a surface that must never be seen.
Image generateNodraw();

// The catalogue's bricks turned blue-grey, RGB: the picture of the material-only wall.
Image generateBricksVariant();

// A yellow and black checkerboard, RGB: shown only by editors, never by the viewer.
Image generateEditorImage();

// The far box around the sky, one picture per side. Each side has its own tint; the four
// around the horizon grow lighter towards their bottom row, the horizon.
enum class SkySide { Right, Left, Back, Front, Up, Down, Count };
constexpr const char* skySideSuffixes[static_cast<int>(SkySide::Count)] = {"_rt", "_lf", "_bk", "_ft", "_up", "_dn"};

Image generateSkySide(SkySide side);
