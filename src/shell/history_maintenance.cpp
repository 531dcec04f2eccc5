#include "shell/history_maintenance.h"

#include "history_db/prune.h"
#include "history_db/restore_backup.h"
#include "shell/history_database.h"
#include "shell/row_progress.h"
#include "shell/window_operations.h"

#include <algorithm>

namespace kv::shell {
namespace {

history_db::CalendarDate aYearAgo() {
    history_db::CalendarDate day = history_db::localToday();
    --day.year;
    if (day.month == 2 && day.day == 29) day.day = 28;
    return day;
}

}  // namespace

void PruneThDBClick(ui::Ui& ui, DataObjects& data) {
    const std::optional<std::string> text = ui.askDate(kPruneDatePrompt, history_db::isoText(aYearAgo()));
    if (!text) return;
    history_db::CalendarDate before;
    try {
        before = history_db::parseUserDate(*text);
    } catch (const history_db::NotADate& refusal) {
        return ShowInformation(ui, refusal.what());
    }
    history_db::HistoryStore& store = historyStore(ui, data);
    const history_db::StaleStations stale = history_db::countStaleStations(store, before);
    if (stale.total() == 0)
        return ShowInformation(
            ui, "No station of the History database was last heard before " + history_db::displayText(before) + ".");
    if (!Confirmed(ui, history_db::pruneQuestion(stale, before))) return;

    BeginWaitCursor(ui);
    const history_db::PruneOutcome outcome = history_db::pruneStations(store, before, windowProgress(ui));
    EndWaitCursor(ui);
    ShowInformation(ui, history_db::pruneDoneText(outcome.removed, outcome.remaining));
}

void RestoreThDBClick(ui::Ui& ui, DataObjects& data) {
    const std::string& path = ui.state().HistoryPath;
    const std::vector<history_db::BackupEntry> backups = history_db::listBackups(path);
    if (backups.empty()) return ShowInformation(ui, "There is no backup of " + path + " yet.");
    std::vector<std::string> lines;
    std::ranges::transform(backups, std::back_inserter(lines), history_db::backupLine);
    const std::optional<std::size_t> choice = ui.chooseEntry(kRestorePrompt, lines);
    if (!choice) return;

    const history_db::BackupEntry& chosen = backups.at(*choice);
    if (chosen.usable() && !Confirmed(ui, history_db::restoreQuestion(chosen))) return;
    if (data.history) data.history->close();
    try {
        const history_db::RestoreOutcome outcome = history_db::restoreBackup(path, chosen.index);
        SetStatus(ui, outcome.text());
        ShowInformation(ui, outcome.text());
    } catch (const history_db::RestoreRefused& refusal) {
        ShowInformation(ui, refusal.what());
    }
}

}  // namespace kv::shell
