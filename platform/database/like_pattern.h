// Jet's LIKE patterns, matched on the UTF-8 texts of the loaded tables.
//
// "%" stands for any run of characters, "_" for one character, and "[...]" for one
// character from a list: single characters, ranges "a-f", and after a leading "!" the
// characters not in the list ("[!0-9]"). Inside a list "%", "_" and "[" are plain, which
// is how a pattern asks for them literally; a "-" first or last in a list is plain too.
// Every step is one whole character (a GBK character is one code point of the UTF-8
// text), and ASCII letters match without regard to case, as the text columns compare.
// A range holds the characters whose code page 936 codes lie between its ends (ASCII
// below every two-byte character), the order the characters have in the data files.
//
// What Jet refuses, we read leniently rather than fail the statement: a "[" that no "]"
// closes is a plain "[", "[]" stands for nothing, a range whose ends are reversed
// ("[z-a]") holds no character.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace db {

class LikePattern {
public:
    explicit LikePattern(std::string_view utf8Pattern);
    bool matches(std::string_view utf8Text) const;

private:
    enum class Kind : uint8_t { Literal, AnyOne, List, AnyRun };
    struct Element {
        Kind kind;
        char32_t ch = 0;     // Literal: the character, ASCII letters lower-cased
        uint32_t list = 0;   // List: index into lists_
    };
    struct List {
        bool negated = false;
        std::vector<char32_t> singles;                     // lower-cased like literals
        std::vector<std::pair<uint32_t, uint32_t>> ranges;  // code page 936 order keys
        bool contains(char32_t c) const;
    };
    bool elementMatches(const Element& e, char32_t c) const;
    bool matchesElements(std::string_view utf8Text) const;

    std::vector<Element> elements_;
    std::vector<List> lists_;

    // The searches' own shapes, "%T%", "T%", "%T" and "T" with T plain characters, are
    // compared byte for byte: UTF-8 has no ASCII bytes inside its multi-byte characters,
    // so folding ASCII bytes folds exactly the ASCII letters.
    enum class Shape : uint8_t { General, Equal, Prefix, Suffix, Contains };
    Shape shape_ = Shape::General;
    std::string literal_;  // UTF-8, ASCII letters lower-cased
    bool literalHasLetters_ = false;
};

}  // namespace db
