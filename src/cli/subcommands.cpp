#include "cli/subcommands.h"

#include "cli/history_subcommands.h"
#include "cli/mapping_subcommands.h"

#include <algorithm>
#include <array>
#include <vector>

namespace kv::cli {
namespace {

constexpr std::array kGlobalOptions{
    Option{kHistoryOption, OptionKind::Value, "FILE", "the History database the subcommand works on"},
    Option{kMappingOption, OptionKind::Value, "FILE", "the mapping workbook, instead of mapping.xls beside kestrovane-cli"},
};

constexpr std::array kDialogOptions{
    DialogOption{"SaveDialog_newThDB", kHistoryOption},
    DialogOption{"OpenDialog_ThDB", kHistoryOption},
};

const std::vector<Subcommand>& table() {
    static const std::vector<Subcommand> subcommands{
        {.syntax = {"new",
                    {{"--replace", OptionKind::AnswersYes, "",
                      "replace FILE when it exists (answers Yes to \"Do you want to replace it?\")"}},
                    {kHistoryOption}},
         .summary = "create FILE as an empty History database",
         .description = "Copies kestrovane_mdb.template, beside kestrovane-cli, to FILE and opens it, as File > New\n"
                        "History database does. An existing FILE is replaced only with --replace; without it the\n"
                        "run is refused and FILE is kept as it was.",
         .run = runNew},
        {.syntax = {"check", {}, {kHistoryOption}},
         .summary = "tell whether FILE is a History database",
         .description = "Opens FILE as File > Open History database does: it is accepted when it has a table\n"
                        "\"version\", and the mapping workbook is then read for the export contests.",
         .run = runCheck},
        {.syntax = {"empty",
                    {{"--yes", OptionKind::AnswersYes, "", "confirm the deletion (answers Yes to \"Are you sure ?\")"}},
                    {kHistoryOption}},
         .summary = "delete every row of the History table of FILE",
         .description = "Opens FILE, then deletes every row of its History table as Tools > Empty History database\n"
                        "does, once --yes confirms it; without --yes the run is refused and every row is kept.",
         .run = runEmpty},
        {.syntax = {"compact", {}, {kHistoryOption}},
         .summary = "compact FILE in place",
         .description = "Opens FILE, then closes it as File > Close History database does, which writes a compact\n"
                        "copy beside it and puts the copy in its place. A failed compaction leaves FILE as it was.",
         .run = runCompact},
        {.syntax = {"count", {}, {kHistoryOption}},
         .summary = "print the number of rows of the History table of FILE",
         .description = "Opens FILE, then prints the number of rows of its History table on standard output.",
         .run = runCount},
        {.syntax = {"contests", {}, {}},
         .summary = "list the contests of the mapping workbook",
         .description = "Prints the contests offered for export, one a line as \"export<TAB>NAME\", then the contest\n"
                        "types of call-history files as \"history-file<TAB>TYPE\", both in the workbook's order; a\n"
                        "type comes once for each logger contest of that type. Needs no --history.",
         .run = runContests},
    };
    return subcommands;
}

} // namespace

std::span<const Option> globalOptions() { return kGlobalOptions; }
std::span<const Subcommand> subcommands() { return table(); }
std::span<const DialogOption> dialogOptions() { return kDialogOptions; }

const Subcommand* findSubcommand(std::string_view name) {
    const auto& all = table();
    auto found = std::find_if(all.begin(), all.end(), [name](const Subcommand& entry) { return entry.syntax.name == name; });
    return found == all.end() ? nullptr : &*found;
}

} // namespace kv::cli
