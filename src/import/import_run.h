#pragma once
// An import run: every station of a source merged into History. A station already there is
// updated column by column (its data2/data3 pair merged), a new one is inserted, and every row
// touched is stamped with today's date in `Updated`.
//
// The database file is first copied to its backup (history_db/backup_path.h). The run's changes
// are committed together when it ends: a run that fails leaves the database exactly as it was,
// and its error says so ("...; IMPORT stopped, nothing was changed in the Kestrovane database").
// A source row without a call (empty or blanks) is skipped and counted.

#include "history_db/history_store.h"
#include "history_db/progress.h"
#include "import/import_source.h"
#include "mapping/field_map.h"
#include "mapping/mapping_workbook.h"

namespace kv::import {

// What a run did with the rows of its source.
struct ImportCounts {
    long long read = 0;  // stations read (comment and directive lines of a file are no stations)
    long long inserted = 0;
    long long updated = 0;      // matched, and a mapped column or the exchange pair changed
    long long unchanged = 0;    // matched, and only `Updated` was stamped
    long long withoutCall = 0;  // read, but with no call to file them under: no History row

    bool operator==(const ImportCounts&) const = default;
};

// The status texts of a run, told through Progress::status.
inline constexpr const char* kBackupCreatedStatus = "Database backup created, IMPORT started";
inline constexpr const char* kImportFinishedStatus = "IMPORT finished";

// Merges `source` into `store` by `fieldMap`, telling its phases and rows through `progress`.
ImportCounts runImport(history_db::HistoryStore& store, ImportSource& source, const mapping::FieldMap& fieldMap,
                       const history_db::Progress& progress);

// The same with the field map of the source's ImportMapping row in `workbook`.
ImportCounts runImport(history_db::HistoryStore& store, ImportSource& source, mapping::MappingWorkbook& workbook,
                       const history_db::Progress& progress);

}  // namespace kv::import
