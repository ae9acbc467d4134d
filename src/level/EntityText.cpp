#include "level/EntityText.h"

#include "files/RelativePath.h"

#include <atomic>
#include <cmath>
#include <cstdlib>

namespace {

// ---- scanning ----------------------------------------------------------------------------------

enum class TokenKind { end, open, close, string, unterminated, stray };

struct Token {
    TokenKind kind = TokenKind::end;
    std::string_view text; // a string's contents without quotes, or the stray word
    std::size_t line = 1;  // where the token starts
};

bool isSpace(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Cuts the text into braces, quoted strings and stray words, skipping white space and
// comments. Every byte is looked at once.
class Scanner {
public:
    explicit Scanner(std::string_view text) : text(text.substr(0, text.find('\0'))) {}

    Token next()
    {
        skipSpaceAndComments();
        Token token;
        token.line = line;
        if (at == text.size())
            return token;
        const char c = text[at];
        if (c == '{' || c == '}') {
            token.kind = c == '{' ? TokenKind::open : TokenKind::close;
            ++at;
        } else if (c == '"') {
            // A string may not span lines, so a missing quote is caught on the line it is missing.
            const std::size_t close = text.find_first_of("\"\n", at + 1);
            if (close == std::string_view::npos || text[close] == '\n') {
                token.kind = TokenKind::unterminated;
                at = text.size();
            } else {
                token.kind = TokenKind::string;
                token.text = text.substr(at + 1, close - at - 1);
                at = close + 1;
            }
        } else {
            const std::size_t start = at;
            while (at < text.size() && !isSpace(text[at]) && text[at] != '"' && text[at] != '{' && text[at] != '}')
                ++at;
            token.kind = TokenKind::stray;
            token.text = text.substr(start, at - start);
        }
        return token;
    }

private:
    void skipSpaceAndComments()
    {
        while (at < text.size()) {
            if (text[at] == '\n') {
                ++line;
                ++at;
            } else if (isSpace(text[at])) {
                ++at;
            } else if (text.compare(at, 2, "//") == 0) {
                const std::size_t lineEnd = text.find('\n', at);
                at = lineEnd == std::string_view::npos ? text.size() : lineEnd;
            } else {
                return;
            }
        }
    }

    std::string_view text;
    std::size_t at = 0;
    std::size_t line = 1;
};

// ---- parsing -----------------------------------------------------------------------------------

// Long tokens are cut and control characters hidden, so that one problem stays one readable line.
std::string shown(std::string_view text)
{
    return RelativePath::printable(std::string(text), 32);
}

std::string describe(const Token& token)
{
    switch (token.kind) {
    case TokenKind::open:
        return "{";
    case TokenKind::close:
        return "}";
    case TokenKind::string:
        return "\"" + shown(token.text) + "\"";
    case TokenKind::stray:
        return shown(token.text);
    case TokenKind::unterminated:
    case TokenKind::end:
        break;
    }
    return "the end of the text";
}

std::string problemAt(std::size_t line, const std::string& what)
{
    return "entities: line " + std::to_string(line) + ": " + what;
}

// The fields after an entity's `{` up to its `}`; a problem string when the text breaks off.
std::string readFields(Scanner& scanner, std::size_t openLine, Entity& entity)
{
    for (;;) {
        const Token key = scanner.next();
        switch (key.kind) {
        case TokenKind::close:
            return {};
        case TokenKind::end:
            return problemAt(openLine, "entity has no closing }");
        case TokenKind::unterminated:
            return problemAt(key.line, "unterminated string");
        case TokenKind::open:
        case TokenKind::stray:
            return problemAt(key.line, "expected a key or } but found " + describe(key));
        case TokenKind::string:
            break;
        }
        const Token value = scanner.next();
        if (value.kind == TokenKind::unterminated)
            return problemAt(value.line, "unterminated string");
        if (value.kind != TokenKind::string)
            return problemAt(key.line, "key \"" + shown(key.text) + "\" has no value");
        if (entity.fields.size() == EntityText::maxFields)
            return problemAt(key.line, "entity has more than " + std::to_string(EntityText::maxFields) + " fields");
        entity.fields.emplace_back(key.text, value.text);
    }
}

// ---- values ------------------------------------------------------------------------------------

// ASCII only: class names are plain identifiers, and the result must not depend on a locale.
char lowerCase(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool equalIgnoringCase(std::string_view left, std::string_view right)
{
    if (left.size() != right.size())
        return false;
    for (std::size_t i = 0; i < left.size(); ++i)
        if (lowerCase(left[i]) != lowerCase(right[i]))
            return false;
    return true;
}

// Exactly `count` finite numbers separated by white space, with nothing else but white space.
bool readNumbers(const std::string& text, float* values, std::size_t count)
{
    const char* at = text.c_str();
    for (std::size_t i = 0; i < count; ++i) {
        char* end = nullptr;
        const float value = std::strtof(at, &end);
        if (end == at || !std::isfinite(value) || (*end != '\0' && !isSpace(*end)))
            return false;
        values[i] = value;
        at = end;
    }
    while (*at != '\0' && isSpace(*at))
        ++at;
    return *at == '\0';
}

std::string lowerCased(std::string text)
{
    for (char& c : text)
        c = lowerCase(c);
    return text;
}

void erase(std::string& text, std::string_view word)
{
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word))
        text.erase(at, word.size());
}

// A team spawn's colour: the last word of its class after "team_" once "spawn" and "player"
// are taken out of each word, at most a short word long, so the status line stays one line.
std::string teamColour(const std::string& classname)
{
    constexpr std::size_t longestColour = 16;
    std::string colour;
    std::size_t from = 5;
    while (from <= classname.size()) {
        std::size_t end = classname.find('_', from);
        if (end == std::string::npos)
            end = classname.size();
        std::string word = classname.substr(from, end - from);
        erase(word, "spawn");
        erase(word, "player");
        if (!word.empty())
            colour = word;
        from = end + 1;
    }
    return colour.substr(0, longestColour);
}

std::optional<PlayerStart> kindOf(const Entity& entity)
{
    const std::string* classname = entity.value("classname");
    if (classname == nullptr)
        return std::nullopt;
    const std::string name = lowerCased(*classname);
    PlayerStart start{};
    if (name == "info_player_deathmatch")
        start.kind = PlayerStart::Kind::deathmatch;
    else if (name == "info_player_start")
        start.kind = PlayerStart::Kind::ordinary;
    else if (name == "info_player_intermission")
        start.kind = PlayerStart::Kind::intermission;
    else if (name.compare(0, 5, "team_") == 0
             && (name.find("spawn") != std::string::npos || name.find("player") != std::string::npos)) {
        start.kind = PlayerStart::Kind::team;
        start.team = teamColour(name);
    } else
        return std::nullopt;
    return start;
}

std::optional<PlayerStart> readStart(const Entity& entity)
{
    std::optional<PlayerStart> start = kindOf(entity);
    if (!start || !entity.numbers("origin", start->origin, 3))
        return std::nullopt;
    float angles[3];
    if (entity.numbers("angle", &start->angle, 1))
        return start;
    start->angle = entity.numbers("angles", angles, 3) ? angles[1] : 0.0f;
    return start;
}

} // namespace

