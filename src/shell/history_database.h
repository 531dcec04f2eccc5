#pragma once
// The menu operations on the History database, and the exit that closes it first. The window
// moves between its states No database and Database open here.

#include "shell/data_objects.h"
#include "ui/ui.h"

#include <string>

namespace kv::shell {

// Opens the History database at `path`; a file that is none is told in an information box and
// changes nothing else. Then the window enters Database open, the mapping workbook is connected
// and the export contests listed. Whether it accepted the file.
bool OpenTHDatabase(ui::Ui& ui, DataObjects& data, const std::string& path);

// Lets the database go, puts the window in No database, compacts the file (reporting a failure
// in a box) and says so in the status line.
void CloseTHDatabase(ui::Ui& ui, DataObjects& data);

// File > "New History database": the template copied to a file the user chooses (asking before
// an existing file is replaced), after the database open before is closed, then opened. When the
// copy is refused or its opening fails, the file is removed again if New created it.
void NewThDBClick(ui::Ui& ui, DataObjects& data);
// File > "Open History database".
void Open_ThDbClick(ui::Ui& ui, DataObjects& data);
// File > "Close History database".
void CloseThDBClick(ui::Ui& ui, DataObjects& data);
// File > "Close Database and Exit": the close, then the end of the program.
void Exit1Click(ui::Ui& ui, DataObjects& data);
// Tools > "Empty History database": every row of History deleted, once the user confirms.
void EmptyThDBClick(ui::Ui& ui, DataObjects& data);

// The open History database; the one at HistoryPath when none is open yet.
history_db::HistoryStore& historyStore(ui::Ui& ui, DataObjects& data);
// The mapping workbook at MappingPath, connected on first use.
mapping::MappingWorkbook& mappingWorkbook(ui::Ui& ui, DataObjects& data);

}  // namespace kv::shell
