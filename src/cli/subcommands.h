#pragma once
// The table of kestrovane-cli's subcommands and options. A new subcommand is one entry here and
// the function it runs; an option that answers a file dialog is one entry of dialogOptions.

#include "cli/command_line.h"
#include "cli/session.h"

#include <span>
#include <string_view>

namespace kv::cli {

struct Subcommand {
    SubcommandSyntax syntax;
    std::string_view summary;      // one line of the program's help
    std::string_view description;  // the subcommand's help
    void (*run)(Session& session);
};

// Which option's value answers which file dialog.
struct DialogOption {
    std::string_view dialog;
    std::string_view option;
};

std::span<const Option> globalOptions();
std::span<const Subcommand> subcommands();
std::span<const DialogOption> dialogOptions();
// Null for a name that is no subcommand.
const Subcommand* findSubcommand(std::string_view name);

// The options of this name: the global ones give the History database and the workbook.
inline constexpr std::string_view kHistoryOption = "--history";
inline constexpr std::string_view kMappingOption = "--mapping";

}  // namespace kv::cli
