// The zip archive and streamed XML parts of an .xlsx workbook (see xlsx_package.h).
#include "platform/database/readers/xlsx_package.h"

#include <expat.h>
#include <sys/stat.h>
#include <zip.h>

#include <cstdio>
#include <cstring>

#include "text/codepage.h"
#include "platform/database/readers/sheet_table.h"
#include "platform/database/readers/workbook_format.h"
#include "platform/database/readers/xlsx_part_stream.h"
#include "platform/database/readers/xml_scanner.h"

namespace db::xlsx {
namespace {

using sheet::message;

std::string_view localName(const char* name) {
    const char* colon = std::strrchr(name, ':');
    return colon != nullptr ? std::string_view(colon + 1) : std::string_view(name);
}

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto* handler = static_cast<XmlHandler*>(data);
    if (!handler->stopped()) handler->startElement(localName(name), attributes);
}

void XMLCALL onEnd(void* data, const XML_Char* name) {
    auto* handler = static_cast<XmlHandler*>(data);
    if (!handler->stopped()) handler->endElement(localName(name));
}

void XMLCALL onCharacters(void* data, const XML_Char* text, int length) {
    auto* handler = static_cast<XmlHandler*>(data);
    if (!handler->stopped())
        handler->characters(std::string_view(text, static_cast<size_t>(length)));
}

// Workbook parts never declare a DTD; refusing one shuts out entity expansion bombs.
void XMLCALL onDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    static_cast<XmlHandler*>(data)->stop(message("含有文档类型声明（DTD）"));
}

// The first bytes of a file that is not a zip archive tell what it is instead.
std::string whatInstead(const std::string& localPath) {
    std::FILE* file = std::fopen(localPath.c_str(), "rb");
    if (file == nullptr) return message("无法打开文件。");
    std::string head(8, '\0');
    const size_t got = std::fread(head.data(), 1, head.size(), file);
    if (workbookFormatOf(std::string_view(head.data(), got)) != WorkbookFormat::Xls) {
        std::fclose(file);
        return message("不是 Excel 2007 及以后版本的工作簿（.xlsx），或文件已损坏。");
    }
    // An OLE compound file: an encrypted workbook keeps its package in a stream named
    // "EncryptedPackage"; anything else is an Excel 97-2003 workbook.
    static const char16_t kStream[] = u"EncryptedPackage";
    std::string needle;
    for (char16_t c : std::u16string_view(kStream)) {
        needle.push_back(static_cast<char>(c & 0xFF));
        needle.push_back(static_cast<char>(c >> 8));
    }
    std::string chunk(1 << 16, '\0');
    std::string carry;
    bool encrypted = false;
    size_t n;
    while (!encrypted && (n = std::fread(chunk.data(), 1, chunk.size(), file)) > 0) {
        std::string window = carry + chunk.substr(0, n);
        encrypted = window.find(needle) != std::string::npos;
        carry = window.substr(window.size() > needle.size() ? window.size() - needle.size() : 0);
    }
    std::fclose(file);
    return encrypted ? message("工作簿设有打开密码（已加密），请先在 Excel 中去掉密码。")
                     : message("这是 Excel 97-2003 工作簿（.xls），不是 .xlsx。");
}

class RelationshipReader : public XmlHandler {
  public:
    RelationshipReader(const std::string& source, std::vector<Relationship>& out)
        : source_(source), out_(out) {}
    void startElement(std::string_view name, const char** attributes) override {
        if (name != "Relationship") return;
        const char* id = attribute(attributes, "Id");
        const char* type = attribute(attributes, "Type");
        const char* target = attribute(attributes, "Target");
        const char* mode = attribute(attributes, "TargetMode");
        if (id == nullptr || target == nullptr) return;
        if (mode != nullptr && std::strcmp(mode, "External") == 0) return;
        out_.push_back({id, type != nullptr ? type : "", resolveTarget(source_, target)});
    }
    void endElement(std::string_view) override {}

  private:
    const std::string& source_;
    std::vector<Relationship>& out_;
};

}  // namespace

void XmlHandler::stop(std::string why) {
    if (stopped_) return;
    stopped_ = true;
    stopReason_ = std::move(why);
    if (parser_ != nullptr) XML_StopParser(static_cast<XML_Parser>(parser_), XML_FALSE);
}

const char* XmlHandler::attribute(const char** attributes, std::string_view local, bool prefixed) {
    // Called for every cell of a sheet: one pass over each name, no string built.
    for (const char** a = attributes; a != nullptr && a[0] != nullptr; a += 2) {
        const char* name = a[0];
        const char* colon = std::strrchr(name, ':');
        if (prefixed && colon == nullptr) continue;
        const char* own = colon != nullptr ? colon + 1 : name;
        if (std::strncmp(own, local.data(), local.size()) == 0 && own[local.size()] == '\0') return a[1];
    }
    return nullptr;
}

