#pragma once
// What a subcommand works with: the Ui that stands in for the window, the program's data
// objects, the command line, and standard output for its results.

#include "cli/command_line.h"
#include "cli/non_interactive_ui.h"
#include "shell/data_objects.h"

#include <ostream>

namespace kv::cli {

struct Session {
    NonInteractiveUi& ui;
    shell::DataObjects& data;
    const CommandLine& line;
    std::ostream& out;
};

}  // namespace kv::cli
