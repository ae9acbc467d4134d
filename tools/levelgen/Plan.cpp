#include "Plan.h"

#include "TextureCatalogue.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <sstream>

bool isSolid(Cell cell)
{
    return cell == Cell::Wall || cell == Cell::AltWall || cell == Cell::PanelWall || isDecoratedWall(cell);
}

bool isDecoratedWall(Cell cell)
{
    return cell == Cell::GlowWall || cell == Cell::PulseWall || cell == Cell::ChromeWall || cell == Cell::SignWall;
}

bool isKnownCell(char character)
{
    static constexpr std::array<char, 34> known = {'#', '%', '&', '=', '.', ',', 'S', 'L', 'O', 'A', 'M', 'B',
                                                   '*', 'G', 'N', '~', '^', 'F', 'P', '+', 'H', 'Y', 'D', 'T',
                                                   'R', 'Z', 'J', 'I', 'W', 'X', 'Q', 'C', 'U', 'V'};
    for (const char c : known) {
        if (c == character)
            return true;
    }
    return false;
}

bool spansWestToEast(const Plan& plan, int column, int row)
{
    return plan.isOpen(column, row - 1) && plan.isOpen(column, row + 1);
}

Cell Plan::at(int column, int row) const
{
    if (column < 0 || row < 0 || column >= columns || row >= rows)
        return Cell::Wall;
    return cells[static_cast<size_t>(row) * columns + column];
}

namespace {

std::string location(const std::string& fileName, int line, int column)
{
    return fileName + ":" + std::to_string(line) + ":" + std::to_string(column) + ": ";
}

[[noreturn]] void fail(const std::string& fileName, int line, int column, const std::string& what)
{
    throw PlanError(location(fileName, line, column) + what);
}

struct Token {
    std::string text;
    int column = 0; // 1-based
};

std::vector<Token> splitTokens(const std::string& line)
{
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < line.size()) {
        if (std::isspace(static_cast<unsigned char>(line[i]))) {
            ++i;
            continue;
        }
        Token token;
        token.column = static_cast<int>(i) + 1;
        while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])))
            token.text += line[i++];
        tokens.push_back(token);
    }
    return tokens;
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string current;
    for (const char c : text) {
        if (c == '\n') {
            lines.push_back(current);
            current.clear();
        } else if (c != '\r') {
            current += c;
        }
    }
    if (!current.empty())
        lines.push_back(current);
    return lines;
}

// The name goes into file names, archive entries, texture names and material scripts,
// so it keeps to characters that are plain in all of them, and short enough that the
// longest texture name built from it fits the texture record.
std::string stemOf(const std::string& fileName)
{
    constexpr size_t longest = 32;
    const size_t slash = fileName.find_last_of('/');
    std::string stem = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    const size_t dot = stem.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        stem.erase(dot);
    stem = stem.substr(0, longest);
    for (char& c : stem) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-')
            c = '_';
    }
    return stem.empty() ? "level" : stem;
}

struct NumberSetting {
    const char* key;
    int Plan::*field;
    int minimum;
    int maximum;
};

constexpr std::array<NumberSetting, 7> numberSettings = {{
    {"cell", &Plan::cellSize, 16, 1024},
    {"height", &Plan::height, 32, 2048},
    {"texscale", &Plan::textureScale, 8, 4096},
    {"friends", &Plan::friends, 0, 100},
    {"enemies", &Plan::enemies, 0, 100},
    {"angle", &Plan::startAngle, 0, 359},
    {"images", &Plan::images, 0, 4096},
}};

constexpr std::array<const char*, static_cast<int>(Surface::Count)> surfaceNames = {
    "wall", "wall2", "floor", "floor2", "ceiling", "pillar", "arch", "object", "billboard"};

int parseWholeNumber(const Token& token, const NumberSetting& setting, const std::string& fileName, int line)
{
    const std::string range = std::to_string(setting.minimum) + " to " + std::to_string(setting.maximum);
    const std::string complaint = std::string("'") + setting.key + "' needs a whole number from " + range;
    if (token.text.empty() || token.text.size() > 9)
        fail(fileName, line, token.column, complaint);
    for (const char c : token.text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            fail(fileName, line, token.column, complaint);
    }
    const int value = std::stoi(token.text);
    if (value < setting.minimum || value > setting.maximum)
        fail(fileName, line, token.column, complaint);
    return value;
}

