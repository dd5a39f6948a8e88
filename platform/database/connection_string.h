// Connection strings as the programs build them, taken apart.
//
// "ODBC;" in front is optional; the rest is key=value pairs separated by ";", where a
// value in {braces} may hold ";". Keys compare without regard to case and surrounding
// spaces; values are kept exactly (a password keeps its spaces). The Driver= name picks
// the kind of source, as the ODBC driver manager would pick the driver.
#pragma once

#include <string>

namespace db {

enum class SourceKind { Text, Dbase, Workbook, Access };

struct ConnectionTarget {
    SourceKind kind = SourceKind::Text;
    // Text and dBASE: the directory holding the table files (ending in "/" as the
    // programs build it). Workbook and Access: the file. GBK.
    std::string path;
    std::string password;  // Access only; "" = none
};

// False, with a message (GBK) in `error`, when the string names no driver we have or no
// DBQ= / Data Source=.
bool parseConnectionString(const std::string& text, ConnectionTarget& out, std::string& error);

}  // namespace db
