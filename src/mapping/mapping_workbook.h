#pragma once
// Every lookup in the mapping workbook mapping.xls: its sheet ImportMapping (one row per logger
// contest: whether it takes part in call history, its contest type for call-history files, and
// the History column that receives each source column) and its sheet ExportMapping (one row per
// contest offered for export: the History columns of the eight fields of an exported line).
// All of them work on `ADODataSet_Mapping` and leave the sheet closed; a missing sheet or
// column raises the provider's or the cursor's error.

#include "mapping/field_map.h"
#include "shell/data_objects.h"
#include "ui/ui.h"

#include <array>
#include <string>

namespace kv::mapping {

// Points `ADOConnectionMapping` at `MappingPath` and binds `ADODataSet_Mapping` to it.
void ConnectMappingWorkbook(ui::Ui& ui, shell::DataObjects& data);

// `ComboBox_ExportContest` := the `Contest` of every ExportMapping row with History = 1, in
// sheet order, none selected.
void FillExportContests(ui::Ui& ui, shell::DataObjects& data);

// `Combobox_Contest` := the `Contest_general` of every ImportMapping row with History = 1, in
// sheet order and with duplicates; entry 0 shown as current (not a pick); the list and its label
// enabled.
void FillHistoryFileContests(ui::Ui& ui, shell::DataObjects& data);

// ImportMapping opened as a plain table at its first row; CloseSheet closes whichever sheet is open.
void OpenImportSheet(shell::DataObjects& data);
void CloseSheet(shell::DataObjects& data);

// On the open import sheet: whether a row has this `Contest` and History = 1.
bool IsLoggerContestListed(shell::DataObjects& data, const std::string& contestName);

// Whether a logger contest may be imported: it needs an ImportMapping row, and that row's History
// must be exactly "1". A refusal is told in an information box and answers false.
bool CheckLoggerContest(ui::Ui& ui, shell::DataObjects& data, const std::string& contestName);

enum class ImportKind { Logger, HistoryFile };

// The field map of the ImportMapping row whose `Contest` (logger) or `Contest_general` (history
// file) is `key`, the first such row in sheet order whatever its History: for a logger import
// the columns Call, Ck, Sect, Exchange1, Name, Gridsquare, nr; for a history file field1 ...
// field7; empty cells left out. Throws when no row has that key.
FieldMap BuildFieldMap(shell::DataObjects& data, ImportKind kind, const std::string& key);

// The History columns of field1 ... field8 of the contest's ExportMapping row; an empty name
// gives an empty field. Throws when no row has that contest.
std::array<std::string, 8> ReadExportColumns(shell::DataObjects& data, const std::string& contest);

}  // namespace kv::mapping
