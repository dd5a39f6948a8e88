// Loading tables into the shared in-memory SQLite database, and keeping them.
#include "platform/database/table_cache.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cstring>
#include <map>
#include <new>
#include <set>
#include <stdexcept>

#include "text/codepage.h"
#include "platform/database/fast_codec.h"
#include "platform/database/sql_functions.h"
#include "platform/database/sql_translation.h"

namespace db {
namespace {

// Tables kept at once. The programs read one table at a time; a few more spare a reload
// when the user switches back and forth between tables or files.
constexpr size_t kMaxTables = 6;

std::string sqliteError(sqlite3* db) { return codec::utf8ToGbk(sqlite3_errmsg(db)); }

bool exec(sqlite3* db, const std::string& sql, std::string* error = nullptr) {
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK) return true;
    if (error) *error = sqliteError(db);
    return false;
}

// Field names made acceptable to SQLite, which wants them unique without regard to ASCII
// case: an empty or repeated name becomes F<column number> (then F<n>_2, ...), the name
// Jet gives a field it cannot name from the file.
std::vector<std::string> uniqueColumnNames(const std::vector<std::string>& gbkNames) {
    std::vector<std::string> names;
    std::set<std::string> taken;
    auto fold = [](std::string s) {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return s;
    };
    for (size_t i = 0; i < gbkNames.size(); ++i) {
        std::string name = codec::gbkToUtf8(gbkNames[i]);
        if (name.empty() || taken.count(fold(name))) {
            const std::string base = "F" + std::to_string(i + 1);
            name = base;
            for (int k = 2; taken.count(fold(name)); ++k) name = base + "_" + std::to_string(k);
        }
        taken.insert(fold(name));
        names.push_back(name);
    }
    return names;
}

// Rows inserted by one statement: each statement run costs about as much as a row's
// values, so a large table loads faster a batch of rows at a time.
constexpr size_t kBatchRows = 16;

// Writes rows into a new table inside one transaction, with a prepared INSERT of a batch
// of rows and one of a single row for the rest.
class InsertSink : public TableSink {
public:
    InsertSink(sqlite3* db, std::string internalName) : db_(db), name_(std::move(internalName)) {}
    ~InsertSink() override {
        sqlite3_finalize(insert_);
        sqlite3_finalize(batch_);
    }

    bool begin(const std::vector<std::string>& names, const std::vector<ColumnType>& types,
               std::string& error) override {
        if (names.empty() || names.size() != types.size()) {
            error = codepage::utf8ToGbk("表中没有字段");
            return false;
        }
        types_ = types;
        const auto columns = uniqueColumnNames(names);
        columns_ = TableColumns{columns, types};
        std::string create = "CREATE TABLE " + quoteIdentifier(name_) + " (";
        std::string values = "(";
        for (size_t i = 0; i < columns.size(); ++i) {
            if (i) create += ", ", values += ", ";
            create += quoteIdentifier(columns[i]) + " " + declaredType(types[i]);
            if (types[i] == ColumnType::Text) create += " COLLATE NOCASE";
            values += "?";
        }
        create += ")";
        values += ")";
        const std::string insert = "INSERT INTO " + quoteIdentifier(name_) + " VALUES ";
        if (!exec(db_, "BEGIN", &error)) return false;
        inTransaction_ = true;
        if (!exec(db_, create, &error)) return false;
        if (sqlite3_prepare_v2(db_, (insert + values).c_str(), -1, &insert_, nullptr) != SQLITE_OK) {
            error = sqliteError(db_);
            return false;
        }
        // Batches only where their parameters stay within SQLite's limit.
        const auto limit = static_cast<size_t>(sqlite3_limit(db_, SQLITE_LIMIT_VARIABLE_NUMBER, -1));
        if (types.size() * kBatchRows <= limit) {
            std::string batch = insert + values;
            for (size_t r = 1; r < kBatchRows; ++r) batch += ", " + values;
            if (sqlite3_prepare_v2(db_, batch.c_str(), -1, &batch_, nullptr) != SQLITE_OK) {
                error = sqliteError(db_);
                return false;
            }
            pending_.assign(kBatchRows, std::vector<Value>(types.size()));
        }
        scratch_.resize(types.size() * (batch_ ? kBatchRows : 1));
        return true;
    }

    bool addRow(std::vector<Value>& row, std::string& error) override {
        if (batch_ == nullptr) return insertRow(insert_, row, 0, error);
        // Copied, not moved: the reader's strings keep their room for its next row.
        std::vector<Value>& kept = pending_[pendingRows_++];
        for (size_t c = 0; c < types_.size(); ++c) kept[c] = c < row.size() ? row[c] : Value{};
        if (pendingRows_ < kBatchRows) return true;
        pendingRows_ = 0;
        for (size_t r = 0; r < kBatchRows; ++r)
            for (size_t c = 0; c < types_.size(); ++c)
                bind(batch_, static_cast<int>(r * types_.size() + c) + 1, pending_[r][c], c, r);
        return step(batch_, error);
    }

