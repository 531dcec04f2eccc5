#pragma once
// The program's data objects: the connections, table cursors and command through which every
// operation reaches its tables. The program owns one of these for its whole life and hands it to
// every operation beside the Ui; no operation keeps a connection or cursor of its own.

#include "data_access/command.h"
#include "data_access/connection.h"
#include "data_access/cursor.h"
#include "data_access/private_folder.h"

#include <optional>

namespace kv::shell {

struct DataObjects {
    // The History database, its History table, the table listings of any connection, and SQL.
    data_access::Connection ADOConnection_ThDB;
    data_access::Cursor ADODataSet_ThDB{"ADODataSet_ThDB"};
    data_access::Cursor ADODataSet_tables{"ADODataSet_tables"};
    data_access::Command ADOCommand1;

    // The mapping workbook and its two sheets.
    data_access::Connection ADOConnectionMapping;
    data_access::Cursor ADODataSet_Mapping{"ADODataSet_Mapping"};

    // The logger's database an import reads.
    data_access::Connection ADOConnection_HamDb;
    data_access::Cursor ADODataSet_HamDb{"ADODataSet_HamDb"};

    // The folder of the working copy of a call-history text file, and that file.
    data_access::Connection ADOConnection_hist;
    data_access::Cursor ADODataSet_Hist{"ADODataSet_Hist"};
    // The private folder of that working copy, while the chosen file is the import's source. Held
    // here, it goes with the program at the latest.
    std::optional<data_access::PrivateFolder> historyFileFolder;
};

}  // namespace kv::shell
