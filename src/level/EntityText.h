#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The entity lump's text: blocks `{ "key" "value" ... }` of double-quoted strings without
// escapes. A string ends on its own line (a line break inside one leaves it unterminated), `//`
// comments run to the end of a line, and the text ends at the end of the lump or its first NUL.
// Parsing is tolerant: where the text breaks the grammar it stops, keeps the entities completed
// before that point and says why in one problem string. It never throws and runs in one pass.

struct Entity {
    std::vector<std::pair<std::string, std::string>> fields; // key, value in file order

    // The value of the first field whose key is exactly `key`; null when there is none.
    const std::string* value(const std::string& key) const;
    // Whether the classname value is `classname`, ignoring ASCII case.
    bool hasClass(std::string_view classname) const;
    // The value of `key` read as exactly `count` finite numbers separated by white space (an
    // origin, an angle); false, with `values` unspecified, when it is absent or reads otherwise.
    bool numbers(const std::string& key, float* values, std::size_t count) const;
    // N when the "model" key names inline model N ("*N", decimal digits only), else none.
    std::optional<std::size_t> inlineModel() const;
};

struct EntityList {
    std::vector<Entity> entities; // those completed before any problem, in file order
    std::string problem;          // "entities: line N: ..."; empty when the whole text was read
};

// A place a player enters the level, or the view shown between rounds. The kinds in the order
// level mode prefers to open at.
struct PlayerStart {
    enum class Kind { deathmatch, ordinary, team, intermission };

    float origin[3];            // file coordinates, Z up: the player's feet, or the intermission's eye
    float angle;                // heading in degrees about Z; 0 when absent or not a number
    Kind kind = Kind::ordinary;
    std::string team;           // Kind::team: the colour its class names ("red"), or "" when none

    // What the status line calls it: "deathmatch", "ordinary", "team red" ("team" without a
    // colour), "intermission".
    std::string name() const;
};

class EntityText {
public:
    static constexpr std::size_t maxEntities = 65536;
    static constexpr std::size_t maxFields = 1024; // per entity

    static EntityList parse(std::string_view text);
    // How many texts parse has read since the program started: a load parses its level's once.
    static std::size_t parseCount();
};

// Whether the entity's class is one playerStarts reads: info_player_start,
// info_player_deathmatch, info_player_intermission, or a team's spawn (a class starting "team_"
// that holds "spawn" or "player", its colour the last word without them: team_X_redspawn).
bool isPlayerStartClass(const Entity& entity);

// Every player start with a readable origin, in entity order. An origin is exactly three finite
// numbers separated by white space. The heading is "angle", else the second of "angles" (pitch,
// yaw, roll), else 0.
std::vector<PlayerStart> playerStarts(const std::vector<Entity>& entities);

// The start level mode opens at: the first of the most preferred kind with a readable origin
// (a deathmatch start, else an ordinary one, else a team's spawn, else an intermission view).
std::optional<PlayerStart> findPlayerStart(const std::vector<Entity>& entities);


// The message of the first worldspawn entity (the level's title); null when it has none.
const std::string* worldMessage(const std::vector<Entity>& entities);
