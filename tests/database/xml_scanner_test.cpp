// The worksheet XML scanner: the same events whatever the piece boundaries, entities and
// the rarer constructs, and malformed XML refused.
#include <gtest/gtest.h>

#include <string>

#include "platform/database/readers/xml_scanner.h"

namespace {

// Writes every event as a line: "<name a=v ...", ">name", "text".
class EventLog : public db::xlsx::XmlHandler {
public:
    std::string log;
    void startElement(std::string_view name, const char** attributes) override {
        log += "<" + std::string(name);
        for (const char** a = attributes; *a != nullptr; a += 2) log += " " + std::string(a[0]) + "=" + a[1];
        log += "\n";
    }
    void endElement(std::string_view name) override { log += ">" + std::string(name) + "\n"; }
    void characters(std::string_view text) override {
        // Adjacent text events are one text.
        if (!log.empty() && log.back() == '|') log.pop_back();
        else log += "text ";
        log += std::string(text) + "|";
    }
};

// Scans `xml` in pieces of `piece` bytes; the log, or "ERROR" on failure.
std::string scan(const std::string& xml, size_t piece) {
    EventLog handler;
    db::xlsx::XmlScanner scanner(handler);
    std::string why;
    for (size_t at = 0; at < xml.size(); at += piece)
        if (!scanner.feed(xml.data() + at, std::min(piece, xml.size() - at), false, why)) return "ERROR";
    if (!scanner.feed(nullptr, 0, true, why)) return "ERROR";
    return handler.log;
}

TEST(XmlScanner, SameEventsAtEveryPieceSize) {
    const std::string xml =
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!-- a comment with <c> inside -->"
        "<x:worksheet xmlns:x=\"urn:x\"><x:sheetData>"
        "<x:row r=\"1\"><x:c r=\"A1\" t='s' x:s=\"a&gt;b&amp;c&#x41;&#66;\"><x:v>12</x:v></x:c>"
        "<x:c r=\"B1\" t=\"inlineStr\"><x:is><x:t>&lt;\xE5\xBC\xA0&quot;&apos;<![CDATA[<raw>&amp;]]></x:t></x:is></x:c>"
        "<x:c r=\"C1\" f=\"1>0\"/></x:row><row/></x:sheetData></x:worksheet>\n";
    const std::string expected = scan(xml, xml.size());
    ASSERT_NE(expected, "ERROR");
    EXPECT_NE(expected.find("<c r=A1 t=s x:s=a>b&cAB\n"), std::string::npos) << expected;
    EXPECT_NE(expected.find("text <\xE5\xBC\xA0\"'<raw>&amp;|"), std::string::npos) << expected;
    EXPECT_NE(expected.find("<c r=C1 f=1>0\n>c\n"), std::string::npos) << expected;
    EXPECT_NE(expected.find("<row\n>row\n"), std::string::npos) << expected;
    for (size_t piece = 1; piece < 40; ++piece) EXPECT_EQ(scan(xml, piece), expected) << "pieces of " << piece;
}

TEST(XmlScanner, MalformedXmlIsRefused) {
    for (const char* xml : {
             "<!DOCTYPE w [<!ENTITY a \"b\">]><w>&a;</w>",  // a DTD
             "<w>&nbsp;</w>",                                // an entity XML does not define
             "<w>&#0;</w>",                                  // a reference to no character
             "<w><c r=\"A1\"><v>1</v>",                      // cut off
             "<w><c r=\"A1",                                 // cut off inside a tag
             "<w/>text",                                     // text outside the root
             "<w/><w/>",                                     // two roots
             "<w></c></w>",                                  // an end tag too many
             "<w><c r=A1/></w>",                             // an attribute without quotes
             "",                                             // nothing at all
         }) {
        EXPECT_EQ(scan(xml, 1000), "ERROR") << xml;
        EXPECT_EQ(scan(xml, 3), "ERROR") << xml;
    }
}

}  // namespace
