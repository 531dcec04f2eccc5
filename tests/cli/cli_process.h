#pragma once
// kestrovane-cli run as a real process, as a script would run it.

#include <string>
#include <vector>

namespace kv::cli::testing {

struct CliRun {
    int status = -1;  // the exit status; -1 when the process did not exit normally
    std::string out;
    std::string err;
};

// The kestrovane-cli of the build's program directory.
std::string builtCli();

// Runs `executable` with `arguments` in `workingDirectory`, standard output and standard error
// kept apart; waits for it to end. Throws when it cannot be started. `environment` ("NAME=value")
// is added to the test's own, replacing a variable of the same name.
CliRun runCli(const std::vector<std::string>& arguments, const std::string& workingDirectory,
              const std::string& executable = builtCli(), const std::vector<std::string>& environment = {});

}  // namespace kv::cli::testing
