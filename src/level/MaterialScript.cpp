#include "level/MaterialScript.h"

#include "files/RelativePath.h"

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

// A keyword and the first arguments after it on its line; the rest of the line is consumed.
struct Statement {
    std::string keyword; // lower case
    std::string_view arguments[2];
    std::size_t argumentCount = 0;

    std::string lowerArgument(std::size_t index) const { return Material::keyOf(arguments[index]); }
};

Statement takeStatement(Tokens& tokens, const Token& keyword)
{
    Statement statement;
    statement.keyword = Material::keyOf(keyword.text);
    while (!tokens.peek().atEnd() && !tokens.peek().startsLine && !tokens.peek().is('{') && !tokens.peek().is('}')) {
        const Token argument = tokens.take();
        if (statement.argumentCount < 2)
            statement.arguments[statement.argumentCount] = argument.text;
        ++statement.argumentCount;
    }
    return statement;
}

// ---- keywords ----------------------------------------------------------------------------------

void applyToMaterial(const Statement& statement, Material& material)
{
    if (statement.argumentCount == 0)
        return;
    const std::string argument = statement.lowerArgument(0);
    if (statement.keyword == "qer_editorimage") {
        material.editorImage = statement.arguments[0];
    } else if (statement.keyword == "surfaceparm") {
        material.sky = material.sky || argument == "sky";
        material.nodraw = material.nodraw || argument == "nodraw";
    } else if (statement.keyword == "cull") {
        if (argument == "none" || argument == "disable" || argument == "twosided")
            material.twoSided = true;
        else if (argument == "back" || argument == "front")
            material.twoSided = false;
    } else if (statement.keyword == "skyparms") {
        material.skyFarBox = argument == "-" ? std::string() : std::string(statement.arguments[0]);
    }
}

// `$lightmap` marks the lightmap stage; other `$` names are built-in images, not files.
void showImage(std::string_view image, bool clamp, Material::Stage& stage)
{
    stage.lightmapStage = Material::keyOf(image) == "$lightmap";
    stage.image = image.empty() || image[0] == '$' ? std::string() : std::string(image);
    stage.clamp = clamp;
}

bool readFactor(const std::string& name, BlendFactor& factor)
{
    static const std::pair<const char*, BlendFactor> factors[] = {
        {"gl_one", BlendFactor::one},
        {"gl_zero", BlendFactor::zero},
        {"gl_src_color", BlendFactor::sourceColor},
        {"gl_one_minus_src_color", BlendFactor::oneMinusSourceColor},
        {"gl_dst_color", BlendFactor::destinationColor},
        {"gl_one_minus_dst_color", BlendFactor::oneMinusDestinationColor},
        {"gl_src_alpha", BlendFactor::sourceAlpha},
        {"gl_one_minus_src_alpha", BlendFactor::oneMinusSourceAlpha},
        {"gl_dst_alpha", BlendFactor::destinationAlpha},
        {"gl_one_minus_dst_alpha", BlendFactor::oneMinusDestinationAlpha},
    };
    for (const auto& [text, value] : factors)
        if (name == text) {
            factor = value;
            return true;
        }
    return false;
}

// Shorthand names or two factors; anything else leaves the stage as it was.
void readBlend(const Statement& statement, Material::Blend& blend)
{
    const std::string first = statement.lowerArgument(0);
    BlendFactor source = BlendFactor::one;
    BlendFactor destination = BlendFactor::zero;
    if (first == "add") {
        source = destination = BlendFactor::one;
    } else if (first == "filter") {
        source = BlendFactor::destinationColor;
        destination = BlendFactor::zero;
    } else if (first == "blend") {
        source = BlendFactor::sourceAlpha;
        destination = BlendFactor::oneMinusSourceAlpha;
    } else if (statement.argumentCount < 2 || !readFactor(first, source)
               || !readFactor(statement.lowerArgument(1), destination)) {
        return;
    }
    blend.sourceFactor = source;
    blend.destinationFactor = destination;
    blend.blends = !(source == BlendFactor::one && destination == BlendFactor::zero);
}

void applyToStage(const Statement& statement, Material::Stage& stage)
{
    if (statement.argumentCount == 0)
        return;
    const std::string argument = statement.lowerArgument(0);
    if (statement.keyword == "map" || statement.keyword == "clampmap") {
        showImage(statement.arguments[0], statement.keyword == "clampmap", stage);
    } else if (statement.keyword == "animmap") {
        if (statement.argumentCount >= 2) // the frequency, then the frames: the first one stands in
            showImage(statement.arguments[1], false, stage);
    } else if (statement.keyword == "alphafunc") {
        if (argument == "gt0")
            stage.alphaFunction = AlphaFunction::greaterThanZero;
        else if (argument == "lt128")
            stage.alphaFunction = AlphaFunction::lessThan128;
        else if (argument == "ge128")
            stage.alphaFunction = AlphaFunction::greaterOrEqualTo128;
    } else if (statement.keyword == "blendfunc") {
        readBlend(statement, stage.blend);
    }
}

// ---- blocks ------------------------------------------------------------------------------------

// Long names are cut and control characters hidden, so that one problem stays one readable line.
std::string shown(std::string_view text)
{
    return RelativePath::printable(std::string(text), 64);
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
                inStage = true;
                stageLine = token.line;
                stage = Material::Stage();
            } else if (token.is('}')) {
                if (!inStage)
                    return true;
                inStage = false;
                if (material.stages.size() < MaterialScript::maxStages)
                    material.stages.push_back(std::move(stage));
            } else if (inStage) {
                applyToStage(takeStatement(tokens, token), stage);
            } else {
                applyToMaterial(takeStatement(tokens, token), material);
            }
        }
    }

    Tokens tokens;
    const std::string& fileName;
    std::ostream& log;
    std::size_t openLine = 0; // of the current material's `{`
};

} // namespace

std::vector<Material> MaterialScript::parse(std::string_view text, const std::string& fileName, std::ostream& log)
{
    return Reader(text, fileName, log).readAll();
}