    bool commit(std::string& error) {
        for (size_t r = 0; r < pendingRows_; ++r)
            if (!insertRow(insert_, pending_[r], r, error)) return false;
        pendingRows_ = 0;
        sqlite3_finalize(insert_);
        sqlite3_finalize(batch_);
        insert_ = batch_ = nullptr;
        if (!exec(db_, "COMMIT", &error)) return false;
        inTransaction_ = false;
        return true;
    }
    const TableColumns& columns() const { return columns_; }

    void rollback() {
        sqlite3_finalize(insert_);
        sqlite3_finalize(batch_);
        insert_ = batch_ = nullptr;
        if (inTransaction_) exec(db_, "ROLLBACK");
        inTransaction_ = false;
    }

private:
    // One row through the single-row INSERT; `slot` picks the scratch texts it binds.
    bool insertRow(sqlite3_stmt* stmt, const std::vector<Value>& row, size_t slot, std::string& error) {
        static const Value missing;
        for (size_t c = 0; c < types_.size(); ++c)
            bind(stmt, static_cast<int>(c) + 1, c < row.size() ? row[c] : missing, c, slot);
        return step(stmt, error);
    }

    bool step(sqlite3_stmt* stmt, std::string& error) {
        const int rc = sqlite3_step(stmt);
        sqlite3_reset(stmt);
        if (rc != SQLITE_DONE) {
            error = sqliteError(db_);
            return false;
        }
        return true;
    }

    void bindText(sqlite3_stmt* stmt, int index, const std::string& gbk, size_t column, size_t slot) {
        std::string& utf8 = scratch_[slot * types_.size() + column];
        utf8.clear();
        codec::appendGbkAsUtf8(gbk, utf8);
        sqlite3_bind_text(stmt, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_STATIC);
    }

    void bind(sqlite3_stmt* stmt, int index, const Value& value, size_t column, size_t slot) {
        const ColumnType type = types_[column];
        if (std::holds_alternative<Null>(value)) {
            sqlite3_bind_null(stmt, index);
        } else if (auto* text = std::get_if<std::string>(&value)) {
            bindText(stmt, index, *text, column, slot);
        } else if (type == ColumnType::Text) {
            // A number or date in a text column is kept as the text it shows as.
            bindText(stmt, index, toDisplayText(value, type), column, slot);
        } else if (auto* i = std::get_if<int64_t>(&value)) {
            sqlite3_bind_int64(stmt, index, *i);
        } else if (auto* d = std::get_if<double>(&value)) {
            sqlite3_bind_double(stmt, index, *d);
        } else if (auto* date = std::get_if<gbk::DateTime>(&value)) {
            sqlite3_bind_double(stmt, index, serialDaysFromDate(*date));  // NaN binds NULL
        } else if (auto* b = std::get_if<bool>(&value)) {
            sqlite3_bind_int(stmt, index, *b ? 1 : 0);
        } else {
            const auto& bytes = std::get<Bytes>(value).data;
            sqlite3_bind_blob(stmt, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        }
    }

    sqlite3* db_;
    std::string name_;
    sqlite3_stmt* insert_ = nullptr;
    sqlite3_stmt* batch_ = nullptr;  // kBatchRows rows at once; null when a batch has too many parameters
    std::vector<std::vector<Value>> pending_;  // the rows of the next batch
    size_t pendingRows_ = 0;
    std::vector<ColumnType> types_;
    std::vector<std::string> scratch_;  // texts as bound, by batch row and column
    TableColumns columns_;
    bool inTransaction_ = false;
};

// Statements of the programs may read their one table; nothing else, and never write.
int authorize(void* context, int action, const char* first, const char*, const char*, const char*) {
    const auto* allowed = *static_cast<const std::string**>(context);
    if (!allowed) return SQLITE_OK;  // the cache's own work
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_FUNCTION: return SQLITE_OK;
    case SQLITE_READ: return (first && *allowed == first) ? SQLITE_OK : SQLITE_DENY;
    default: return SQLITE_DENY;
    }
}

}  // namespace

