#pragma once

#include <stdexcept>
#include <string>

// The one error a level file can raise: its message names the file, the lump, the record
// and the field, with the offending number and the limit it broke.
class LevelFormatError : public std::runtime_error {
public:
    explicit LevelFormatError(const std::string& message) : std::runtime_error(message) {}
};
