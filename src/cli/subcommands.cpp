#include "cli/subcommands.h"

#include "cli/export_subcommand.h"
#include "cli/history_subcommands.h"
#include "cli/import_subcommands.h"
#include "cli/maintenance_subcommands.h"
#include "cli/mapping_subcommands.h"

#include <algorithm>
#include <array>
#include <vector>

namespace kv::cli {
namespace {

constexpr std::array kGlobalOptions{
    Option{kHistoryOption, OptionKind::Value, "FILE", "the History database the subcommand works on"},
    Option{kMappingOption, OptionKind::Value, "FILE",
           "the mapping workbook, instead of mapping.xls beside kestrovane-cli"},
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
                        "\"version\". Needs no mapping workbook.",
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
        {.syntax = {"stats", {}, {kHistoryOption}},
         .summary = "print what the History table of FILE holds",
         .description = "Opens FILE and prints, one a line and tab-separated: \"stations\" and their number, the\n"
                        "first and last Updated date (\"updated-range\", YYYY-MM-DD, when any row has one), the\n"
                        "stations per year of Updated (\"updated\", YEAR or \"none\", count) and for each column\n"
                        "of History the rows that hold a value in it (\"filled\", COLUMN, count).",
         .run = runStats},
        {.syntax = {"prune",
                    {{"--before", OptionKind::Value, "YYYY-MM-DD", "the day before which stations count as not heard"},
                     {"--yes", OptionKind::AnswersYes, "", "remove them (answers Yes to \"Are you sure ?\")"}},
                    {kHistoryOption, "--before"}},
         .summary = "remove the stations of FILE not heard since a day",
         .description = "Opens FILE and counts the stations whose Updated is before --before, and those with no\n"
                        "Updated, which count as never heard. Without --yes it prints how many it would remove and\n"
                        "changes nothing. With --yes, as Tools > Remove stations not heard since... does, FILE is\n"
                        "first backed up to FILE.bup (the older backups kept as FILE.bup.1 and FILE.bup.2), then\n"
                        "they are all removed together; a failed run removes none.",
         .run = runPrune},
        {.syntax = {"restore-backup",
                    {{"--list", OptionKind::Flag, "", "only print the backups: number, file, date, stations"},
                     {"--index", OptionKind::Value, "N", "the backup to restore, 0 (the newest, the default) to 2"},
                     {"--yes", OptionKind::AnswersYes, "", "restore it (answers Yes to the question)"}},
                    {kHistoryOption}},
         .summary = "replace FILE with one of its backups",
         .description = "Lists the backups of FILE that imports and removals made (FILE.bup, the newest, then\n"
                        "FILE.bup.1 and FILE.bup.2), or, with --yes, replaces FILE with the one of --index, as\n"
                        "Tools > Restore a backup... does. FILE as it was becomes the newest backup first, so the\n"
                        "restore can be undone by restoring backup 0. A backup that is no History database or is\n"
                        "damaged is refused; a restore that fails leaves FILE as it was.",
         .run = runRestoreBackup},
        {.syntax =
             {"export",
              {{"--to", OptionKind::Value, "FILE.txt", "the call-history file to write (replaced when it exists)"},
               {"--encoding", OptionKind::Value, "NAME", "windows-1252 (what the logger reads; the default) or utf-8"}},
              {kHistoryOption, "--to"},
              {"CONTEST"}},
         .summary = "write the call-history file of CONTEST from FILE",
         .description = "Opens FILE, picks CONTEST on the export page and writes its call-history file to --to, as\n"
                        "Start EXPORT does: one line per station with something to say, the contest's fields\n"
                        "comma-separated (eight, or those an !!Order!! first line names when the contest fills any\n"
                        "of field9..field14), CR LF line ends. The file is written beside --to and replaces it\n"
                        "only when whole.\n"
                        "`contests` lists the contests offered for export.",
         .run = runExport},
        {.syntax = {"import-log",
                    {{"--contest", OptionKind::Value, "NAME", "the contest as the logger names it (NAQPCW, FD, ...)"},
                     {"--start", OptionKind::Value, "YYYY-MM-DD",
                      "the day it started, when the log holds it more than once"}},
                    {kHistoryOption, "--contest"},
                    {"LOGGER"}},
         .summary = "merge a contest's QSOs from the logger's database into FILE",
         .description = "Opens FILE, chooses the logger's database LOGGER (its Access .mdb or its SQLite .s3db log)\n"
                        "and its contest --contest, and imports it as Start IMPORT does: FILE is first copied to\n"
                        "FILE.bup, every QSO's station is updated or inserted, and the changes are saved together\n"
                        "at the end (a failed run changes nothing).\n"
                        "Prints one line: the rows read, inserted, updated and unchanged.",
         .run = runImportLog},
        {.syntax = {"import-file",
                    {{"--type", OptionKind::Value, "TYPE",
                      "read the file as this contest type (NAQP, SS, ...; see `contests`), not by its !!Order!!"},
                     {"--force", OptionKind::AnswersYes, "",
                      "import as --type even when the file's !!Order!! names its fields otherwise"}},
                    {kHistoryOption},
                    {"FILE.txt"}},
         .summary = "merge a call-history text file into FILE",
         .description =
             "Opens FILE, chooses the call-history file FILE.txt and imports it as Start IMPORT does. Without\n"
             "--type each field goes to the History column of its name, as the file's !!Order!! lines (or the\n"
             "logger's default order) say; fields History has no column for are skipped and named. With --type\n"
             "the fields are read by position as the workbook's contest type says; a file whose !!Order!!\n"
             "names them otherwise is refused unless --force. Comment (#), directive (!!...!!) and blank lines\n"
             "are no stations; a value longer than its History column is cut to fit and counted.\n"
             "Prints one line: the rows read, inserted, updated and unchanged.",
         .run = runImportFile},
        {.syntax = {"import-logs",
                    {{"--contest", OptionKind::Value, "NAME",
                      "the contest as the logs name it (CQ-WW-CW, ARRL-SS-CW, ...); needed when they are of several"},
                     {"--min-logs", OptionKind::Value, "N",
                      "insert a new station only when at least N logs worked it (default 1)"}},
                    {kHistoryOption},
                    {"FILE..."}},
         .summary = "merge the stations of contest logs (Cabrillo or ADIF) into FILE",
         .description = "Opens FILE, reads every contest log FILE... (Cabrillo logs and ADIF files, told apart by\n"
                        "their content) of the contest --contest and imports their stations as Start IMPORT does.\n"
                        "Each QSO tells what its log's owner copied of the station worked and what the owner sent of\n"
                        "itself; where logs disagree on a station's value the one told most often wins (a tie: the\n"
                        "latest QSO), and an owner's own word wins over what others copied. The sheet CabrilloMapping\n"
                        "of the workbook lays out each contest's QSO lines; ADIF fields go by name. A file that is no\n"
                        "contest log is refused before anything changes; malformed QSO lines and records are skipped\n"
                        "and counted.\n"
                        "Prints one line: the stations read, inserted, updated and unchanged, then the logs and QSOs\n"
                        "read and what was skipped.",
         .run = runImportLogs},
        {.syntax = {"contests", {}, {}},
         .summary = "list the contests of the mapping workbook",
         .description = "Prints the contests offered for export, one a line as \"export<TAB>NAME\", then the contest\n"
                        "types of call-history files as \"history-file<TAB>TYPE\", both in the workbook's order; a\n"
                        "type comes once for each logger contest of that type. Needs no --history.",
         .run = runContests},
    };
    return subcommands;
}

}  // namespace

std::span<const Option> globalOptions() { return kGlobalOptions; }
std::span<const Subcommand> subcommands() { return table(); }

const Subcommand* findSubcommand(std::string_view name) {
    const auto& all = table();
    auto found =
        std::find_if(all.begin(), all.end(), [name](const Subcommand& entry) { return entry.syntax.name == name; });
    return found == all.end() ? nullptr : &*found;
}

}  // namespace kv::cli