bool fileStamp(const std::string& gbkPath, FileStamp& out) {
    struct stat st {};
    if (::stat(codepage::toLocalPath(gbkPath).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    out.size = st.st_size;
    out.modifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
}

const char* declaredType(ColumnType type) {
    switch (type) {
    case ColumnType::Text: return "TEXT";
    case ColumnType::Integer: return "INTEGER";
    case ColumnType::Float: return "REAL";
    case ColumnType::DateTime: return "DATETIME";
    case ColumnType::Boolean: return "BOOLEAN";
    case ColumnType::Bytes: return "BLOB";
    case ColumnType::Single: return "SINGLE REAL";  // REAL affinity, told apart from Float
    }
    return "TEXT";
}

ColumnType columnTypeFromDeclared(const char* declared) {
    if (!declared) return ColumnType::Text;
    for (auto type : {ColumnType::Integer, ColumnType::Float, ColumnType::DateTime, ColumnType::Boolean,
                      ColumnType::Bytes, ColumnType::Single})
        if (sqlite3_stricmp(declared, declaredType(type)) == 0) return type;
    return ColumnType::Text;
}

struct TableCache::Impl {
    struct Entry {
        std::string internalName;
        FileStamp stamp;
        uint64_t lastUse = 0;
        TableColumns columns;
    };
    std::map<std::string, Entry> entries;
    std::vector<std::string> pendingDrops;  // replaced tables a statement still reads
    std::map<std::string, FileStamp> checks;
    uint64_t clock = 0;
    int nextId = 1;
    const std::string* allowed = nullptr;  // the authorizer's one readable table

    // DROP fails while a statement still reads the table; such tables wait for a later try.
    void drop(sqlite3* db, const std::string& name) {
        if (!exec(db, "DROP TABLE IF EXISTS " + quoteIdentifier(name))) pendingDrops.push_back(name);
    }
    void retryDrops(sqlite3* db) {
        auto names = std::move(pendingDrops);
        pendingDrops.clear();
        for (const auto& name : names) drop(db, name);
    }
};

TableCache& TableCache::instance() {
    static TableCache cache;
    return cache;
}

TableCache::TableCache() : impl_(new Impl) {
    // No SQLite mutex: every column read would lock one, at a cost of a tenth of a fetch.
    sqlite3_open_v2(":memory:", &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    // "name" must be an identifier or an error, never silently a string literal.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_set_authorizer(db_, authorize, &impl_->allowed);
    registerJetFunctions(db_);
}

TableCache::~TableCache() {
    // close_v2 waits for statements that record sets of static objects may still hold.
    sqlite3_close_v2(db_);
    delete impl_;
}

bool TableCache::table(const std::string& key, const FileStamp& stamp, const Loader& loader,
                       std::string& internalName, std::string& error) {
    impl_->retryDrops(db_);
    auto found = impl_->entries.find(key);
    if (found != impl_->entries.end() && found->second.stamp == stamp) {
        found->second.lastUse = ++impl_->clock;
        internalName = found->second.internalName;
        return true;
    }

    const std::string name = "t" + std::to_string(impl_->nextId++);
    ++loads_;
    InsertSink sink(db_, name);
    bool loaded = false;
    try {
        loaded = loader(sink, error) && sink.commit(error);
    } catch (const std::bad_alloc&) {
        // Out of memory on a huge or hostile file: a failed statement, not a dead
        // program, and never a transaction left open that would fail every later load.
        error = codepage::utf8ToGbk("内存不足，无法装入这个表");
    } catch (const std::exception& e) {
        error = codepage::utf8ToGbk("装入表时出错：") + codec::utf8ToGbk(e.what());
    }
    if (!loaded) {
        sink.rollback();
        impl_->drop(db_, name);
        return false;
    }
    if (found != impl_->entries.end()) impl_->drop(db_, found->second.internalName);
    impl_->entries[key] = Impl::Entry{name, stamp, ++impl_->clock, sink.columns()};
    internalName = name;

    while (impl_->entries.size() > kMaxTables) {
        auto oldest = impl_->entries.begin();
        for (auto it = impl_->entries.begin(); it != impl_->entries.end(); ++it)
            if (it->second.lastUse < oldest->second.lastUse) oldest = it;
        impl_->drop(db_, oldest->second.internalName);
        impl_->entries.erase(oldest);
    }
    return true;
}

const TableColumns& TableCache::columns(const std::string& internalName) const {
    static const TableColumns none;
    for (const auto& [key, entry] : impl_->entries)
        if (entry.internalName == internalName) return entry.columns;
    return none;
}

bool TableCache::checked(const std::string& key, const FileStamp& stamp) const {
    auto found = impl_->checks.find(key);
    return found != impl_->checks.end() && found->second == stamp;
}

void TableCache::markChecked(const std::string& key, const FileStamp& stamp) {
    impl_->checks[key] = stamp;
}

sqlite3_stmt* TableCache::prepareSelect(const std::string& utf8Sql, const std::string& internalName,
                                        std::string& error) {
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    impl_->allowed = &internalName;
    const int rc = sqlite3_prepare_v2(db_, utf8Sql.c_str(), static_cast<int>(utf8Sql.size()), &stmt, &tail);
    impl_->allowed = nullptr;
    if (rc != SQLITE_OK || !stmt) {
        error = sqliteError(db_);
        sqlite3_finalize(stmt);
        return nullptr;
    }
    while (tail && *tail && (*tail == ' ' || *tail == ';' || *tail == '\t' || *tail == '\r' || *tail == '\n')) ++tail;
    if ((tail && *tail) || !sqlite3_stmt_readonly(stmt)) {
        error = codepage::utf8ToGbk("只能执行一条查询语句");
        sqlite3_finalize(stmt);
        return nullptr;
    }
    return stmt;
}

void TableCache::clear() {
    for (const auto& [key, entry] : impl_->entries) impl_->drop(db_, entry.internalName);
    impl_->entries.clear();
    impl_->checks.clear();
}

}  // namespace db
