#include "cli/help_text.h"

#include "cli/exit_status.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace kv::cli {
namespace {

constexpr std::string_view kProgram = "kestrovane-cli";

using Rows = std::vector<std::pair<std::string, std::string>>;

// Two columns, the second aligned, each row indented.
std::string table(const Rows& rows) {
    std::size_t width = 0;
    for (const auto& row : rows) width = std::max(width, row.first.size());
    std::string text;
    for (const auto& [left, right] : rows)
        text += "  " + left + std::string(width - left.size() + 2, ' ') + right + "\n";
    return text;
}

std::string written(const Option& option) {
    return option.valueName.empty() ? std::string(option.name)
                                    : std::string(option.name) + " " + std::string(option.valueName);
}

bool isRequired(const SubcommandSyntax* syntax, const Option& option) {
    return syntax && std::ranges::find(syntax->requiredOptions, option.name) != syntax->requiredOptions.end();
}

std::string synopsis(const SubcommandSyntax& syntax) {
    std::string text(syntax.name);
    for (std::string_view argument : syntax.arguments) text += " " + std::string(argument);
    for (const Option& option : syntax.options)
        text += isRequired(&syntax, option) ? " " + written(option) : " [" + written(option) + "]";
    return text;
}

std::string globalUsage(const SubcommandSyntax* syntax) {
    std::string text;
    for (const Option& option : globalOptions())
        text += isRequired(syntax, option) ? written(option) + " " : "[" + written(option) + "] ";
    return text;
}

// The subcommand's own options (none for the program's help), the global ones, and --help.
std::string optionRows(std::span<const Option> ownOptions, std::string_view helpOfHelp) {
    Rows rows;
    for (std::span<const Option> options : {ownOptions, globalOptions()})
        for (const Option& option : options) rows.emplace_back(written(option), std::string(option.help));
    rows.emplace_back("--help", std::string(helpOfHelp));
    return table(rows);
}

std::string exitStatuses() {
    return "Exit status:\n" +
           table({{std::to_string(kDone), "the operation did what it says"},
                  {std::to_string(kRefused), "the operation refused or failed; standard error tells why"},
                  {std::to_string(kUsageError), "the command line is wrong; standard error tells what"}});
}

}  // namespace

std::string usageHint() {
    return "Usage: " + std::string(kProgram) + " " + globalUsage(nullptr) + "SUBCOMMAND [OPTION...]  (" +
           std::string(kProgram) + " --help tells more)\n";
}

std::string programHelp() {
    Rows rows;
    for (const Subcommand& subcommand : subcommands())
        rows.emplace_back(synopsis(subcommand.syntax), std::string(subcommand.summary));
    return "Usage: " + std::string(kProgram) + " " + globalUsage(nullptr) + "SUBCOMMAND [OPTION...]\n\n" +
           "Runs the operations of Kestrovane History Manager without its window. Options name its\n"
           "files and answer its questions; what the window would show in a box or in its status line\n"
           "goes to standard error, so standard output carries only results.\n\n"
           "Subcommands:\n" +
           table(rows) + "\nOptions:\n" + optionRows({}, "this text; SUBCOMMAND --help tells about one subcommand") +
           "\n" + exitStatuses();
}

std::string subcommandHelp(const Subcommand& subcommand) {
    const SubcommandSyntax& syntax = subcommand.syntax;
    return "Usage: " + std::string(kProgram) + " " + globalUsage(&syntax) + synopsis(syntax) + "\n\n" +
           std::string(subcommand.description) + "\n\nOptions:\n" + optionRows(syntax.options, "this text") + "\n" +
           exitStatuses();
}

}  // namespace kv::cli
