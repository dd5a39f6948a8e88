// The package layer of an .xlsx workbook: the zip archive (libzip) and its XML parts
// streamed through expat, with the limits that keep a hostile file from exhausting
// memory or time. What the parts mean is xlsx_reader.cpp's business.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct zip;

namespace db::xlsx {

// No part of a workbook we read may unpack to more than this; a zip bomb stops here.
inline constexpr uint64_t kMaxPartBytes = 2048ull * 1024 * 1024;

// Receives the elements of one XML part. Names come without their namespace prefix
// ("x:sheet" arrives as "sheet"). A handler may call stop() to abandon the part.
class XmlHandler {
  public:
    virtual ~XmlHandler() = default;
    virtual void startElement(std::string_view name, const char** attributes) = 0;
    virtual void endElement(std::string_view name) = 0;
    virtual void characters(std::string_view) {}

    // Ends the parse as a failure with `why` (GBK) as the reason.
    void stop(std::string why);
    const std::string& stopReason() const { return stopReason_; }
    bool stopped() const { return stopped_; }

    // The value of the attribute whose local name is `local`; with `prefixed`, only an
    // attribute that carries a namespace prefix (r:id) counts. nullptr when absent.
    static const char* attribute(const char** attributes, std::string_view local,
                                 bool prefixed = false);

  private:
    friend class Package;
    void* parser_ = nullptr;
    bool stopped_ = false;
    std::string stopReason_;
};

// One relationship of a part (_rels/*.rels): its id, its type URI and the part it names,
// already resolved to a path inside the archive.
struct Relationship {
    std::string id, type, target;
};

class Package {
  public:
    Package() = default;
    ~Package();
    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;

    // Opens the archive at `path` (GBK). False with a GBK message when the file is
    // missing, not a zip archive (an .xls, an encrypted workbook) or damaged.
    bool open(const std::string& path, std::string& error);

    bool hasPart(const std::string& name) const;
    // Streams the part through expat into `handler`. False with a message when the part
    // is missing, damaged, too large, not well-formed XML, declares a DTD, or the
    // handler stopped.
    bool parsePart(const std::string& name, XmlHandler& handler, std::string& error) const;
    // The same through the streaming scanner of xml_scanner.h, several times faster than
    // expat on a large worksheet; a part in UTF-16 still goes through expat.
    bool scanPart(const std::string& name, XmlHandler& handler, std::string& error) const;
    // The relationships of `part` ("xl/workbook.xml" -> "xl/_rels/workbook.xml.rels"); an
    // absent .rels part gives an empty list and true.
    bool relationships(const std::string& part, std::vector<Relationship>& out,
                       std::string& error) const;

  private:
    bool readPart(const std::string& name, XmlHandler& handler, bool scanner, std::string& error) const;
    struct zip* archive_ = nullptr;
    std::string path_;  // GBK, for messages
};

// A relationship target resolved against the folder of the part that names it.
std::string resolveTarget(const std::string& sourcePart, const std::string& target);

}  // namespace db::xlsx
