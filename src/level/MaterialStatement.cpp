#include "level/MaterialStatement.h"

#include "files/RelativePath.h"

#include <charconv>
#include <cmath>

namespace {
// Words quoted back from a script are cut this short (in characters): a file that only looks
// like a script must not have its text echoed. A character takes at most four bytes, so the cut
// copy still shows whether the word goes on.
constexpr std::size_t longestQuotedWord = 32;

std::string quoted(std::string_view word)
{
    return RelativePath::printable(std::string(word.substr(0, 4 * longestQuotedWord + 4)), longestQuotedWord);
}
} // namespace

MaterialStatement::MaterialStatement(std::string_view keyword)
    : written(keyword), lowerKeyword(RelativePath::lowerCase(std::string(keyword)))
{
}

void MaterialStatement::addArgument(std::string_view word)
{
    if (count < maxArguments)
        arguments[count] = word;
    ++count;
}

std::string_view MaterialStatement::argument(std::size_t index) const
{
    return index < count && index < maxArguments ? arguments[index] : std::string_view();
}

std::string MaterialStatement::lowerArgument(std::size_t index) const
{
    return RelativePath::lowerCase(std::string(argument(index)));
}

bool MaterialStatement::number(std::size_t index, float& value) const
{
    const std::string_view word = argument(index);
    float read = 0.0f;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), read);
    if (word.empty() || error != std::errc() || end == word.data() || !std::isfinite(read))
        return false;
    value = read;
    return true;
}

MaterialStatement MaterialStatement::withoutParentheses() const
{
    MaterialStatement split(written);
    for (std::size_t i = 0; i < count && i < maxArguments; ++i) {
        const std::string_view word = arguments[i];
        std::size_t start = 0;
        for (std::size_t at = 0; at <= word.size(); ++at) {
            if (at < word.size() && word[at] != '(' && word[at] != ')')
                continue;
            if (at > start)
                split.addArgument(word.substr(start, at - start));
            start = at + 1;
        }
    }
    return split;
}

std::string MaterialStatement::excerpt(bool withArgument) const
{
    std::string text = quoted(written);
    if (withArgument && count > 0)
        text += " " + quoted(arguments[0]);
    return text;
}
