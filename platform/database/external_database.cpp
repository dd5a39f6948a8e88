// The external-database component: connections, statements and record sets.
#include "platform/database/external_database.h"

#include <dirent.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <map>

#include "text/codepage.h"
#include "text/gbk_text.h"
#include "platform/database/column_value.h"
#include "platform/database/connection_string.h"
#include "platform/database/fast_codec.h"
#include "platform/database/readers/readers.h"
#include "platform/database/readers/workbook_format.h"
#include "platform/database/sql_translation.h"
#include "platform/database/table_cache.h"

namespace db {
namespace {

std::string message(const char* utf8) { return codepage::utf8ToGbk(utf8); }

bool isDirectory(const std::string& gbkPath) {
    struct stat st {};
    return ::stat(codepage::toLocalPath(gbkPath).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A folder whose entries we may not list or reach: permission, not absence, is why a
// table there is not found.
bool folderForbidden(const std::string& gbkPath) {
    return ::access(codepage::toLocalPath(gbkPath).c_str(), R_OK | X_OK) != 0 && errno == EACCES;
}

// A text or dBASE table is a file of the data-source folder: a name with a path in it
// ("../x.csv", "/etc/x.csv", "C:\x.csv") would read a file outside that folder.
bool namesAnotherFolder(const std::string& table) {
    return table.find('/') != std::string::npos || gbk::find(table, "\\") >= 0;
}

// The entry of `directory` named `name`, compared without regard to ASCII case when no
// entry has exactly that name (Windows file names ignore case, and so did the drivers).
// Empty when there is none.
std::string findInDirectory(const std::string& directory, const std::string& name) {
    FileStamp stamp;
    if (fileStamp(directory + name, stamp)) return name;
    std::string match;
    if (DIR* dir = ::opendir(codepage::toLocalPath(directory).c_str())) {
        const std::string wanted = gbk::lower(name);
        while (dirent* entry = ::readdir(dir)) {
            const std::string candidate = codepage::fromLocalPath(entry->d_name);
            if (gbk::lower(candidate) == wanted) {
                match = candidate;
                break;
            }
        }
        ::closedir(dir);
    }
    return match;
}

// Why a workbook cannot be used, for a format that is neither .xls nor .xlsx.
std::string workbookProblem(WorkbookFormat format, const std::string& file) {
    if (format == WorkbookFormat::Unreadable)
        return message(errno == EACCES ? "没有读取 Excel 工作簿的权限：" : "无法打开 Excel 工作簿：") + file;
    return message("不是 Excel 工作簿：") + file;
}

// A name from `names` equal to `wanted`, exactly or else without regard to ASCII case.
const std::string* pickName(const std::vector<std::string>& names, const std::string& wanted) {
    for (const auto& name : names)
        if (name == wanted) return &name;
    const std::string lowered = gbk::lower(wanted);
    for (const auto& name : names)
        if (gbk::lower(name) == lowered) return &name;
    return nullptr;
}

// Sheet1$ and 'my sheet$' as statements write them -> the sheet's own name.
std::string sheetName(std::string table) {
    if (table.size() >= 2 && table.front() == '\'' && table.back() == '\'') {
        table = gbk::replaceAll(table.substr(1, table.size() - 2), "''", "'");
    }
    if (!table.empty() && table.back() == '$') table.pop_back();
    return table;
}

struct RecordSet {
    sqlite3_stmt* stmt = nullptr;
    bool atEnd = true;
    std::vector<std::string> names;  // GBK
    std::vector<ColumnType> types;
};

}  // namespace

struct ExternalDatabase::Impl {
    bool open = false;
    ConnectionTarget target;
    std::map<int, RecordSet> sets;
    // The set found last: a fill reads every field of every row of one set, and asks for
    // it by number each time. Map nodes stay put until erased, which forgets this.
    int lastNumber = 0;
    RecordSet* lastSet = nullptr;
    int nextSet = 1;
    std::string error;
    bool dataFileFailed = false;  // see lastFailureWasDataFile()

    ~Impl() { closeAll(); }
    void closeAll() {
        for (auto& [number, set] : sets) sqlite3_finalize(set.stmt);
        sets.clear();
        lastSet = nullptr;
    }

    bool fail(std::string why) {
        error = std::move(why);
        return false;
    }
    int failSet(std::string why) {
        error = std::move(why);
        return 0;
    }

    // Checks that the source exists (and, for Access, that the password is right) without
    // reading it again when an unchanged file passed before.
    bool check(const ConnectionTarget& candidate) {
        if (candidate.kind == SourceKind::Text || candidate.kind == SourceKind::Dbase) {
            errno = 0;
            if (!isDirectory(candidate.path)) {
                if (errno == EACCES) return fail(message("没有权限进入数据源目录：") + candidate.path);
                return fail(message("找不到数据源目录：") + candidate.path);
            }
            return true;
        }
        FileStamp stamp;
        if (!fileStamp(candidate.path, stamp)) return fail(message("找不到数据库文件：") + candidate.path);
        auto& cache = TableCache::instance();
        const std::string key = std::string(candidate.kind == SourceKind::Access ? "mdb|" : "xls|") +
                                candidate.path + '\0' + candidate.password;
        if (cache.checked(key, stamp)) return true;
        if (candidate.kind == SourceKind::Workbook) {
            const WorkbookFormat format = workbookFormatOfFile(candidate.path);
            if (format != WorkbookFormat::Xls && format != WorkbookFormat::Xlsx)
                return fail(workbookProblem(format, candidate.path));
        } else {
            std::vector<std::string> tables;
            std::string why;
            if (!listMdbTables(candidate.path, candidate.password, tables, why)) return fail(why);
        }
        cache.markChecked(key, stamp);
        return true;
    }

    // Where the statement's table lives, the cache key of its loaded form, and how to
    // load it. False when the table cannot be found.
    bool resolve(const std::string& table, std::string& file, std::string& key, TableCache::Loader& loader) {
        const ConnectionTarget s = target;
        switch (s.kind) {
        case SourceKind::Text:
        case SourceKind::Dbase: {
            std::string directory = s.path;
            if (!directory.empty() && directory.back() != '/') directory += '/';
            if (namesAnotherFolder(table))
                return fail(message("表名中不能有路径，表只能是数据源目录中的文件：") + table);
            std::string name = findInDirectory(directory, table);
            if (name.empty() && s.kind == SourceKind::Dbase && gbk::find(table, ".") < 0)
                name = findInDirectory(directory, table + ".dbf");
            if (name.empty() && folderForbidden(directory))
                return fail(message("没有权限读取数据源目录：") + directory);
            if (name.empty()) return fail(message("找不到表文件：") + directory + table);
            file = directory + name;
            key = (s.kind == SourceKind::Text ? "txt|" : "dbf|") + file;
            if (s.kind == SourceKind::Text) {
                loader = [file](TableSink& sink, std::string& why) { return readTextTableInto(file, sink, why); };
            } else {
                loader = [file](TableSink& sink, std::string& why) { return readDbfTableInto(file, sink, why); };
            }
            return true;
        }
        case SourceKind::Workbook: {
            file = s.path;
            const std::string sheet = sheetName(table);
            key = "sheet|" + file + '\0' + gbk::lower(table);
            loader = [file, table, sheet](TableSink& sink, std::string& why) {
                const WorkbookFormat format = workbookFormatOfFile(file);
                if (format != WorkbookFormat::Xls && format != WorkbookFormat::Xlsx) {
                    why = workbookProblem(format, file);
                    return false;
                }
                const bool xls = format == WorkbookFormat::Xls;
                // A name without the sheet's "$" may be a named range (listed after the sheets).
                if (xls && !table.empty() && table.back() != '$' && table.back() != '\'') {
                    std::vector<std::string> ranges;
                    if (!listXlsNamedRanges(file, ranges, why)) return false;
                    if (const std::string* range = pickName(ranges, table)) return readXlsRangeInto(file, *range, sink, why);
                }
                std::vector<std::string> sheets;
                if (!(xls ? listXlsSheets(file, sheets, why) : listXlsxSheets(file, sheets, why))) return false;
                const std::string* name = pickName(sheets, sheet);
                if (!name) {
                    why = message("工作簿中没有这个工作表：") + sheet;
                    return false;
                }
                return xls ? readXlsSheetInto(file, *name, sink, why) : readXlsxSheetInto(file, *name, sink, why);
            };
            return true;
        }
        case SourceKind::Access: {
            file = s.path;
            key = "table|" + file + '\0' + gbk::lower(table) + '\0' + s.password;
            loader = [file, table, password = s.password](TableSink& sink, std::string& why) {
                std::vector<std::string> tables;
                if (!listMdbTables(file, password, tables, why)) return false;
                const std::string* name = pickName(tables, table);
                if (!name) {
                    why = message("数据库中没有这个表：") + table;
                    return false;
                }
                return readMdbTableInto(file, password, *name, sink, why);
            };
            return true;
        }
        }
        return false;
    }

    // The set numbered `number`, null when there is none.
    RecordSet* find(int number) {
        if (lastSet && lastNumber == number) return lastSet;
        auto found = sets.find(number);
        if (found == sets.end()) return nullptr;
        lastNumber = number;
        lastSet = &found->second;
        return lastSet;
    }
    void erase(int number) {
        if (lastNumber == number) lastSet = nullptr;
        sets.erase(number);
    }

    const RecordSet* current(int number) {
        const RecordSet* set = find(number);
        return set && !set->atEnd ? set : nullptr;
    }

    static Value read(const RecordSet& set, int index) {
        return readColumn(set.stmt, index, set.types[static_cast<size_t>(index)]);
    }

    void step(RecordSet& set) {
        set.atEnd = sqlite3_step(set.stmt) != SQLITE_ROW;
    }
};

ExternalDatabase::ExternalDatabase() : impl_(std::make_unique<Impl>()) {}
ExternalDatabase::~ExternalDatabase() = default;

// A checked target replaces the previous connection; a failed check keeps it.
bool ExternalDatabase::adopt(const ConnectionTarget& target) {
    if (!impl_->check(target)) return false;
    close();
    impl_->target = target;
    impl_->open = true;
    impl_->error.clear();
    return true;
}

bool ExternalDatabase::open(const std::string& connectionString) {
    ConnectionTarget target;
    std::string why;
    if (!parseConnectionString(connectionString, target, why)) return impl_->fail(why);
    return adopt(target);
}

// The connection the Access record string describes, made directly: going through the
// string would cut a password holding ";" short, which the drivers' own strings could not
// carry either.
bool ExternalDatabase::openAccessFile(const std::string& file, const std::string& password) {
    ConnectionTarget target;
    target.kind = SourceKind::Access;
    target.path = file;
    target.password = password;
    return adopt(target);
}

void ExternalDatabase::close() {
    impl_->closeAll();
    impl_->open = false;
}

bool ExternalDatabase::isOpen() const { return impl_->open; }

bool ExternalDatabase::lastFailureWasDataFile() const { return impl_->dataFileFailed && !impl_->error.empty(); }

int ExternalDatabase::openRecordSet(const std::string& sql) {
    Impl& d = *impl_;
    d.dataFileFailed = false;
    if (!d.open) return d.failSet(message("没有打开的数据库连接"));
    TranslatedStatement statement;
    std::string why;
    if (!translateStatement(sql, statement, why)) return d.failSet(why);

    std::string file, key;
    TableCache::Loader loader;
    d.dataFileFailed = true;
    if (!d.resolve(statement.table, file, key, loader)) return 0;
    FileStamp stamp;
    if (!fileStamp(file, stamp)) return d.failSet(message("找不到数据文件：") + file);
    auto& cache = TableCache::instance();
    std::string internalName;
    if (!cache.table(key, stamp, loader, internalName, why)) return d.failSet(why);
    d.dataFileFailed = false;

    // Again, now that the column types are known: they decide how LIKE and "=" compare.
    if (!translateStatement(sql, statement, why, &cache.columns(internalName))) return d.failSet(why);
    RecordSet set;
    set.stmt = cache.prepareSelect(bindTableName(statement, internalName), internalName, why);
    if (!set.stmt) return d.failSet(why);
    const int rc = sqlite3_step(set.stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        why = codec::utf8ToGbk(sqlite3_errmsg(cache.database()));
        sqlite3_finalize(set.stmt);
        return d.failSet(why);
    }
    set.atEnd = rc != SQLITE_ROW;
    const int columns = sqlite3_column_count(set.stmt);
    for (int i = 0; i < columns; ++i) {
        const char* name = sqlite3_column_name(set.stmt, i);
        set.names.push_back(codec::utf8ToGbk(name ? name : ""));
        set.types.push_back(columnTypeFromDeclared(sqlite3_column_decltype(set.stmt, i)));
    }
    const int number = d.nextSet++;
    d.sets.emplace(number, std::move(set));
    d.error.clear();
    return number;
}

void ExternalDatabase::moveFirst(int recordSet) {
    RecordSet* set = impl_->find(recordSet);
    if (!set) return;
    sqlite3_reset(set->stmt);
    impl_->step(*set);
}

void ExternalDatabase::moveNext(int recordSet) {
    RecordSet* set = impl_->find(recordSet);
    if (!set || set->atEnd) return;
    impl_->step(*set);
}

bool ExternalDatabase::atEnd(int recordSet) const {
    const RecordSet* set = impl_->find(recordSet);
    return !set || set->atEnd;
}

Value ExternalDatabase::field(int recordSet, const std::string& name) const {
    const RecordSet* set = impl_->current(recordSet);
    if (!set) return std::string();
    for (size_t i = 0; i < set->names.size(); ++i)
        if (set->names[i] == name) return Impl::read(*set, static_cast<int>(i));
    return std::string();
}

Value ExternalDatabase::field(int recordSet, int number) const {
    const RecordSet* set = impl_->current(recordSet);
    if (!set || number < 1 || number > static_cast<int>(set->names.size())) return std::string();
    return Impl::read(*set, number - 1);
}

std::string ExternalDatabase::fieldText(int recordSet, const std::string& name) const {
    const RecordSet* set = impl_->current(recordSet);
    if (!set) return std::string();
    for (size_t i = 0; i < set->names.size(); ++i)
        if (set->names[i] == name) return readColumnText(set->stmt, static_cast<int>(i), set->types[i]);
    return std::string();
}

std::string ExternalDatabase::fieldText(int recordSet, int number) const {
    std::string text;
    fieldText(recordSet, number, text);
    return text;
}

void ExternalDatabase::fieldText(int recordSet, int number, std::string& text) const {
    const RecordSet* set = impl_->current(recordSet);
    if (!set || number < 1 || number > static_cast<int>(set->names.size())) {
        text.clear();
        return;
    }
    readColumnText(set->stmt, number - 1, set->types[static_cast<size_t>(number - 1)], text);
}

int ExternalDatabase::fieldCount(int recordSet) const {
    const RecordSet* set = impl_->find(recordSet);
    return set ? static_cast<int>(set->names.size()) : 0;
}

std::vector<std::string> ExternalDatabase::fieldNames(int recordSet) const {
    const RecordSet* set = impl_->find(recordSet);
    return set ? set->names : std::vector<std::string>{};
}

void ExternalDatabase::closeRecordSet(int recordSet) {
    RecordSet* set = impl_->find(recordSet);
    if (!set) return;
    sqlite3_finalize(set->stmt);
    impl_->erase(recordSet);
}

const std::string& ExternalDatabase::lastError() const { return impl_->error; }

}  // namespace db
