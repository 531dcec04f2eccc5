#pragma once
// The small operations of the main window that the other operations share.

#include "ui/ui.h"

#include <string>

namespace kv::shell {

// `Edit_SourceFilename` cleared; `Combobox_Contest` emptied and disabled; `Button_Import` disabled.
void ResetImportControls(ui::Ui& ui);
// `Button_TargetHistory` disabled; `Edit_TargetHistory` cleared; `Button_Export` disabled.
void ResetExportControls(ui::Ui& ui);

// Saves the screen cursor in `SavedCursor` and shows the hourglass; EndWaitCursor restores it.
void BeginWaitCursor(ui::Ui& ui);
void EndWaitCursor(ui::Ui& ui);

void SetStatus(ui::Ui& ui, const std::string& text);

// An information box with OK; one with Yes and No, and whether the user answered Yes.
void ShowInformation(ui::Ui& ui, const std::string& text);
bool Confirmed(ui::Ui& ui, const std::string& question);

}  // namespace kv::shell
