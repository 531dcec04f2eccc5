#pragma once
// What a subcommand works with: the command line, the program directory, standard output for its
// results and the report on standard error.

#include "cli/command_line.h"
#include "cli/report.h"

#include <ostream>
#include <string>
#include <vector>

namespace kv::cli {

struct Session {
    const CommandLine& line;
    const std::string& programDirectory;  // with a trailing separator
    std::ostream& out;
    Report& report;

    // The full path an option names (the History database, the target of an export).
    std::string path(std::string_view option) const;
    // The subcommand's file argument as a full path.
    std::string argumentPath() const;
    // Every argument of the subcommand as a full path, in order.
    std::vector<std::string> argumentPaths() const;
    // --mapping, else mapping.xls in the program directory.
    std::string mappingPath() const;
};

}  // namespace kv::cli
