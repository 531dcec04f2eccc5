#pragma once
// Compacting the History database in place when it is closed.

#include "ui/ui.h"

#include <string>

namespace kv::history_db {

// The name of the compacted copy, written in the database's own folder and then moved over it.
inline constexpr const char* kCompactedFileName = "Kestrovane_compacted.mdb";

// Writes the compact copy beside the database (removing a copy an earlier run left there) and
// puts it in the database's place in one step. A missing database is told in an error box; a
// failed compaction too ("Error: " and why), and the database then stays as it was.
void CompactHistoryDatabase(ui::Ui& ui, const std::string& path);

}  // namespace kv::history_db
