#pragma once

#include <cstddef>
#include <cstdint>

// The bodies of the fuzz targets. Each takes any bytes, must survive them without a crash, a
// sanitizer report, a leak or a hang, and returns 0. The libFuzzer entry points call them, and
// so does the seed replay in the test suite, so both run exactly the same code.
namespace fuzztargets {

// Console output of the readers is muted while a target runs.

// The whole level parse and validation, patches included, without GL or textures.
int level(const uint8_t* data, std::size_t size);

// A parsed level's eye-leaf search and visible-face gathering. The input is a
// visibilityPrefixSize-byte view (eye x, y, z as floats, heading and pitch in degrees as
// 16-bit integers, a flags byte, padding), then the level file.
constexpr std::size_t visibilityPrefixSize = 20;
int visibility(const uint8_t* data, std::size_t size);

// A world built from a parsed level and walked for worldSteps frames: the input is a
// worldPrefixSize-byte script (a seed for each frame's keys and seconds, then the heading walking
// starts with), then the level file. Walking starts at the first player start or the level box's
// middle. Every position stays finite, and a player whose box is clear at the start of a frame
// ends it clear unless a teleport or a moving mover put it there.
constexpr std::size_t worldPrefixSize = 16;
constexpr int worldSteps = 200;
int world(const uint8_t* data, std::size_t size);

// The TGA reader.
int tga(const uint8_t* data, std::size_t size);

// The JPEG reader, with the pixel limit lowered to jpegPixelLimit: a few header bytes can
// declare a frame that libjpeg would fill in from nothing, which is slow, not wrong.
constexpr uint64_t jpegPixelLimit = uint64_t(1) << 18;
// The longest side the image targets also decode within, so the reduced paths are exercised.
constexpr uint32_t smallSide = 16;
int jpeg(const uint8_t* data, std::size_t size);

// The entity text reader, the player start search and the world message. Whatever the
// reader keeps must read back the same when written out again.
int entities(const uint8_t* data, std::size_t size);

// The material script reader and a library of what it read. Whatever the reader keeps must
// read back the same when written out again.
int materials(const uint8_t* data, std::size_t size);

// The configuration, lights and players readers: the input is the configuration text, a NUL,
// the lights text, a NUL, and the players text that every "players" entry reads.
int config(const uint8_t* data, std::size_t size);

// The zip archive reader on an archive in memory: the index, then every indexed entry read,
// each entry held to archiveEntryLimit bytes so a megabyte of input cannot inflate past the
// fuzzer's memory limit.
constexpr uint64_t archiveEntryLimit = uint64_t(4) << 20;
int archive(const uint8_t* data, std::size_t size);

} // namespace fuzztargets
