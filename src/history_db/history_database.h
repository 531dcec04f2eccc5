#pragma once
// Creating, opening, validating, emptying and closing the History database, the menu handlers
// that do so, and the exit that closes it first. The window moves between its states No
// database and Database open here.

#include "shell/data_objects.h"
#include "ui/ui.h"

#include <string>

namespace kv::history_db {

// The empty History database in the program directory that a new one is copied from.
inline constexpr const char* kTemplateFileName = "kestrovane_mdb.template";

// Points `ADOConnection_ThDB` at `path` and accepts the file only when it has a table `version`;
// then the window enters Database open, the mapping workbook is connected and the export contests
// listed. A refusal is told in an information box and changes nothing else. Whether it accepted
// the file.
bool OpenTHDatabase(ui::Ui& ui, shell::DataObjects& data, const std::string& path);

// Closes the History table, the mapping sheet and the connection, puts the window in No database,
// compacts the file (reporting a failure in a box) and says so in the status line.
void CloseTHDatabase(ui::Ui& ui, shell::DataObjects& data);

// File > "New History database": the template copied to a file the user chooses (asking before
// an existing file is replaced), after the database open before is closed, then opened. When the
// copy is refused or its opening fails, the file is removed again if New created it.
void NewThDBClick(ui::Ui& ui, shell::DataObjects& data);
// File > "Open History database".
void Open_ThDbClick(ui::Ui& ui, shell::DataObjects& data);
// File > "Close History database".
void CloseThDBClick(ui::Ui& ui, shell::DataObjects& data);
// File > "Close Database and Exit": the close, then the end of the program.
void Exit1Click(ui::Ui& ui, shell::DataObjects& data);
// Tools > "Empty History database": every row of History deleted, once the user confirms.
void EmptyThDBClick(ui::Ui& ui, shell::DataObjects& data);

}  // namespace kv::history_db
