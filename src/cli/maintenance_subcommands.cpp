#include "cli/maintenance_subcommands.h"

#include "cli/command_line.h"
#include "cli/history_subcommands.h"
#include "cli/subcommands.h"
#include "history_db/history_stats.h"
#include "history_db/prune.h"
#include "history_db/restore_backup.h"

#include <charconv>

namespace kv::cli {
namespace {

history_db::CalendarDate beforeDay(const Session& session) {
    try {
        return history_db::parseUserDate(session.line.value("--before").value_or(""));
    } catch (const history_db::NotADate& refusal) {
        throw Refusal(refusal.what());
    }
}

std::size_t backupIndex(const Session& session) {
    const std::string text = session.line.value("--index").value_or("0");
    std::size_t index = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), index);
    if (error != std::errc() || end != text.data() + text.size())
        throw UsageError("--index takes a backup's number (0 for the newest), not \"" + text + "\"");
    return index;
}

}  // namespace

void runPrune(Session& session) {
    const history_db::CalendarDate before = beforeDay(session);
    history_db::HistoryStore store = openHistory(session);
    const history_db::StaleStations stale = history_db::countStaleStations(store, before);
    if (!session.line.has("--yes")) {
        session.out << stale.total() << " stations would be removed: " << stale.heardBefore << " last updated before "
                    << history_db::isoText(before) << ", " << stale.neverHeard
                    << " with no Updated date (--yes removes them)\n";
        return;
    }
    session.report.confirmed(history_db::pruneQuestion(stale, before), "--yes", true);
    const history_db::PruneOutcome outcome = history_db::pruneStations(store, before, session.report.progress());
    session.out << history_db::pruneDoneText(outcome.removed, outcome.remaining) << '\n';
}

void runRestoreBackup(Session& session) {
    const std::string path = session.path(kHistoryOption);
    if (session.line.has("--list")) {
        for (const history_db::BackupEntry& backup : history_db::listBackups(path))
            session.out << backup.index << '\t' << history_db::backupLine(backup) << '\n';
        return;
    }
    const std::size_t index = backupIndex(session);
    const std::optional<history_db::BackupEntry> chosen = history_db::findBackup(path, index);
    // An unknown or unusable backup is refused by the restore itself, before any question.
    if (chosen && chosen->usable() &&
        !session.report.confirmed(history_db::restoreQuestion(*chosen), "--yes", session.line.has("--yes")))
        throw Refusal("");
    try {
        session.out << history_db::restoreBackup(path, index).text() << '\n';
    } catch (const history_db::RestoreRefused& refusal) {
        throw Refusal(refusal.what());
    }
}

void runStats(Session& session) {
    history_db::HistoryStore store = openHistory(session);
    const history_db::HistoryStats stats = history_db::historyStats(store);
    session.out << "stations\t" << stats.stations << '\n';
    if (stats.updated.first)
        session.out << "updated-range\t" << history_db::isoText(*stats.updated.first) << '\t'
                    << history_db::isoText(*stats.updated.last) << '\n';
    for (const auto& [year, count] : stats.perYear) session.out << "updated\t" << year << '\t' << count << '\n';
    session.out << "updated\tnone\t" << stats.neverUpdated << '\n';
    for (const auto& [column, filled] : stats.filledPerColumn)
        session.out << "filled\t" << column << '\t' << filled << '\n';
}

}  // namespace kv::cli
