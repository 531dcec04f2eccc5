#pragma once
// The command line of kestrovane-cli:
//     kestrovane-cli [GLOBAL OPTION...] SUBCOMMAND [ARGUMENT...] [OPTION...]
// Global options may also follow the subcommand; a subcommand's own options only follow it, and
// its arguments (a contest, a file) are the words after it that are no option.
// An option's value is the next argument or follows "=" ("--history=h.mdb"). "--help" asks for
// the help text, of the program or of the subcommand it follows.

#include <functional>
#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kv::cli {

enum class OptionKind {
    Value,       // takes a value: "--history FILE"
    AnswersYes,  // a flag that answers Yes to the operation's question
    Flag,        // a flag that picks what the subcommand does: "--list"
};

struct Option {
    std::string_view name;  // with its dashes
    OptionKind kind;
    std::string_view valueName;  // how the help text names the value; empty for a flag
    std::string_view help;
};

struct SubcommandSyntax {
    std::string_view name;
    std::vector<Option> options;
    // Options, global or its own, that this subcommand cannot run without.
    std::vector<std::string_view> requiredOptions;
    // How the help names the arguments it takes, all of them required: "CONTEST". A last name
    // ending in "..." ("FILE...") takes one argument or more.
    std::vector<std::string_view> arguments = {};
};

struct CommandLine {
    std::string subcommand;  // empty only when --help asks for the program's help
    bool help = false;
    // Every option given, by name; a flag's value is empty.
    std::map<std::string, std::string, std::less<>> options;
    // The subcommand's arguments, in order.
    std::vector<std::string> arguments;

    bool has(std::string_view option) const { return options.contains(option); }
    std::optional<std::string> value(std::string_view option) const;
};

// A command line that cannot be run: the message says what is wrong with it.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The syntax of a subcommand by name; null for a name that is no subcommand.
using SubcommandLookup = std::function<const SubcommandSyntax*(std::string_view name)>;

// Throws UsageError for no subcommand, an unknown subcommand or option, a missing or unwanted
// value, an option given twice, an argument too many or too few, or a required option missing
// (unless --help).
CommandLine parseCommandLine(std::span<const std::string> arguments, std::span<const Option> globalOptions,
                             const SubcommandLookup& subcommand);

}  // namespace kv::cli
