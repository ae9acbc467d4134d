#include "level/Effect.h"

#include "level/LevelBytes.h"

#include <cstring>

Effect::Effect(const unsigned char* record)
    : brush(LevelBytes::readInt32(record + LevelFormat::effectNameSize)),
      visibleSide(LevelBytes::readInt32(record + LevelFormat::effectNameSize + 4))
{
    // A name that fills all 64 bytes has no NUL of its own; it ends at the field.
    const char* name = reinterpret_cast<const char*>(record);
    const void* nul = std::memchr(name, '\0', LevelFormat::effectNameSize);
    material.assign(name, nul ? std::size_t(static_cast<const char*>(nul) - name) : std::size_t(LevelFormat::effectNameSize));
}
