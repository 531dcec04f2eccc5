#pragma once
// The table of kestrovane-cli's subcommands and options. A new subcommand is one entry here and
// the function it runs.

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

std::span<const Option> globalOptions();
std::span<const Subcommand> subcommands();
// Null for a name that is no subcommand.
const Subcommand* findSubcommand(std::string_view name);

// The options of this name: the global ones give the History database and the workbook.
inline constexpr std::string_view kHistoryOption = "--history";
inline constexpr std::string_view kMappingOption = "--mapping";

}  // namespace kv::cli
