#include "cli/run.h"

#include "cli/exit_status.h"
#include "cli/help_text.h"
#include "cli/subcommands.h"
#include "ui/error_box.h"

#include <exception>
#include <filesystem>

namespace kv::cli {
namespace {

// The window's file dialogs and Application state hold full paths.
std::string fullPath(const std::string& path) { return std::filesystem::absolute(path).string(); }

Answers answersFor(const CommandLine& line, const Subcommand& subcommand, bool errIsTerminal) {
    Answers answers;
    answers.showProgress = errIsTerminal;
    for (const DialogOption& dialog : dialogOptions())
        if (auto file = line.value(dialog.option)) answers.files[std::string(dialog.dialog)] = fullPath(*file);
    for (const Option& option : subcommand.syntax.options)
        if (option.kind == OptionKind::AnswersYes) {
            answers.confirmingOption = option.name;
            answers.confirmed = line.has(option.name);
        }
    return answers;
}

// Like the window's event dispatch: an error that escapes the operation is shown as the
// standard error box shows it.
int runSubcommand(const Subcommand& subcommand, const CommandLine& line, const std::string& programDirectory,
                  std::ostream& out, std::ostream& err, bool errIsTerminal) {
    NonInteractiveUi ui(programDirectory, answersFor(line, subcommand, errIsTerminal), err);
    ui.state().MappingPath = fullPath(line.value(kMappingOption).value_or(programDirectory + "mapping.xls"));
    shell::DataObjects data;
    try {
        Session session{ui, data, line, out};
        subcommand.run(session);
    } catch (const UsageError& error) {
        err << "kestrovane-cli: " << error.what() << '\n' << usageHint();
        return kUsageError;
    } catch (const std::exception& error) {
        err << ui::errorBoxText(error.what()) << '\n';
        return kRefused;
    } catch (...) {
        err << ui::errorBoxText("Unknown error") << '\n';
        return kRefused;
    }
    return ui.refused() ? kRefused : kDone;
}

}  // namespace

int run(std::span<const std::string> arguments, const std::string& programDirectory, std::ostream& out,
        std::ostream& err, bool errIsTerminal) {
    CommandLine line;
    try {
        line = parseCommandLine(arguments, globalOptions(), [](std::string_view name) -> const SubcommandSyntax* {
            const Subcommand* found = findSubcommand(name);
            return found ? &found->syntax : nullptr;
        });
    } catch (const UsageError& error) {
        err << "kestrovane-cli: " << error.what() << '\n' << usageHint();
        return kUsageError;
    }

    const Subcommand* subcommand = findSubcommand(line.subcommand);
    if (line.help) {
        out << (subcommand ? subcommandHelp(*subcommand) : programHelp());
        return kDone;
    }
    return runSubcommand(*subcommand, line, programDirectory, out, err, errIsTerminal);
}

}  // namespace kv::cli
