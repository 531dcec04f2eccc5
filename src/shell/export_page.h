#pragma once
// The export page: a contest chosen, a target file chosen, and the contest's call-history file
// written (export/history_file_export.h).

#include "export/history_file_export.h"
#include "shell/data_objects.h"
#include "ui/ui.h"

namespace kv::shell {

// The user picks a contest: the target is to be chosen (again).
void ComboBox_ExportContestSelect(ui::Ui& ui);

// The user chooses the target file; the export is enabled.
void Button_TargetHistoryClick(ui::Ui& ui);

// Writes the file for `ExportContest` to `TargetHistoryPath`.
void Button_ExportClick(ui::Ui& ui, DataObjects& data,
                        export_::HistoryFileEncoding encoding = export_::HistoryFileEncoding::Windows1252);

}  // namespace kv::shell
