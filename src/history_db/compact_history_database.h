#pragma once
// Compacting the History database in place when it is closed.

#include "ui/ui.h"

#include <string>

namespace kv::history_db {

// The fixed name earlier versions gave the compacted copy in the database's folder; one left there
// is removed. Compaction itself now makes its copy under a name of its own that no one can guess.
inline constexpr const char* kStaleCompactedFileName = "Kestrovane_compacted.mdb";

// Compacts the database in its own place, under the writer's lock, so that a program writing it
// at the same time loses nothing (data_access/compaction.h). A missing database is told in an
// error box; a failed compaction too ("Error: " and why), and the database then stays as it was.
void CompactHistoryDatabase(ui::Ui& ui, const std::string& path);

}  // namespace kv::history_db
