#include "cli/history_subcommands.h"

#include "history_db/history_database.h"
#include "shell/history_table.h"

namespace kv::cli {

// The operation tells a refusal only by its box.
bool openHistory(Session& session) {
    history_db::Open_ThDbClick(session.ui, session.data);
    return !session.ui.refused();
}

void runNew(Session& session) { history_db::NewThDBClick(session.ui, session.data); }

void runCheck(Session& session) { openHistory(session); }

void runEmpty(Session& session) {
    if (openHistory(session)) history_db::EmptyThDBClick(session.ui, session.data);
}

void runCompact(Session& session) {
    if (openHistory(session)) history_db::CloseThDBClick(session.ui, session.data);
}

void runCount(Session& session) {
    if (!openHistory(session)) return;
    session.out << shell::openHistoryTable(session.data).recordCount() << '\n';
}

}  // namespace kv::cli
