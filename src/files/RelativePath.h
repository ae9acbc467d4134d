#pragma once

#include <cstddef>
#include <string>

// File names relative to the data root, as archives and level files spell them: checked, then
// brought to one spelling (forward slashes, no empty or "." components). A name that could
// reach outside the root (absolute, a drive letter, a ".." component) is refused, never
// repaired, so that a hostile archive cannot name a file elsewhere on the disk.
struct RelativePath {
    static constexpr std::size_t maxLength = 1024; // bytes, as stored

    // Why `name` cannot name a file under the root, as words that follow "name" in a message
    // ("escapes the data root"), or "" when it can.
    static std::string problem(const std::string& name);

    // The one spelling of a name that problem() accepts.
    static std::string normalized(const std::string& name);

    // ASCII letters only: names are bytes in any encoding, and a UTF-8 name must stay valid.
    static std::string lowerCase(std::string name);

    // A name as it may appear in a one-line message: control characters and bytes that are not
    // well-formed UTF-8 become '?', and a name over `characters` is cut there and ends in "...",
    // so a hostile name can neither break the line, nor steer the terminal, nor flood the log.
    static std::string printable(const std::string& name, std::size_t characters = 80);
};
