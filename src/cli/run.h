#pragma once
// One run of kestrovane-cli, from its arguments to its exit status.

#include <ostream>
#include <span>
#include <string>

namespace kv::cli {

// Parses the arguments (without the program's name) and prints the help asked for or runs the
// subcommand, in the program directory given (with a trailing separator). Results go to `out`;
// usage errors, boxes, status texts and escaped errors go to `err`, and progress too when it is a
// terminal. Returns an ExitStatus.
int run(std::span<const std::string> arguments, const std::string& programDirectory, std::ostream& out,
        std::ostream& err, bool errIsTerminal = false);

}  // namespace kv::cli
