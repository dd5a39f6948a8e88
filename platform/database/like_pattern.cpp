// Compiling and matching Jet LIKE patterns.
#include "platform/database/like_pattern.h"

#include <string>

#include "platform/database/fast_codec.h"

namespace db {
namespace {

// The character at text[i], with its length. A byte that begins no well-formed sequence
// counts as one character of its own, so that matching always moves on.
char32_t next(std::string_view text, size_t& i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
        ++i;
        return b;
    }
    char32_t cp = 0;
    const unsigned length = codec::decodeUtf8(text, i, cp);
    if (length == 0) {
        ++i;
        return 0xDC00 | b;  // a lone surrogate: no real character equals it
    }
    i += length;
    return cp;
}

char32_t fold(char32_t c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }
char32_t otherCase(char32_t c) {
    if (c >= 'a' && c <= 'z') return c - 'a' + 'A';
    if (c >= 'A' && c <= 'Z') return c - 'A' + 'a';
    return c;
}

void appendUtf8(char32_t c, std::string& out) {
    if (c >= 0xDC80 && c <= 0xDCFF)  // a stray byte, as next() read it
        out += static_cast<char>(c & 0xFF);
    else
        codec::appendUtf8(c, out);
}

// Whether text[at..] begins with `literal` (lower-case), ASCII letters of the text folded.
bool equalFolded(std::string_view text, size_t at, std::string_view literal) {
    for (size_t k = 0; k < literal.size(); ++k) {
        char c = text[at + k];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != literal[k]) return false;
    }
    return true;
}

// The character's place in code page 936's order: ASCII as itself, a two-byte character
// as lead * 256 + trail. A character the code page lacks sorts as the "?" it becomes.
uint32_t orderKey(char32_t c) {
    if (c < 0x80) return c;
    std::string utf8;
    appendUtf8(c, utf8);
    const std::string gbk = codec::utf8ToGbk(utf8);
    uint32_t key = 0;
    for (unsigned char byte : gbk) key = key << 8 | byte;
    return key;
}

}  // namespace

bool LikePattern::List::contains(char32_t c) const {
    bool found = false;
    for (char32_t single : singles) found = found || single == fold(c);
    if (!found && !ranges.empty()) {
        const uint32_t key = orderKey(c), other = orderKey(otherCase(c));
        for (const auto& [low, high] : ranges)
            found = found || (key >= low && key <= high) || (other >= low && other <= high);
    }
    return found != negated;
}

LikePattern::LikePattern(std::string_view pattern) {
    std::vector<char32_t> chars;
    for (size_t i = 0; i < pattern.size();) chars.push_back(next(pattern, i));

    for (size_t i = 0; i < chars.size(); ++i) {
        const char32_t c = chars[i];
        if (c == '%') {
            if (elements_.empty() || elements_.back().kind != Kind::AnyRun) elements_.push_back({Kind::AnyRun});
            continue;
        }
        if (c == '_') {
            elements_.push_back({Kind::AnyOne});
            continue;
        }
        size_t close = i + 1;
        if (c == '[') {
            // A "]" right after "[" or "[!" closes the list at once: "]" cannot be listed.
            while (close < chars.size() && chars[close] != ']') ++close;
        }
        if (c != '[' || close >= chars.size()) {
            elements_.push_back({Kind::Literal, fold(c)});
            continue;
        }
        List list;
        size_t k = i + 1;
        if (k < close && chars[k] == '!') list.negated = true, ++k;
        if (k == close && !list.negated) {  // "[]" stands for nothing
            i = close;
            continue;
        }
        for (; k < close; ++k) {
            if (k + 2 < close && chars[k + 1] == '-') {
                list.ranges.emplace_back(orderKey(chars[k]), orderKey(chars[k + 2]));
                k += 2;
            } else {
                list.singles.push_back(fold(chars[k]));
            }
        }
        elements_.push_back({Kind::List, 0, static_cast<uint32_t>(lists_.size())});
        lists_.push_back(std::move(list));
        i = close;
    }

    const bool leadingRun = !elements_.empty() && elements_.front().kind == Kind::AnyRun;
    const bool trailingRun = elements_.size() > (leadingRun ? 1u : 0u) && elements_.back().kind == Kind::AnyRun;
    std::string literal;
    for (size_t e = leadingRun ? 1 : 0; e < elements_.size() - (trailingRun ? 1 : 0); ++e) {
        if (elements_[e].kind != Kind::Literal) return;
        appendUtf8(elements_[e].ch, literal);
    }
    literal_ = std::move(literal);
    for (char c : literal_) literalHasLetters_ = literalHasLetters_ || (c >= 'a' && c <= 'z');
    shape_ = leadingRun ? (trailingRun ? Shape::Contains : Shape::Suffix) : (trailingRun ? Shape::Prefix : Shape::Equal);
}

bool LikePattern::elementMatches(const Element& e, char32_t c) const {
    switch (e.kind) {
    case Kind::Literal: return e.ch == fold(c);
    case Kind::AnyOne: return true;
    case Kind::List: return lists_[e.list].contains(c);
    case Kind::AnyRun: break;
    }
    return false;
}

bool LikePattern::matches(std::string_view text) const {
    const size_t n = literal_.size();
    switch (shape_) {
    case Shape::General: return matchesElements(text);
    case Shape::Equal: return text.size() == n && equalFolded(text, 0, literal_);
    case Shape::Prefix: return text.size() >= n && equalFolded(text, 0, literal_);
    case Shape::Suffix: return text.size() >= n && equalFolded(text, text.size() - n, literal_);
    case Shape::Contains:
        if (!literalHasLetters_) return text.find(literal_) != std::string_view::npos;
        for (size_t at = 0; at + n <= text.size(); ++at)
            if (equalFolded(text, at, literal_)) return true;
        return false;
    }
    return false;
}

// Every element but "%" takes exactly one character, so going back to the last "%" and
// letting it take one more character is enough: no earlier choice needs revisiting.
bool LikePattern::matchesElements(std::string_view text) const {
    size_t e = 0, i = 0;
    size_t runElement = SIZE_MAX, runResume = 0;
    while (i < text.size()) {
        if (e < elements_.size() && elements_[e].kind == Kind::AnyRun) {
            runElement = e++;
            runResume = i;
            continue;
        }
        size_t after = i;
        const char32_t c = next(text, after);
        if (e < elements_.size() && elementMatches(elements_[e], c)) {
            ++e;
            i = after;
            continue;
        }
        if (runElement == SIZE_MAX) return false;
        e = runElement + 1;
        next(text, runResume);
        i = runResume;
    }
    while (e < elements_.size() && elements_[e].kind == Kind::AnyRun) ++e;
    return e == elements_.size();
}

}  // namespace db
