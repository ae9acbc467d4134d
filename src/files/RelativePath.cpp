#include "files/RelativePath.h"

#include <vector>

namespace {

constexpr std::size_t printedLength = 120; // bytes of a name shown in a message

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

std::string RelativePath::printable(const std::string& name)
{
    std::string shown = name.substr(0, printedLength);
    for (char& c : shown)
        if ((unsigned char)c < 0x20 || c == 0x7f)
            c = '?';
    if (name.size() > printedLength)
        shown += "...";
    return shown;
}
