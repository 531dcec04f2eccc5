#pragma once
// The texts kestrovane-cli prints about itself, made from the table of subcommands so that a
// new one is described as soon as it is added.

#include "cli/subcommands.h"

#include <string>

namespace kv::cli {

// One line: the form of every command line, and where to read more.
std::string usageHint();
// --help: the subcommands, the options, the exit statuses.
std::string programHelp();
// SUBCOMMAND --help: its usage, what it does, its options, the exit statuses.
std::string subcommandHelp(const Subcommand& subcommand);

}  // namespace kv::cli
