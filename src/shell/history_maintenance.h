#pragma once
// Tools > "Remove stations not heard since..." and Tools > "Restore a backup...": the window's
// side of history_db/prune.h and history_db/restore_backup.h.

#include "shell/data_objects.h"
#include "ui/ui.h"

namespace kv::shell {

// What the two dialogs ask.
inline constexpr const char* kPruneDatePrompt = "Remove the stations not heard since this day (YYYY-MM-DD):";
inline constexpr const char* kRestorePrompt = "Restore the History database from this backup:";

// Asks for a day (a year ago at first), then, telling how many stations are heard before it or
// never, whether to remove them; removes them after the backup and tells the outcome. A text that
// is no date is told with the form it takes; with nothing to remove, that is told.
void PruneThDBClick(ui::Ui& ui, DataObjects& data);

// Lists the backups of HistoryPath with their dates and stations (a backup that cannot be restored
// with why); the one the user chooses replaces the database after a Yes, and the outcome is told.
// The open database is let go first and read again on its next use.
void RestoreThDBClick(ui::Ui& ui, DataObjects& data);

}  // namespace kv::shell
