#pragma once

#include "level/EntityText.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Level mode's search line: the text typed after '/', the entities it names (EntityFinder), in
// file order, and which of them the eye was sent to last. Its lines are made when a key changes
// them, never while a frame draws them. It outlives the level: a reload finds the same text's
// entities in the new one.
class EntitySearch {
public:
    static constexpr std::size_t maxText = 64; // characters; more are not taken

    bool isOpen() const { return opened; }
    // The text, the matches and the one stepped to are kept while closed.
    void open(const std::vector<Entity>& entities);
    void close() { opened = false; }
    // A printable character added to the text, or the last one taken back; the steps begin again.
    void type(char character, const std::vector<Entity>& entities);
    void eraseLast(const std::vector<Entity>& entities);
    // The index of the next (`forward`) or previous match, wrapping around, which becomes the
    // current one; none without matches.
    std::optional<std::size_t> step(bool forward, const std::vector<Entity>& entities);
    // What became of the current match: visited, or why it was not (one line).
    void visited(const std::string& why, const std::vector<Entity>& entities);
    // The same text over a reloaded level's entities; the current match kept where it still is.
    void levelReplaced(const std::vector<Entity>& entities);

    // "find: flag  2 of 5  team_CTF_redflag red, entity 27", then why it was not visited.
    const std::vector<std::string>& lines() const { return shown; }

private:
    void refind(const std::vector<Entity>& entities);
    void compose(const std::vector<Entity>& entities);

    bool opened = false;
    std::string text;
    std::vector<std::size_t> found; // indices of the entities the text names
    std::size_t current = 0;        // 1 + the position in `found` stepped to; 0 for none
    std::string notVisited;         // why the current match was not visited; empty when it was
    std::vector<std::string> shown;
};
