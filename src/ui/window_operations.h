#pragma once
// The small operations of the main window that the other operations share.

#include "ui/handlers.h"
#include "ui/ui.h"

#include <string>

namespace kv::ui {

// `Edit_SourceFilename` cleared; `Combobox_Contest` emptied and disabled; `Button_Import` disabled.
void ResetImportControls(Ui& ui);
// `Button_TargetHistory` disabled; `Edit_TargetHistory` cleared; `Button_Export` disabled.
void ResetExportControls(Ui& ui);

// Saves the screen cursor in `SavedCursor` and shows the hourglass; EndWaitCursor restores it.
void BeginWaitCursor(Ui& ui);
void EndWaitCursor(Ui& ui);

void SetStatus(Ui& ui, const std::string& text);

// File > "Close Database and Exit": the History database's close, then the end of the program.
void Exit1Click(Ui& ui, const Handler& closeHistoryDatabase);

} // namespace kv::ui
