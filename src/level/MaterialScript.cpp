#include "level/MaterialScript.h"

#include "files/RelativePath.h"
#include "level/MaterialKeywords.h"
#include "level/MaterialStatement.h"

#include <algorithm>
#include <utility>

namespace {

// ---- tokens ------------------------------------------------------------------------------------

struct Token {
    std::string_view text;   // a brace or a word; empty at the end of the text
    std::size_t line = 1;    // where the token starts
    bool startsLine = false; // a line break (or the start of the text) comes before it

    bool atEnd() const { return text.empty(); }
    bool is(char brace) const { return text.size() == 1 && text[0] == brace; }
};

bool isSpace(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Braces are tokens of their own even when written against a word; comments end words.
class Tokens {
public:
    explicit Tokens(std::string_view text) : text(text) { advance(); }

    const Token& peek() const { return upcoming; }
    Token take()
    {
        const Token token = upcoming;
        advance();
        return token;
    }

private:
    bool commentStarts(std::size_t position) const
    {
        return position + 1 < text.size() && text[position] == '/' && (text[position + 1] == '/' || text[position + 1] == '*');
    }

    void skipSpaceAndComments()
    {
        while (at < text.size()) {
            if (text[at] == '\n') {
                ++line;
                lineBreak = true;
                ++at;
            } else if (isSpace(text[at])) {
                ++at;
            } else if (commentStarts(at) && text[at + 1] == '/') {
                const std::size_t lineEnd = text.find('\n', at);
                at = lineEnd == std::string_view::npos ? text.size() : lineEnd;
            } else if (commentStarts(at)) {
                // An unclosed block comment runs to the end of the text.
                const std::size_t close = text.find("*/", at + 2);
                const std::size_t end = close == std::string_view::npos ? text.size() : close + 2;
                const std::size_t breaks = std::size_t(std::count(text.begin() + at, text.begin() + end, '\n'));
                line += breaks;
                lineBreak = lineBreak || breaks > 0;
                at = end;
            } else {
                return;
            }
        }
    }

    void advance()
    {
        skipSpaceAndComments();
        upcoming = Token{{}, line, lineBreak};
        lineBreak = false;
        if (at == text.size())
            return;
        const std::size_t start = at;
        if (text[at] == '{' || text[at] == '}') {
            ++at;
        } else {
            while (at < text.size() && !isSpace(text[at]) && text[at] != '{' && text[at] != '}' && !commentStarts(at))
                ++at;
        }
        upcoming.text = text.substr(start, at - start);
    }

    std::string_view text;
    std::size_t at = 0;
    std::size_t line = 1;
    bool lineBreak = true;
    Token upcoming;
};

// A keyword and the arguments after it on its line; the rest of the line is consumed.
MaterialStatement takeStatement(Tokens& tokens, const Token& keyword)
{
    MaterialStatement statement(keyword.text);
    while (!tokens.peek().atEnd() && !tokens.peek().startsLine && !tokens.peek().is('{') && !tokens.peek().is('}'))
        statement.addArgument(tokens.take().text);
    return statement;
}

// ---- blocks ------------------------------------------------------------------------------------

// Words quoted in a message are cut short and made printable, so that one problem stays one
// readable line and a file that only looks like a script does not have its text echoed. A
// character takes at most four bytes, so the cut copy still shows whether the word goes on.
std::string shown(std::string_view text)
{
    constexpr std::size_t longest = 40; // characters
    return RelativePath::printable(std::string(text.substr(0, 4 * longest + 4)), longest);
}

class Reader {
public:
    Reader(std::string_view text, const std::string& fileName, std::ostream& log)
        : tokens(text), fileName(fileName), log(log)
    {
    }

    std::vector<Material> readAll()
    {
        std::vector<Material> materials;
        while (!tokens.peek().atEnd()) {
            Material material;
            if (!readHead(materials.size(), material) || !readBody(material))
                break;
            materials.push_back(std::move(material));
        }
        return materials;
    }

private:
    void report(std::size_t line, const std::string& what) const
    {
        log << fileName << ':' << line << ": " << what << '\n';
    }

    // The name and its `{`, up to `{`; false, reported, when they are not there.
    bool readHead(std::size_t materialCount, Material& material)
    {
        const Token name = tokens.take();
        if (name.is('{') || name.is('}')) {
            report(name.line, name.is('{') ? "{ without a material name" : "} without a matching {");
            return false;
        }
        const Token open = tokens.take();
        if (!open.is('{')) {
            const std::string found = open.atEnd() ? "the end of the file" : shown(open.text);
            report(open.atEnd() ? name.line : open.line, "expected { after " + shown(name.text) + " but found " + found);
            return false;
        }
        if (materialCount == MaterialScript::maxMaterials) {
            report(open.line,
                "more than " + std::to_string(MaterialScript::maxMaterials) + " materials, the rest are ignored");
            return false;
        }
        material.name = name.text;
        material.key = Material::keyOf(name.text);
        openLine = open.line;
        return true;
    }

    // Keyword lines and stages up to the material's `}`; false, reported, when the file breaks.
    bool readBody(Material& material)
    {
        bool inStage = false;
        bool tooManyStages = false;
        std::size_t stageLine = 0;
        Material::Stage stage;
        for (;;) {
            const Token token = tokens.take();
            if (token.atEnd()) {
                report(inStage ? stageLine : openLine, "missing } in " + shown(material.name));
                return false;
            }
            if (token.is('{')) {
                if (inStage) {
                    report(token.line, "{ inside a stage: stages do not nest");
                    return false;
                }
                if (material.stages.size() == MaterialScript::maxStages && !tooManyStages) {
                    report(token.line, shown(material.name) + " has more than "
                                           + std::to_string(MaterialScript::maxStages) + " stages, the rest are ignored");
                    tooManyStages = true;
                }
                if (stagesKept == MaterialScript::maxStagesPerScript && !scriptFull) {
                    report(token.line, "more than " + std::to_string(MaterialScript::maxStagesPerScript)
                                           + " stages in the script, the rest are ignored");
                    scriptFull = true;
                }
                inStage = true;
                stageLine = token.line;
                stage = Material::Stage();
            } else if (token.is('}')) {
                if (!inStage)
                    return true;
                inStage = false;
                if (material.stages.size() < MaterialScript::maxStages
                    && stagesKept < MaterialScript::maxStagesPerScript) {
                    material.stages.push_back(std::move(stage));
                    ++stagesKept;
                }
            } else if (inStage) {
                MaterialKeywords::applyToStage(takeStatement(tokens, token), stage, material);
            } else {
                MaterialKeywords::applyToMaterial(takeStatement(tokens, token), material);
            }
        }
    }

    Tokens tokens;
    const std::string& fileName;
    std::ostream& log;
    std::size_t openLine = 0; // of the current material's `{`
    std::size_t stagesKept = 0;
    bool scriptFull = false; // said once
};

} // namespace

std::vector<Material> MaterialScript::parse(std::string_view text, const std::string& fileName, std::ostream& log)
{
    return Reader(text, fileName, log).readAll();
}
