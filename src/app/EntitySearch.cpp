#include "app/EntitySearch.h"

#include "inspection/EntityFinder.h"

void EntitySearch::open(const std::vector<Entity>& entities)
{
    opened = true;
    refind(entities);
}

void EntitySearch::type(char character, const std::vector<Entity>& entities)
{
    if (text.size() >= maxText)
        return;
    text += character;
    current = 0;
    refind(entities);
}

void EntitySearch::eraseLast(const std::vector<Entity>& entities)
{
    if (text.empty())
        return;
    text.pop_back();
    current = 0;
    refind(entities);
}

std::optional<std::size_t> EntitySearch::step(bool forward, const std::vector<Entity>& entities)
{
    if (found.empty())
        return std::nullopt;
    if (forward)
        current = current % found.size() + 1;
    else
        current = current <= 1 ? found.size() : current - 1;
    notVisited.clear();
    compose(entities);
    return found[current - 1];
}

void EntitySearch::visited(const std::string& why, const std::vector<Entity>& entities)
{
    notVisited = why;
    compose(entities);
}

void EntitySearch::levelReplaced(const std::vector<Entity>& entities) { refind(entities); }

void EntitySearch::refind(const std::vector<Entity>& entities)
{
    EntityFinder::find(entities, text, found);
    if (current > found.size())
        current = 0;
    notVisited.clear();
    compose(entities);
}

void EntitySearch::compose(const std::vector<Entity>& entities)
{
    std::string line = "find: " + text + "  ";
    if (found.empty()) {
        line += "no match";
    } else if (current == 0) {
        line += std::to_string(found.size()) + (found.size() == 1 ? " match" : " matches");
    } else {
        const std::size_t index = found[current - 1];
        const Entity& entity = entities[index];
        const std::string* classname = entity.value("classname");
        const std::string* name = entity.value("targetname");
        line += std::to_string(current) + " of " + std::to_string(found.size()) + "  "
              + (classname != nullptr ? *classname : std::string("(no class)"))
              + (name != nullptr ? " " + *name : std::string()) + ", entity " + std::to_string(index);
    }
    shown.assign(1, line);
    if (!notVisited.empty())
        shown.push_back("not visited: " + notVisited);
}
