#pragma once
// The subcommands that merge a source into the History database of --history. Each ends with one
// line on standard output: how many rows were read, inserted, updated and unchanged.

#include "cli/session.h"

namespace kv::cli {

// The contest --contest of the logger's database LOGGER (the instance that started on --start
// when the log holds several).
void runImportLog(Session& session);
// The call-history file FILE, read as the contest type --type, or by its !!Order!! lines without
// one. A file whose !!Order!! disagrees with --type is refused unless --force.
void runImportFile(Session& session);
// The contest logs FILE... (Cabrillo or ADIF) of the contest --contest, or of the one contest they
// are all of; --min-logs N lets a new station in only when N logs worked it.
void runImportLogs(Session& session);

}  // namespace kv::cli
