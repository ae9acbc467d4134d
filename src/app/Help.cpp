#include "app/Help.h"

#include "config/CommandLine.h"

#include <algorithm>
#include <vector>

namespace {

struct Entry {
    std::string name;        // "--at X Y Z", "j / J"
    std::string description; // one line
};

// Level mode's keys; the heading says what configuration mode does instead.
const std::vector<Entry>& keyHelp()
{
    static const std::vector<Entry> keys = {
        {"w / s", "forward / backward (flying: along the view)"},
        {"a / d", "strafe left / right"},
        {"left / right arrow", "turn left / right, 90 degrees a second"},
        {"up / down arrow", "look up / down, 90 degrees a second (also e / r)"},
        {"Space / x", "jump / crouch walking, up / down flying or swimming (also = / -)"},
        {"g", "walk as a player (gravity, collision, pads, teleporters) / fly"},
        {"Shift", "held, flies three times as fast"},
        {"[ / ]", "halve / double the flying speed, 25 to 6400 units a second (also the mouse wheel)"},
        {"mouse", "look, --mouse degrees per pixel, while the pointer is held"},
        {"mouse button", "the first click holds the pointer; after it the left button fires"},
        {"Tab", "let the pointer go"},
        {"f", "fire"},
        {"c", "print the view on standard output as --at X Y Z --angle A --pitch P"},
        {"i", "tell what is ahead: the face at the centre and the nearest entity seen near it, until the view moves"},
        {"/", "find an entity: the line names those whose keys or values hold what is typed; Enter or down arrow"
              " goes to the next, up arrow to the previous"},
        {"F5", "open the level again from its files (done by itself when they change)"},
        {"j / J", "jump to the next / previous player start, team spawn or intermission view"},
        {"n", "pickups (at first), then every point entity's marker, a colour per family, the one ahead named, then none"},
        {"k", "the tool view: clip, trigger, liquid and fog volumes, translucent, a colour per kind, the legend on"
              " the status line"},
        {"t", "textures on / off"},
        {"l", "lighting on / off"},
        {"v", "frustum culling on / off"},
        {"b", "curved surfaces: control grid / tessellated"},
        {"< / >", "tessellation level down / up (2 to 20)"},
        {"m", "lightmaps on / off"},
        {"h", "hide / show the gun and the status line"},
        {"p", "write the frame as a PNG (configuration mode: with screenshots = 1)"},
        {"Escape", "close the search line, else quit"},
    };
    return keys;
}

std::vector<Entry> optionEntries()
{
    std::vector<Entry> entries;
    for (const OptionHelp& option : optionHelp())
        entries.push_back({option.name + (option.value.empty() ? "" : " ") + option.value, option.description});
    return entries;
}

// Names in one column, two spaces wider than the widest of both lists, so options and keys line up.
std::string table(const std::vector<Entry>& entries, std::size_t column)
{
    std::string text;
    for (const Entry& entry : entries)
        text += "  " + entry.name + std::string(column - entry.name.size(), ' ') + entry.description + "\n";
    return text;
}

} // namespace

std::string helpText()
{
    const std::vector<Entry> options = optionEntries();
    std::size_t column = 0;
    for (const std::vector<Entry>* list : {&options, &keyHelp()})
        for (const Entry& entry : *list)
            column = std::max(column, entry.name.size() + 2);
    return std::string("Verdanth flies through game levels in the IBSP version 46 format.\n"
                       "A level file, an archive holding one level, or a level's name under --data DIR, opens in\n"
                       "level mode, the level as its makers built it; a configuration file opens configuration\n"
                       "mode and its shooting game.\n"
                       "\n")
         + usageForms() + "\noptions:\n" + table(options, column)
         + "\nkeys (level mode; configuration mode moves one step a press, turns and looks by a few degrees,\n"
           "looks with the free pointer at a degree a pixel, and has no Shift, [, ], wheel, Tab, c, j, h, k or /):\n"
         + table(keyHelp(), column) + "\nThe manual page (man verdanth) describes the configuration file and the messages.\n";
}
