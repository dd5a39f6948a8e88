// A small streaming scanner for the UTF-8 XML of worksheet parts, where a general parser
// spends most of a large sheet's load: elements, attributes, text, the five named
// entities and character references, comments, CDATA and processing instructions. It
// feeds the same XmlHandler as the package's expat parser (xlsx_package.h).
//
// What it refuses: a DTD, an unknown entity, a tag left open at the end, text outside
// the root element, an end tag without a start. What it does not check, unlike expat:
// that an end tag names the element it closes, and that names and texts are valid UTF-8
// (the GBK conversion makes anything that is not into "?").
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/database/readers/xlsx_package.h"

namespace db::xlsx {

class XmlScanner {
public:
    explicit XmlScanner(XmlHandler& handler) : handler_(handler) {}

    // The next piece of the part; `last` for the final one (it may be empty). False with
    // a GBK reason when the XML is malformed; a handler that stops ends the scan too
    // (the caller reads its reason).
    bool feed(const char* data, size_t size, bool last, std::string& why);

private:
    bool scan(bool last, std::string& why);
    // One tag that starts at buffer_[at_] and ends just before `close`.
    bool tag(size_t close, std::string& why);
    bool text(size_t begin, size_t end, std::string& why);

    XmlHandler& handler_;
    std::string buffer_;
    size_t at_ = 0;
    int depth_ = 0;
    bool rootSeen_ = false;
    std::vector<const char*> attributes_;
    std::string text_;
};

}  // namespace db::xlsx
