#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// One keyword line of a material script: the keyword and the words after it on its line,
// which stay views into the script's text. Numbers are read leniently, as scripts write them
// ("1", "-.5", "0.25f"), but never as infinity or NaN.
class MaterialStatement {
public:
    static constexpr std::size_t maxArguments = 12; // kept; later ones are only counted

    explicit MaterialStatement(std::string_view keyword);
    void addArgument(std::string_view word);

    const std::string& keyword() const { return lowerKeyword; } // ASCII lower case
    std::size_t argumentCount() const { return count; }
    std::string_view argument(std::size_t index) const; // "" past the last kept one
    std::string lowerArgument(std::size_t index) const;

    // The number at `index`; false, leaving `value`, when there is none there.
    bool number(std::size_t index, float& value) const;
    // `values.size()` numbers from `first` on; false when any is missing.
    template <std::size_t N>
    bool numbers(std::size_t first, std::array<float, N>& values) const
    {
        for (std::size_t i = 0; i < N; ++i)
            if (!number(first + i, values[i]))
                return false;
        return true;
    }

    // The same line with parentheses taken out, written apart or against a number:
    // "( 1 0 0 )" and "(1 0 0)" both become the three numbers.
    MaterialStatement withoutParentheses() const;

    // The keyword as written, and its first argument when `withArgument`, short and printable:
    // what a list of skipped keywords shows.
    std::string excerpt(bool withArgument) const;

private:
    std::string_view written;
    std::string lowerKeyword;
    std::array<std::string_view, maxArguments> arguments{};
    std::size_t count = 0;
};
