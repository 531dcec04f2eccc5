#pragma once
// The export page's operations on --history: a contest's call-history file written.

#include "cli/session.h"

namespace kv::cli {

// Open, pick CONTEST on the export page, choose --to as the target, and export (in --encoding).
void runExport(Session& session);

}  // namespace kv::cli
