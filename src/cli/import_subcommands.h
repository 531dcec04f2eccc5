#pragma once
// The import page's operations on --history: a logger contest or a call-history file merged into
// History. Each ends with one line on standard output: how many rows were read, inserted,
// updated and unchanged.

#include "cli/session.h"

namespace kv::cli {

// Open, choose the logger database LOGGER, pick the contest --contest (the instance that started
// on --start when the log holds several), and import.
void runImportLog(Session& session);
// Open, choose the call-history file FILE, pick the contest type --type, and import.
void runImportFile(Session& session);

}  // namespace kv::cli
