#pragma once
// The subcommands that keep the History database of --history fresh and safe: removing stale
// stations, bringing a backup back, and telling what the database holds.

#include "cli/session.h"

namespace kv::cli {

// Without --yes prints how many stations a removal before --before would take; with it removes them.
void runPrune(Session& session);
// --list prints the backups; otherwise the one of --index (0, the newest, by default) replaces the
// database once --yes confirms it.
void runRestoreBackup(Session& session);
// The stations, the stations per year of Updated, and the rows with a value in each column.
void runStats(Session& session);

}  // namespace kv::cli