void parseTextureSetting(Plan& plan, const std::vector<Token>& tokens, const std::string& fileName, int line,
                         int lineLength)
{
    if (tokens.size() != 3)
        fail(fileName, line, tokens.size() > 3 ? tokens[3].column : lineLength + 1,
             "'texture' needs a surface and a texture name");
    int surface = -1;
    for (size_t i = 0; i < surfaceNames.size(); ++i) {
        if (tokens[1].text == surfaceNames[i])
            surface = static_cast<int>(i);
    }
    if (surface < 0)
        fail(fileName, line, tokens[1].column, "unknown surface '" + tokens[1].text + "'");
    if (!isCatalogueTexture(tokens[2].text))
        fail(fileName, line, tokens[2].column, "unknown texture '" + tokens[2].text + "'");
    plan.textures[static_cast<size_t>(surface)] = tokens[2].text;
}

void parseSkySetting(Plan& plan, const std::vector<Token>& tokens, const std::string& fileName, int line,
                     int lineLength)
{
    if (tokens.size() < 2 || (tokens[1].text != "farbox" && tokens[1].text != "clouds" && tokens[1].text != "dusk"))
        fail(fileName, line, tokens.size() > 1 ? tokens[1].column : lineLength + 1,
             "'sky' needs farbox, clouds or dusk");
    if (tokens.size() > 3 || (tokens.size() == 3 && tokens[2].text != "nearbox"))
        fail(fileName, line, tokens[2].column, "'sky' takes only nearbox after its kind");
    plan.sky = tokens[1].text == "clouds" ? SkyKind::clouds
             : tokens[1].text == "dusk"   ? SkyKind::dusk
                                          : SkyKind::farBox;
    plan.skyNearBox = tokens.size() == 3;
}

struct ShapeSyntax {
    const char* name;
    ShapeKind kind;
    const char* tail; // what follows the box, for messages; "" for nothing
    size_t tailNumbers;
    bool tailHeading;
    bool mayEndWithWall; // a trigger volume, which may be written through the wall record
};

constexpr std::array<ShapeSyntax, 10> shapeSyntaxes = {{
    {"solid", ShapeKind::solid, "", 0, false, false},
    {"clip", ShapeKind::clip, "", 0, false, false},
    {"water", ShapeKind::water, "", 0, false, false},
    {"hurt", ShapeKind::hurt, "", 0, false, true},
    {"ramp", ShapeKind::ramp, " and the heading it rises to", 0, true, false},
    {"curve", ShapeKind::curve, " and the heading it rises to", 0, true, false},
    {"pad", ShapeKind::pad, " and its target's X Y Z", 3, false, true},
    {"teleporter", ShapeKind::teleporter, " and its destination's X Y Z and heading", 4, false, true},
    {"trigger", ShapeKind::trigger, " and its target's X Y Z", 3, false, true},
    {"button", ShapeKind::button, " and its target's X Y Z", 3, false, false},
}};

constexpr int shapeLimit = 65536; // units from the origin either way

bool readCoordinate(const std::string& text, int& value)
{
    size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size() || text.size() - i > 6)
        return false;
    for (; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
    }
    value = std::stoi(text);
    return value >= -shapeLimit && value <= shapeLimit;
}

