#include "files/RelativePath.h"

#include <vector>

namespace {

std::vector<std::string> components(const std::string& name)
{
    std::vector<std::string> parts(1);
    for (const char c : name) {
        if (c == '/' || c == '\\')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

bool isAbsolute(const std::string& name)
{
    if (!name.empty() && (name[0] == '/' || name[0] == '\\'))
        return true;
    const bool driveLetter = name.size() >= 2 && name[1] == ':'
        && ((name[0] >= 'a' && name[0] <= 'z') || (name[0] >= 'A' && name[0] <= 'Z'));
    return driveLetter;
}

// One character of a name: its bytes, and whether it may be shown as it is (printable ASCII, or
// well-formed UTF-8 other than the C1 controls, which some terminals obey). A byte that starts
// no well-formed character is a character of its own, not shown.
struct Character {
    std::size_t length;
    bool shown;
};

Character characterAt(const std::string& text, std::size_t at)
{
    const auto byte = [&](std::size_t offset) { return (unsigned char)text[at + offset]; };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return {1, lead >= 0x20 && lead != 0x7f};
    std::size_t length = 0; // overlong leads (0xc0, 0xc1) and those past U+10FFFF stay 0
    if (lead >= 0xc2 && lead <= 0xdf)
        length = 2;
    else if (lead >= 0xe0 && lead <= 0xef)
        length = 3;
    else if (lead >= 0xf0 && lead <= 0xf4)
        length = 4;
    if (length == 0 || at + length > text.size())
        return {1, false};
    for (std::size_t offset = 1; offset < length; ++offset)
        if ((byte(offset) & 0xc0) != 0x80)
            return {1, false};
    // Overlong forms, surrogates and code points past U+10FFFF are not well-formed either.
    const unsigned char second = byte(1);
    if ((lead == 0xe0 && second < 0xa0) || (lead == 0xed && second > 0x9f) || (lead == 0xf0 && second < 0x90)
        || (lead == 0xf4 && second > 0x8f))
        return {1, false};
    const bool c1Control = lead == 0xc2 && byte(1) < 0xa0;
    return {length, !c1Control};
}

} // namespace

std::string RelativePath::problem(const std::string& name)
{
    if (name.size() > maxLength)
        return "is longer than " + std::to_string(maxLength) + " bytes";
    // The normalized name too: "./C:/x" would otherwise become a drive path once tidied.
    if (isAbsolute(name) || isAbsolute(normalized(name)))
        return "escapes the data root";
    for (const std::string& part : components(name))
        if (part == "..")
            return "escapes the data root";
    if (normalized(name).empty())
        return "is empty";
    return "";
}

std::string RelativePath::normalized(const std::string& name)
{
    std::string joined;
    for (const std::string& part : components(name)) {
        if (part.empty() || part == ".")
            continue;
        if (!joined.empty())
            joined += '/';
        joined += part;
    }
    return joined;
}

std::string RelativePath::lowerCase(std::string name)
{
    for (char& c : name)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return name;
}

std::string RelativePath::printable(const std::string& name, std::size_t characters)
{
    std::string shown;
    std::size_t counted = 0;
    for (std::size_t at = 0; at < name.size(); ++counted) {
        if (counted == characters)
            return shown + "...";
        const Character character = characterAt(name, at);
        if (character.shown)
            shown.append(name, at, character.length);
        else
            shown += '?';
        at += character.length;
    }
    return shown;
}
