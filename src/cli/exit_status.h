#pragma once
// The exit statuses of kestrovane-cli, which scripts rely on.

namespace kv::cli {

enum ExitStatus : int {
    kDone = 0,        // the operation did what it says
    kRefused = 1,     // the operation refused or failed; standard error tells why
    kUsageError = 2,  // the command line cannot be run; standard error tells why
};

}  // namespace kv::cli