void parseShape(Plan& plan, const std::vector<Token>& tokens, const std::string& fileName, int line, int lineLength)
{
    const auto syntax = std::find_if(shapeSyntaxes.begin(), shapeSyntaxes.end(), [&](const ShapeSyntax& s) {
        return tokens.size() > 1 && tokens[1].text == s.name;
    });
    if (syntax == shapeSyntaxes.end())
        fail(fileName, line, tokens.size() > 1 ? tokens[1].column : lineLength + 1,
             "'shape' needs a kind: solid, clip, water, hurt, ramp, curve, pad, teleporter, trigger or button");
    const size_t expected = 8 + syntax->tailNumbers + (syntax->tailHeading ? 1 : 0);
    const std::string usage = std::string("'shape ") + syntax->name + "' needs the box's X0 Y0 Z0 X1 Y1 Z1"
                            + syntax->tail + (syntax->mayEndWithWall ? ", and may end with 'wall'" : "");
    const bool wall = syntax->mayEndWithWall && tokens.size() > expected && tokens[expected].text == "wall";
    const size_t words = expected + (wall ? 1 : 0);
    if (tokens.size() != words)
        fail(fileName, line, tokens.size() > words ? tokens[words].column : lineLength + 1, usage);
    std::array<int, 10> numbers{};
    const size_t numberCount = 6 + syntax->tailNumbers;
    for (size_t i = 0; i < numberCount; ++i) {
        if (!readCoordinate(tokens[2 + i].text, numbers[i]))
            fail(fileName, line, tokens[2 + i].column,
                 "a shape's numbers are whole units from -" + std::to_string(shapeLimit) + " to "
                     + std::to_string(shapeLimit));
    }
    PlanShape shape;
    shape.kind = syntax->kind;
    shape.wall = wall;
    for (size_t axis = 0; axis < 3; ++axis) {
        shape.low[axis] = numbers[axis];
        shape.high[axis] = numbers[3 + axis];
        if (shape.low[axis] >= shape.high[axis])
            fail(fileName, line, tokens[5 + axis].column, "a shape's second corner must lie above its first on every axis");
        if (syntax->tailNumbers >= 3)
            shape.target[axis] = numbers[6 + axis];
    }
    shape.angle = syntax->tailNumbers == 4 ? numbers[9] : 0;
    if (syntax->tailHeading) {
        constexpr std::array<const char*, 4> headings = {"north", "east", "south", "west"};
        const Token& word = tokens.back();
        const auto found = std::find(headings.begin(), headings.end(), word.text);
        if (found == headings.end())
            fail(fileName, line, word.column, "a ramp rises to north, east, south or west");
        shape.rises = static_cast<Heading>(found - headings.begin());
    }
    plan.shapes.push_back(shape);
}

void parseSetting(Plan& plan, const std::string& text, const std::string& fileName, int line)
{
    const std::vector<Token> tokens = splitTokens(text);
    const Token& key = tokens.front();
    if (key.text == "shape") {
        parseShape(plan, tokens, fileName, line, static_cast<int>(text.size()));
        return;
    }
    if (key.text == "texture") {
        parseTextureSetting(plan, tokens, fileName, line, static_cast<int>(text.size()));
        return;
    }
    if (key.text == "sky") {
        parseSkySetting(plan, tokens, fileName, line, static_cast<int>(text.size()));
        return;
    }
    if (key.text == "title") {
        // The rest of the line, spaces inside it kept.
        if (tokens.size() < 2)
            fail(fileName, line, static_cast<int>(text.size()) + 1, "'title' needs the level's title");
        const std::string rest = text.substr(static_cast<size_t>(tokens[1].column - 1));
        plan.title = rest.substr(0, rest.find_last_not_of(" \t") + 1);
        return;
    }
    for (const NumberSetting& setting : numberSettings) {
        if (key.text != setting.key)
            continue;
        if (tokens.size() != 2) {
            const int column = tokens.size() > 2 ? tokens[2].column : static_cast<int>(text.size()) + 1;
            fail(fileName, line, column, std::string("'") + setting.key + "' needs exactly one value");
        }
        plan.*setting.field = parseWholeNumber(tokens[1], setting, fileName, line);
        return;
    }
    fail(fileName, line, key.column, "unknown setting '" + key.text + "'");
}

void parseGrid(Plan& plan, const std::vector<std::string>& lines, size_t first, const std::string& fileName)
{
    size_t last = lines.size();
    while (last > first && lines[last - 1].find_first_not_of(" \t") == std::string::npos)
        --last;
    const int mapLine = static_cast<int>(first); // the "map" line, 1-based
    if (last == first)
        fail(fileName, mapLine, 1, "the map has no rows");
    plan.columns = static_cast<int>(lines[first].size());
    plan.rows = static_cast<int>(last - first);
    if (plan.columns > maxPlanSide)
        fail(fileName, mapLine + 1, maxPlanSide + 1, "the map is wider than " + std::to_string(maxPlanSide) + " cells");
    if (plan.rows > maxPlanSide)
        fail(fileName, mapLine + 1 + maxPlanSide, 1,
             "the map is taller than " + std::to_string(maxPlanSide) + " rows");
    plan.cells.reserve(static_cast<size_t>(plan.columns) * plan.rows);
    for (size_t i = first; i < last; ++i) {
        const std::string& row = lines[i];
        const int line = static_cast<int>(i) + 1;
        const int length = static_cast<int>(row.size());
        if (length != plan.columns)
            fail(fileName, line, std::min(length, plan.columns) + 1,
                 "row has " + std::to_string(length) + " cells but the first row has " +
                     std::to_string(plan.columns));
        for (int column = 0; column < length; ++column) {
            const char c = row[static_cast<size_t>(column)];
            if (!isKnownCell(c))
                fail(fileName, line, column + 1, std::string("unknown map character '") + c + "'");
            plan.cells.push_back(static_cast<Cell>(c));
        }
    }
}

