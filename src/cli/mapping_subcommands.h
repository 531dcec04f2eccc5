#pragma once
// The subcommands on the mapping workbook alone.

#include "cli/session.h"

namespace kv::cli {

// The contests of the mapping workbook: each export contest as "export<TAB>NAME", then each
// history-file contest type as "history-file<TAB>TYPE", in the workbook's order.
void runContests(Session& session);

}  // namespace kv::cli
