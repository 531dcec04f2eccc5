#pragma once
// The subcommands on the History database of --history.

#include "cli/session.h"
#include "history_db/history_store.h"

namespace kv::cli {

// The History database of --history, opened; a file that is none is refused.
history_db::HistoryStore openHistory(Session& session);

// The template copied to --history, which is replaced only with --replace; then opened.
void runNew(Session& session);
// Whether --history is a History database.
void runCheck(Session& session);
// Every row of History deleted, once --yes confirms it.
void runEmpty(Session& session);
// The database compacted in its place.
void runCompact(Session& session);
// The number of rows of History on standard output.
void runCount(Session& session);

}  // namespace kv::cli