// The decorations that need particular neighbours; empty when the cell is fine.
std::string neighbourProblem(const Plan& plan, int column, int row)
{
    const Cell cell = plan.at(column, row);
    if (cell == Cell::Arch || cell == Cell::Door) {
        const bool wallsX = isSolid(plan.at(column - 1, row)) && isSolid(plan.at(column + 1, row));
        const bool wallsY = isSolid(plan.at(column, row - 1)) && isSolid(plan.at(column, row + 1));
        const bool openX = plan.isOpen(column - 1, row) && plan.isOpen(column + 1, row);
        const bool openY = plan.isOpen(column, row - 1) && plan.isOpen(column, row + 1);
        if (!(wallsX && openY) && !(wallsY && openX))
            return std::string(cell == Cell::Arch ? "an arch" : "a door")
                 + " needs walls on two opposite sides and open cells on the other two";
    }
    if (cell == Cell::Grate || cell == Cell::Nodraw) {
        const bool openX = plan.isOpen(column - 1, row) && plan.isOpen(column + 1, row);
        if (!spansWestToEast(plan, column, row) && !openX)
            return std::string(cell == Cell::Grate ? "a grate" : "a screen") +
                   " needs open cells on two opposite sides";
    }
    if (isDecoratedWall(cell)) {
        const bool anyOpen = plan.isOpen(column - 1, row) || plan.isOpen(column + 1, row) ||
                             plan.isOpen(column, row - 1) || plan.isOpen(column, row + 1);
        if (!anyOpen)
            return "a wall with a panel, trim or sign needs an open cell beside it";
    }
    return {};
}

} // namespace

void validateGrid(Plan& plan, const std::string& fileName, int firstGridLine)
{
    bool haveStart = false;
    plan.lights.clear();
    for (int row = 0; row < plan.rows; ++row) {
        for (int column = 0; column < plan.columns; ++column) {
            const Cell cell = plan.at(column, row);
            const int line = firstGridLine + row;
            if (cell == Cell::Start) {
                if (haveStart)
                    fail(fileName, line, column + 1, "second start position 'S'");
                haveStart = true;
                plan.start = {column, row};
            }
            if (cell == Cell::Light) {
                if (plan.lights.size() == maxLights)
                    fail(fileName, line, column + 1, "more than four lights");
                plan.lights.push_back({column, row});
            }
            const std::string problem = neighbourProblem(plan, column, row);
            if (!problem.empty())
                fail(fileName, line, column + 1, problem);
        }
    }
    if (!haveStart)
        fail(fileName, firstGridLine - 1, 1, "the map has no start position 'S'");
}

Plan parsePlan(const std::string& text, const std::string& fileName)
{
    Plan plan;
    plan.name = stemOf(fileName);
    const std::vector<std::string> lines = splitLines(text);
    size_t i = 0;
    for (; i < lines.size(); ++i) {
        const std::vector<Token> tokens = splitTokens(lines[i]);
        if (tokens.empty() || tokens.front().text[0] == '#')
            continue;
        if (tokens.front().text == "map") {
            if (tokens.size() > 1)
                fail(fileName, static_cast<int>(i) + 1, tokens[1].column, "nothing may follow 'map' on its line");
            break;
        }
        parseSetting(plan, lines[i], fileName, static_cast<int>(i) + 1);
    }
    if (i == lines.size())
        fail(fileName, static_cast<int>(lines.size()) + 1, 1, "the plan has no 'map' line");
    parseGrid(plan, lines, i + 1, fileName);
    validateGrid(plan, fileName, static_cast<int>(i) + 2);
    return plan;
}