std::string resolveTarget(const std::string& sourcePart, const std::string& target) {
    std::string joined;
    if (!target.empty() && target[0] == '/') {
        joined = target.substr(1);
    } else {
        const size_t slash = sourcePart.rfind('/');
        joined =
            (slash == std::string::npos ? std::string() : sourcePart.substr(0, slash + 1)) + target;
    }
    // Fold "." and ".." segments; a ".." above the root is dropped.
    std::vector<std::string> segments;
    size_t start = 0;
    while (start <= joined.size()) {
        size_t end = joined.find('/', start);
        if (end == std::string::npos) end = joined.size();
        std::string segment = joined.substr(start, end - start);
        if (segment == "..") {
            if (!segments.empty()) segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(std::move(segment));
        }
        start = end + 1;
    }
    std::string out;
    for (const auto& s : segments) out += (out.empty() ? "" : "/") + s;
    return out;
}

Package::~Package() {
    if (archive_ != nullptr) zip_discard(archive_);
}

bool Package::open(const std::string& path, std::string& error) {
    path_ = path;
    const std::string local = codepage::toLocalPath(path);
    struct stat info {};
    if (::stat(local.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        error = message("找不到 Excel 工作簿“") + path + message("”。");
        return false;
    }
    int code = 0;
    archive_ = zip_open(local.c_str(), ZIP_RDONLY, &code);
    if (archive_ == nullptr) {
        error = message("无法读取 Excel 工作簿“") + path + message("”：") + whatInstead(local);
        return false;
    }
    return true;
}

bool Package::hasPart(const std::string& name) const {
    return archive_ != nullptr && zip_name_locate(archive_, name.c_str(), ZIP_FL_NOCASE) >= 0;
}

bool Package::parsePart(const std::string& name, XmlHandler& handler, std::string& error) const {
    return readPart(name, handler, false, error);
}

bool Package::scanPart(const std::string& name, XmlHandler& handler, std::string& error) const {
    return readPart(name, handler, true, error);
}

bool Package::readPart(const std::string& name, XmlHandler& handler, bool useScanner, std::string& error) const {
    const std::string failure = message("无法读取 Excel 工作簿“") + path_ + message("”的“") +
                                codepage::utf8ToGbk(name) + message("”部分：");
    const zip_int64_t index =
        archive_ != nullptr ? zip_name_locate(archive_, name.c_str(), ZIP_FL_NOCASE) : -1;
    if (index < 0) {
        error = failure + message("文件中没有这一部分。");
        return false;
    }
    PartStream file;
    if (!file.open(archive_, static_cast<zip_uint64_t>(index))) {
        error = failure + message("无法解压（文件已损坏或已加密）。");
        return false;
    }
    XML_Parser parser = XML_ParserCreate(nullptr);
    if (parser == nullptr) {
        error = failure + message("内存不足。");
        return false;
    }
    handler.parser_ = parser;
    XML_SetUserData(parser, &handler);
    XML_SetElementHandler(parser, onStart, onEnd);
    XML_SetCharacterDataHandler(parser, onCharacters);
    XML_SetStartDoctypeDeclHandler(parser, onDoctype);

    std::string problem;
    XmlScanner scanner(handler);
    std::vector<char> buffer(1 << 16);
    uint64_t total = 0;
    for (;;) {
        const int64_t got = file.read(buffer.data(), buffer.size());
        if (got < 0) {
            problem = message("解压失败，文件已损坏。");
            break;
        }
        total += static_cast<uint64_t>(got);
        if (total > kMaxPartBytes) {
            problem = message("解压后超过 ") + std::to_string(kMaxPartBytes >> 20) +
                      message(" MB，拒绝读取。");
            break;
        }
        const bool last = got == 0;
        if (total == static_cast<uint64_t>(got) && got >= 2 &&
            ((buffer[0] == '\xFF' && buffer[1] == '\xFE') || (buffer[0] == '\xFE' && buffer[1] == '\xFF')))
            useScanner = false;  // UTF-16: expat's business
        if (useScanner) {
            if (!scanner.feed(buffer.data(), static_cast<size_t>(got), last, problem) || handler.stopped()) {
                if (handler.stopped())
                    problem = handler.stopReason().empty() ? message("内容无法识别。") : handler.stopReason();
                break;
            }
            if (last) break;
            continue;
        }
        if (XML_Parse(parser, buffer.data(), static_cast<int>(got), last ? 1 : 0) !=
            XML_STATUS_OK) {
            if (handler.stopped()) {
                problem =
                    handler.stopReason().empty() ? message("内容无法识别。") : handler.stopReason();
            } else {
                problem = message("XML 格式错误（第 ") +
                          std::to_string(XML_GetCurrentLineNumber(parser)) + message(" 行：") +
                          XML_ErrorString(XML_GetErrorCode(parser)) + message("）。");
            }
            break;
        }
        if (handler.stopped()) {
            problem =
                handler.stopReason().empty() ? message("内容无法识别。") : handler.stopReason();
            break;
        }
        if (last) break;
    }
    handler.parser_ = nullptr;
    XML_ParserFree(parser);
    if (!problem.empty()) {
        error = failure + problem;
        return false;
    }
    return true;
}

bool Package::relationships(const std::string& part, std::vector<Relationship>& out,
                            std::string& error) const {
    out.clear();
    const size_t slash = part.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
    const std::string file = slash == std::string::npos ? part : part.substr(slash + 1);
    const std::string relsPart = folder + "_rels/" + file + ".rels";
    if (!hasPart(relsPart)) return true;
    RelationshipReader reader(part, out);
    return parsePart(relsPart, reader, error);
}

}  // namespace db::xlsx