const std::string* Entity::value(const std::string& key) const
{
    for (const auto& field : fields)
        if (field.first == key)
            return &field.second;
    return nullptr;
}

bool Entity::hasClass(std::string_view classname) const
{
    const std::string* value = this->value("classname");
    return value != nullptr && equalIgnoringCase(*value, classname);
}

bool Entity::numbers(const std::string& key, float* values, std::size_t count) const
{
    const std::string* text = value(key);
    return text != nullptr && readNumbers(*text, values, count);
}

std::optional<std::size_t> Entity::inlineModel() const
{
    constexpr std::size_t longestNumber = 9; // far more models than a file can hold, and no overflow
    const std::string* model = value("model");
    if (model == nullptr || model->size() < 2 || model->size() > 1 + longestNumber || (*model)[0] != '*')
        return std::nullopt;
    std::size_t number = 0;
    for (std::size_t i = 1; i < model->size(); ++i) {
        const char digit = (*model)[i];
        if (digit < '0' || digit > '9')
            return std::nullopt;
        number = number * 10 + std::size_t(digit - '0');
    }
    return number;
}

namespace {
std::atomic<std::size_t> parses{0};
} // namespace

std::size_t EntityText::parseCount() { return parses.load(); }

EntityList EntityText::parse(std::string_view text)
{
    parses.fetch_add(1, std::memory_order_relaxed);
    EntityList list;
    Scanner scanner(text);
    for (;;) {
        const Token token = scanner.next();
        if (token.kind == TokenKind::end)
            return list;
        if (token.kind == TokenKind::unterminated) {
            list.problem = problemAt(token.line, "unterminated string");
            return list;
        }
        if (token.kind != TokenKind::open) {
            list.problem = problemAt(token.line, "expected { but found " + describe(token));
            return list;
        }
        if (list.entities.size() == maxEntities) {
            list.problem = problemAt(token.line, "more than " + std::to_string(maxEntities) + " entities");
            return list;
        }
        Entity entity;
        list.problem = readFields(scanner, token.line, entity);
        if (!list.problem.empty())
            return list;
        list.entities.push_back(std::move(entity));
    }
}

std::string PlayerStart::name() const
{
    switch (kind) {
    case Kind::deathmatch: return "deathmatch";
    case Kind::ordinary: return "ordinary";
    case Kind::team: return team.empty() ? "team" : "team " + team;
    case Kind::intermission: return "intermission";
    }
    return "";
}

bool isPlayerStartClass(const Entity& entity) { return kindOf(entity).has_value(); }

std::vector<PlayerStart> playerStarts(const std::vector<Entity>& entities)
{
    std::vector<PlayerStart> starts;
    for (const Entity& entity : entities)
        if (std::optional<PlayerStart> start = readStart(entity))
            starts.push_back(std::move(*start));
    return starts;
}

std::optional<PlayerStart> findPlayerStart(const std::vector<Entity>& entities)
{
    std::optional<PlayerStart> best;
    for (const Entity& entity : entities) {
        std::optional<PlayerStart> start = readStart(entity);
        if (start && (!best || start->kind < best->kind))
            best = std::move(start);
    }
    return best;
}

const std::string* worldMessage(const std::vector<Entity>& entities)
{
    for (const Entity& entity : entities)
        if (entity.hasClass("worldspawn"))
            return entity.value("message");
    return nullptr;
}
