// The streaming worksheet XML scanner (see xml_scanner.h).
#include "platform/database/readers/xml_scanner.h"

#include <array>
#include <cstring>
#include <string_view>

#include "platform/database/fast_codec.h"
#include "platform/database/readers/sheet_table.h"

namespace db::xlsx {
namespace {

using sheet::message;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The bytes that end a run inside a tag: quotes, "<" and ">".
constexpr auto kTagStop = [] {
    std::array<bool, 256> stop{};
    for (unsigned char c : {'"', '\'', '<', '>'}) stop[c] = true;
    return stop;
}();

// Names are a few bytes: a plain loop, not rfind's call, for every tag.
std::string_view localName(std::string_view name) {
    for (size_t i = name.size(); i > 0; --i)
        if (name[i - 1] == ':') return name.substr(i);
    return name;
}


// Appends `raw` to `out` with its entities and character references replaced. False
// for an unknown or unfinished entity or a reference to no character.
bool decodeEntities(std::string_view raw, std::string& out) {
    size_t from = 0;
    for (size_t amp = raw.find('&'); amp != std::string_view::npos; amp = raw.find('&', from)) {
        out.append(raw.substr(from, amp - from));
        const size_t semi = raw.find(';', amp);
        if (semi == std::string_view::npos || semi - amp > 12) return false;
        const std::string_view name = raw.substr(amp + 1, semi - amp - 1);
        if (name.size() >= 2 && name[0] == '#') {  // first: some writers write every non-ASCII character so
            const bool hex = name[1] == 'x';
            uint32_t code = 0;
            const std::string_view digits = name.substr(hex ? 2 : 1);
            if (digits.empty()) return false;
            for (char c : digits) {
                uint32_t d;
                if (c >= '0' && c <= '9') d = static_cast<uint32_t>(c - '0');
                else if (hex && (c | 0x20) >= 'a' && (c | 0x20) <= 'f') d = static_cast<uint32_t>((c | 0x20) - 'a' + 10);
                else return false;
                code = code * (hex ? 16 : 10) + d;
                if (code > 0x10FFFF) return false;
            }
            if (code == 0 || (code >= 0xD800 && code < 0xE000)) return false;
            codec::appendUtf8(code, out);
        } else if (name == "lt") {
            out.push_back('<');
        } else if (name == "gt") {
            out.push_back('>');
        } else if (name == "amp") {
            out.push_back('&');
        } else if (name == "quot") {
            out.push_back('"');
        } else if (name == "apos") {
            out.push_back('\'');
        } else {
            return false;
        }
        from = semi + 1;
    }
    out.append(raw.substr(from));
    return true;
}

}  // namespace

bool XmlScanner::feed(const char* data, size_t size, bool last, std::string& why) {
    // Keep only what is not yet scanned, so that the buffer holds about one piece.
    if (at_ > 0) {
        buffer_.erase(0, at_);
        at_ = 0;
    }
    buffer_.append(data, size);
    if (!scan(last, why)) return false;
    if (last && (depth_ != 0 || !rootSeen_ || at_ != buffer_.size())) {
        why = message("XML 不完整（文件被截断）。");
        return false;
    }
    return true;
}

bool XmlScanner::text(size_t begin, size_t end, std::string& why) {
    std::string_view raw(buffer_.data() + begin, end - begin);
    if (!rootSeen_ && raw.rfind("\xEF\xBB\xBF", 0) == 0) raw.remove_prefix(3);  // a byte-order mark
    if (depth_ == 0) {
        for (char c : raw)
            if (!isSpace(c)) {
                why = message("XML 格式错误（根元素之外有文字）。");
                return false;
            }
        return true;
    }
    if (raw.find('&') == std::string_view::npos) {
        handler_.characters(raw);
        return true;
    }
    text_.clear();
    if (!decodeEntities(raw, text_)) {
        why = message("XML 格式错误（无法识别的实体引用）。");
        return false;
    }
    handler_.characters(text_);
    return true;
}

bool XmlScanner::tag(size_t close, std::string& why) {
    char* const base = buffer_.data();
    size_t p = at_ + 1;
    if (base[p] == '/') {
        size_t end = p + 1;
        while (end < close && !isSpace(base[end])) ++end;
        if (--depth_ < 0) {
            why = message("XML 格式错误（多余的结束标记）。");
            return false;
        }
        handler_.endElement(localName(std::string_view(base + p + 1, end - p - 1)));
        return true;
    }
    size_t nameEnd = p;
    while (nameEnd < close && !isSpace(base[nameEnd]) && base[nameEnd] != '/') ++nameEnd;
    const std::string_view name = localName(std::string_view(base + p, nameEnd - p));
    if (name.empty() || (depth_ == 0 && rootSeen_)) {
        why = message("XML 格式错误（元素不完整或有多个根元素）。");
        return false;
    }
    attributes_.clear();
    bool selfClosing = false;
    size_t i = nameEnd;
    while (i < close) {
        if (isSpace(base[i])) {
            ++i;
            continue;
        }
        if (base[i] == '/') {
            selfClosing = true;
            ++i;
            continue;
        }
        const size_t attrName = i;
        while (i < close && base[i] != '=' && !isSpace(base[i])) ++i;
        const size_t attrNameEnd = i;
        while (i < close && isSpace(base[i])) ++i;
        if (i >= close || base[i] != '=') {
            why = message("XML 格式错误（属性没有值）。");
            return false;
        }
        ++i;
        while (i < close && isSpace(base[i])) ++i;
        if (i >= close || (base[i] != '"' && base[i] != '\'')) {
            why = message("XML 格式错误（属性值没有引号）。");
            return false;
        }
        const char quote = base[i++];
        const size_t value = i;
        while (i < close && base[i] != quote) ++i;
        if (i >= close) {
            why = message("XML 格式错误（属性值没有结束引号）。");
            return false;
        }
        // Names and values are ended in place; a decoded value is never longer.
        base[attrNameEnd] = '\0';
        const std::string_view raw(base + value, i - value);
        if (raw.find('&') != std::string_view::npos) {
            text_.clear();
            if (!decodeEntities(raw, text_)) {
                why = message("XML 格式错误（无法识别的实体引用）。");
                return false;
            }
            std::memcpy(base + value, text_.data(), text_.size());
            base[value + text_.size()] = '\0';
        } else {
            base[i] = '\0';
        }
        attributes_.push_back(base + attrName);
        attributes_.push_back(base + value);
        ++i;
    }
    attributes_.push_back(nullptr);
    rootSeen_ = true;
    ++depth_;
    handler_.startElement(name, attributes_.data());
    if (selfClosing && !handler_.stopped()) {
        --depth_;
        handler_.endElement(name);
    }
    return true;
}

bool XmlScanner::scan(bool last, std::string& why) {
    const size_t size = buffer_.size();
    while (at_ < size && !handler_.stopped()) {
        const char* const base = buffer_.data();
        if (base[at_] != '<') {
            const void* lt = std::memchr(base + at_, '<', size - at_);
            if (lt == nullptr && !last) return true;  // the text may go on in the next piece
            const size_t end = lt == nullptr ? size : static_cast<size_t>(static_cast<const char*>(lt) - base);
            if (!text(at_, end, why)) return false;
            at_ = end;
            continue;
        }
        const std::string_view rest(base + at_, size - at_);
        auto skipTo = [&](std::string_view closing, bool isText) -> int {  // 1 done, 0 wait, -1 bad
            const size_t found = rest.find(closing);
            if (found == std::string_view::npos) return last ? -1 : 0;
            if (isText) {
                if (depth_ == 0) return -1;
                handler_.characters(rest.substr(9, found - 9));
            }
            at_ += found + closing.size();
            return 1;
        };
        int outcome = 1;
        if (rest.size() < 9 && !last && (rest.size() < 2 || rest[1] == '!')) return true;  // too short to tell
        if (rest.size() >= 2 && rest[1] == '?') {
            outcome = skipTo("?>", false);
        } else if (rest.rfind("<!--", 0) == 0) {
            outcome = skipTo("-->", false);
        } else if (rest.rfind("<![CDATA[", 0) == 0) {
            outcome = skipTo("]]>", true);
        } else if (rest.size() >= 2 && rest[1] == '!') {
            // Workbook parts never declare a DTD; refusing one shuts out entity bombs.
            why = message("含有文档类型声明（DTD）");
            return false;
        } else {
            // The tag ends at the first ">" outside quotes: the bytes up to the next
            // quote, "<" or ">" are passed over in a tight loop, a quoted value with memchr.
            size_t close = 1;
            while (close < rest.size()) {
                while (close < rest.size() && !kTagStop[static_cast<unsigned char>(rest[close])]) ++close;
                if (close == rest.size()) break;
                const char c = rest[close];
                if (c == '>') break;
                if (c == '<') {
                    why = message("XML 格式错误（标记中有“<”）。");
                    return false;
                }
                const void* end = std::memchr(rest.data() + close + 1, c, rest.size() - close - 1);
                close = end == nullptr ? rest.size() : static_cast<size_t>(static_cast<const char*>(end) - rest.data()) + 1;
            }
            if (close == rest.size()) outcome = last ? -1 : 0;
            else if (!tag(at_ + close, why)) return false;
            else at_ += close + 1;
        }
        if (outcome == 0) return true;
        if (outcome < 0) {
            why = message("XML 不完整（文件被截断）。");
            return false;
        }
    }
    return true;
}

}  // namespace db::xlsx
