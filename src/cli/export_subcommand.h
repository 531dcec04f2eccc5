#pragma once
// The subcommand that writes a contest's call-history file from the History database of --history.

#include "cli/session.h"

namespace kv::cli {

// The file of CONTEST written to --to (in --encoding).
void runExport(Session& session);

}  // namespace kv::cli
