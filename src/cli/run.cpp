#include "cli/run.h"

#include "cli/exit_status.h"
#include "cli/help_text.h"
#include "cli/session.h"
#include "cli/subcommands.h"
#include "data_access/error_box_text.h"

#include <exception>

namespace kv::cli {
namespace {

// An error that escapes the subcommand is printed as the window's standard error box shows it; a
// refusal as it stands.
int runSubcommand(const Subcommand& subcommand, const CommandLine& line, const std::string& programDirectory,
                  std::ostream& out, std::ostream& err, bool errIsTerminal) {
    Report report(err, errIsTerminal);
    try {
        Session session{line, programDirectory, out, report};
        subcommand.run(session);
    } catch (const UsageError& error) {
        err << "kestrovane-cli: " << error.what() << '\n' << usageHint();
        return kUsageError;
    } catch (const Refusal& refusal) {
        if (*refusal.what()) report.line(refusal.what());
        return kRefused;
    } catch (const std::exception& error) {
        report.line(data_access::errorBoxText(error.what()));
        return kRefused;
    } catch (...) {
        report.line(data_access::errorBoxText("Unknown error"));
        return kRefused;
    }
    return kDone;
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
