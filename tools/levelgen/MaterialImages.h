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

// A pool's two layers, RGB: deep blue-green with lighter swells, and sparse pale highlights on
// black (added, the black adds nothing).
enum class WaterLayer { Deep, Highlights };
Image generateWater(WaterLayer layer);

// Orange-red melt with dark crust, RGB.
Image generateLava();

// A steel plate with a frame, RGB, and the glow added over it: a magenta ring and cross on black.
Image generatePulsePanel();
Image generatePulseGlow();

// What chrome reflects, RGB: pale sky over the top half, a dark horizon band, brown ground below.
Image generateChrome();

// A flame on black, RGB: a yellow core inside an orange tongue.
Image generateFlame();

// The cloud sky's two layers, RGB: blue sky with soft white clouds, and thin wisps on black.
enum class CloudLayer { Sky, Wisps };
Image generateClouds(CloudLayer layer);

// Grey-green bands, RGB: the fog's picture for editors; the viewer never draws it.
Image generateFogEditorImage();

// The animated sign's frames, RGB: frame i (0 to signFrames - 1) has its own background colour
// and i + 1 white bars, so any two frames differ everywhere a test might look.
constexpr int signFrames = 4;
Image generateSign(int frame);

// The far box around the sky, one picture per side. Each side has its own tint; the four
// around the horizon grow lighter towards their bottom row, the horizon.
enum class SkySide { Right, Left, Back, Front, Up, Down, Count };
constexpr const char* skySideSuffixes[static_cast<int>(SkySide::Count)] = {"_rt", "_lf", "_bk", "_ft", "_up", "_dn"};

Image generateSkySide(SkySide side);

// The near box's four sides around the horizon, RGBA: dark hills rising from the horizon (the
// middle row) to a ridge that runs on unbroken from one side to the next; opaque below the
// ridge, alpha 0 above it. The near box has no up or down side.
Image generateHills(SkySide side);
