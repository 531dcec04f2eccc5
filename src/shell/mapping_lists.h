#pragma once
// The window's lists that the mapping workbook fills.

#include "mapping/mapping_workbook.h"
#include "ui/ui.h"

namespace kv::shell {

// `ComboBox_ExportContest` := the workbook's export contests, none selected.
void FillExportContests(ui::Ui& ui, mapping::MappingWorkbook& workbook);

// `Combobox_Contest` := reading the file by its !!Order!! (import::kByOrderContestType), then the
// workbook's contest types of call-history files; entry 0 shown as current (not a pick); the list
// and its label enabled.
void FillHistoryFileContests(ui::Ui& ui, mapping::MappingWorkbook& workbook);

}  // namespace kv::shell
