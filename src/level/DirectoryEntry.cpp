#include "level/DirectoryEntry.h"

#include "level/LevelBytes.h"

DirectoryEntry::DirectoryEntry(const unsigned char* record)
    : offset(LevelBytes::readInt32(record)), length(LevelBytes::readInt32(record + 4))
{
}
