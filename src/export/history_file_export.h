#pragma once
// The export page: a contest chosen, a target file chosen, and the call-history text file
// written for that contest. The logger loads such a file to pre-fill exchanges: one line per
// History row that has something to say, exactly eight comma-separated fields, no header, no
// quoting, CR LF line ends.

#include "shell/data_objects.h"
#include "ui/ui.h"

namespace kv::export_ {

// The logger runs on Windows and reads such files in the Western code page.
enum class HistoryFileEncoding { Windows1252, Utf8 };

// The user picks a contest: the target is to be chosen (again).
void ComboBox_ExportContestSelect(ui::Ui& ui);

// The user chooses the target file; the export is enabled.
void Button_TargetHistoryClick(ui::Ui& ui);

// Writes the file for `ExportContest` to `TargetHistoryPath`. The file is written beside the
// target and replaces it only once it is whole, so a failed export leaves any earlier file as it
// was. Every column the contest's mapping names is checked before anything is written.
void Button_ExportClick(ui::Ui& ui, shell::DataObjects& data,
                        HistoryFileEncoding encoding = HistoryFileEncoding::Windows1252);

}  // namespace kv::export_
