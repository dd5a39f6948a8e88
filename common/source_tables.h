// Choosing a data source, as both programs do it when a data path is set: the Access
// password prompt, the table listing of a database or workbook, and the split of a text or
// dBASE path into its folder and its one table. The program's window then shows the tables
// its own way; why a file could not be read comes back here, in one set of words.
#pragma once

#include <string>
#include <vector>

#include "common/data_source.h"
#include "common/table_listing.h"

struct SourceTables {
    // The data source as statements are run on it: the file, or for a text or dBASE table
    // the folder that holds it (with its trailing "/").
    std::string dbname;
    std::vector<std::string> tables;  // as the listing gives them, unbracketed
    std::string password;             // the Access password given ("" for none or cancelled)
    std::string error;                // why no table could be listed (GBK); "" otherwise
};

// Lists the tables of `dbname` (a full GBK path) of kind `kind`. An Access database asks
// for its password first (cancel counts as no password). A workbook shows the reminder of
// `variant` when it cannot be opened; the settings program lists only a regular file,
// since it runs this on every keystroke of a path being typed and a box per keystroke
// would make the path impossible to type.
SourceTables listSourceTables(const std::string& dbname, datasource::Kind kind,
                              WorkbookListingVariant variant);
