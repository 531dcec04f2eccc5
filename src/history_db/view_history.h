#pragma once
// View > "History database": the History table in a grid the user browses, edits and searches.

#include "shell/data_objects.h"
#include "ui/ui.h"

#include <string>

namespace kv::history_db {

// The caption of the History view for a table of `count` rows.
std::string HistoryViewCaption(long long count);

// Opens `ADODataSet_ThDB` on the plain table History, shows the view modally with the number of
// rows it had at the start in its caption, and closes the cursor when the view closes.
void ViewThDBClick(ui::Ui& ui, shell::DataObjects& data);

}  // namespace kv::history_db
