#pragma once
// An import run: every station of a source merged into History. A station already there is
// updated column by column (its data2/data3 pair merged), a new one is inserted, and every row
// touched is stamped with today's date in `Updated`.
//
// The database file is first backed up (history_db/backup_set.h), while the source loads;
// History is opened, and written, only once the copy is whole. The run's changes are committed
// together when it ends: a run that fails leaves the database exactly as it was, and its error
// says so ("...; IMPORT stopped, nothing was changed in the Kestrovane database"). A source row
// without a call (empty or blanks) is skipped and counted. A value longer than its History column
// holds is cut to fit, as the logger cuts what it reads, and counted: no source is refused for a
// value that is too long.

#include "history_db/history_store.h"
#include "history_db/progress.h"
#include "import/contest_logs.h"
#include "import/import_source.h"
#include "mapping/field_map.h"
#include "mapping/mapping_workbook.h"

#include <string>
#include <vector>

namespace kv::import {

class OrderedHistoryFile;

// The values a run cut to fit their History columns.
struct ValuesCut {
    long long count = 0;
    std::vector<std::string> columns;  // the History columns, in the order they were first cut
    std::string firstPlace;            // the source's row of the first one (ImportSource::rowPlace)
    std::string firstCall;             // and its call, as filed

    bool operator==(const ValuesCut&) const = default;
};

// What a run did with the rows of its source.
struct ImportCounts {
    long long read = 0;  // stations read (comment and directive lines of a file are no stations)
    long long inserted = 0;
    long long updated = 0;      // matched, and a mapped column or the exchange pair changed
    long long unchanged = 0;    // matched, and only `Updated` was stamped
    long long withoutCall = 0;  // read, but with no call to file them under: no History row
    long long heldBack = 0;     // new, but the source did not let them in (ImportSource::mayInsert)
    ValuesCut cut;
    // A file read by its !!Order!!: its fields that hold values but have no History column, and
    // the values past the fields a line's order names, both dropped.
    std::vector<std::string> fieldsSkipped;
    long long extraFields = 0;
    long long firstExtraLine = 0;
    // Contest logs: what reading them found.
    LogCounts logs;

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

// A call-history file read by its !!Order!! lines, each field into the History column of its
// name; the counts tell the fields skipped and the extra values ignored.
ImportCounts runImport(history_db::HistoryStore& store, OrderedHistoryFile& source,
                       const history_db::Progress& progress);

// Contest logs, their stations as the vote decided them; the counts tell what reading the logs
// found, and `heldBack` the new stations worked by too few logs.
ImportCounts runImport(history_db::HistoryStore& store, ContestLogs& source, const history_db::Progress& progress);

// What the user should hear besides the four counts: the values cut (how many, in which columns,
// where first), the fields skipped and the extra values ignored, and for contest logs the logs
// and QSOs read, the QSOs skipped and why, the stations held back and the conflicts the vote
// decided, one sentence a line; empty when
// there is nothing to tell.
std::string runNotesText(const ImportCounts& counts);

}  // namespace kv::import
