#pragma once
// The mapping workbook mapping.xls. Its sheet ImportMapping has one row per logger contest:
// whether it takes part in call history (History = 1), its contest type for call-history files
// (Contest_general), and the History column that receives each source column. Its sheet
// ExportMapping has one row per contest offered for export: the History columns of the fields
// of an exported line, field1 ... field8 and, where the sheet has them, field9 ... field14. Its
// sheet CabrilloMapping lays out the QSO lines of contest logs (mapping/cabrillo_mapping.h). Each
// lookup reads the sheet through a cursor of its own; a missing file, sheet or column raises the
// table access layer's error ("ADODataSet_Mapping: Field 'field8' not found"). Rows are found by
// their contest ignoring letter case, as Jet finds them.

#include "mapping/cabrillo_mapping.h"
#include "mapping/field_map.h"
#include "mapping/history_file_fields.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace kv::data_access {
class Connection;
class Cursor;
}  // namespace kv::data_access

namespace kv::mapping {

enum class ImportKind { Logger, HistoryFile };

// The ImportMapping row of one contest, as an import uses it.
struct ImportMapping {
    // The row's Contest (a logger contest) or Contest_general (a call-history file's contest type).
    std::string contest;
    // For a logger import the columns Call (the key), Ck, Sect, Exchange1, Name, Gridsquare, nr,
    // then every further column of the sheet named as one of DXLOG's other exchange columns (Prec,
    // ZN, Power, QTH, Comment, MiscText), in sheet order; for a history file field1 (the key) ...
    // field7.
    FieldMap fieldMap;
};

// The ExportMapping row of one contest.
struct ExportMapping {
    std::string contest;
    // The History columns of field1 ... field14; a sheet without field9 ... field14 leaves them
    // empty.
    ExportColumns columns;
};

// A logger contest that the workbook does not let an import take, with the text the user is shown.
class ContestNotImportable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class MappingWorkbook {
public:
    // Nothing is read until the first lookup.
    explicit MappingWorkbook(const std::string& path);
    ~MappingWorkbook();
    MappingWorkbook(MappingWorkbook&&) noexcept;
    MappingWorkbook& operator=(MappingWorkbook&&) noexcept;

    // The `Contest` of every ExportMapping row with History = 1, in sheet order.
    std::vector<std::string> exportContests();
    // The `Contest_general` of every ImportMapping row with History = 1, in sheet order and with
    // duplicates (a type comes once for each logger contest of that type).
    std::vector<std::string> historyFileContestTypes();

    // Whether an ImportMapping row has this `Contest` and History = 1.
    bool isLoggerContestListed(const std::string& contestName);
    // Throws ContestNotImportable unless the first ImportMapping row of this `Contest` has a
    // History of exactly "1".
    void requireImportableLoggerContest(const std::string& contestName);

    // The first ImportMapping row, in sheet order and whatever its History, whose `Contest`
    // (logger) or `Contest_general` (history file) is `key`. Throws when there is none.
    ImportMapping importMapping(ImportKind kind, const std::string& key);
    // The first ExportMapping row of `contest`. Throws when there is none.
    ExportMapping exportMapping(const std::string& contest);
    // Every CabrilloMapping row whose `Cabrillo` is `cabrilloContest`, letter case ignored, in
    // sheet order; none when the sheet has no such row.
    std::vector<CabrilloMapping> cabrilloMappings(const std::string& cabrilloContest);

private:
    data_access::Cursor openSheet(const char* sheet);

    std::unique_ptr<data_access::Connection> connection_;
};

}  // namespace kv::mapping
