#pragma once
// The start-up of the main window, run while the window is created and before it is shown.

#include "ui/ui.h"

namespace kv::shell {

// Without mapping.xls in the program directory it shows the error box and asks the program to
// end; the remaining steps still run, since the end only takes effect in the event loop.
void FormCreate(ui::Ui& ui);

// `ComboBox_ImportType` gets its two entries, "Logger HAM Database" and "History file", and shows
// neither as picked.
void FillImportTypes(ui::Ui& ui);

}  // namespace kv::shell
