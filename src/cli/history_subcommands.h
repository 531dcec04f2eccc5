#pragma once
// The subcommands on the History database of --history, each the window's menu operations in
// the order a user would choose them. Each stops after an operation that refused.

#include "cli/session.h"

namespace kv::cli {

// File > Open History database on --history; false when the operation refused the file.
bool openHistory(Session& session);

// File > New History database.
void runNew(Session& session);
// File > Open History database, which accepts only a History database.
void runCheck(Session& session);
// Open, then Tools > Empty History database.
void runEmpty(Session& session);
// Open, then File > Close History database, which compacts the file.
void runCompact(Session& session);
// Open, then the number of rows of its History table on standard output.
void runCount(Session& session);

}  // namespace kv::cli
