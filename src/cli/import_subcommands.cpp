#include "cli/import_subcommands.h"

#include "cli/command_line.h"
#include "cli/history_subcommands.h"
#include "cli/list_choice.h"
#include "data_access/date_text.h"
#include "import/import_run.h"
#include "import/import_sources.h"
#include "import/import_type_select.h"
#include "shell/form_create.h"

#include <filesystem>

namespace kv::cli {
namespace {

constexpr const char* kContestList = "Combobox_Contest";

// Picks the import type (the list's entry 0 is the logger's database, 1 a call-history file),
// whose source choice then opens the file given as the subcommand's argument.
void chooseSource(Session& session, int importType, const char* dialog) {
    session.ui.answerDialog(dialog, std::filesystem::absolute(session.line.arguments.at(0)).string());
    shell::FillImportTypes(session.ui);
    session.ui.setItemIndex("ComboBox_ImportType", importType);
    import::ComboBox_ImportTypeSelect(session.ui, {[&](ui::Ui& ui) { import::OpenHamDB(ui, session.data);
}
, [&](ui::Ui& ui) { import::OpenHistFile(ui, session.data); }
}  // namespace
);
}  // namespace kv::cli

// "2024-06-22" as the contest list writes the date: "6-22-2024".
std::string listDate(const std::string& isoDate) {
    const std::optional<data_access::DateTime> date = data_access::parseIsoDateTime(isoDate);
    if (!date || isoDate.find_first_of(" T") != std::string::npos)
        throw UsageError("--start is a date written YYYY-MM-DD, not \"" + isoDate + "\"");
    return data_access::formatDate(date->year, date->month, date->day);
}

// The entries of the logger contest `contest`; only the one that started on `startDate` (as the
// list writes dates) when that is given.
std::vector<int> loggerContestEntries(Session& session, const std::string& contest,
                                      const std::optional<std::string>& startDate) {
    const std::string prefix = contest + "," + startDate.value_or("");
    return matchingEntries(session.ui, kContestList, [&](int index, const std::string& text) {
        const bool started =
            text.starts_with(prefix) && (!startDate || text.size() == prefix.size() || text[prefix.size()] == ' ');
        return started && session.ui.itemRecord(kContestList, index)->contestName == contest;
    });
}

void importAndReport(Session& session, int entry) {
    session.ui.setItemIndex(kContestList, entry);
    import::Combobox_ContestSelect(session.ui, session.data);
    if (session.ui.refused()) return;
    const import::ImportCounts counts = import::Button_ImportClick(session.ui, session.data);
    session.out << "read " << counts.read << ", inserted " << counts.inserted << ", updated " << counts.updated
                << ", unchanged " << counts.unchanged;
    // Only when there were any, so that scripts reading the four counts keep working.
    if (counts.withoutCall > 0) session.out << ", skipped " << counts.withoutCall << " without a call";
    session.out << '\n';
}

}  // namespace

void runImportLog(Session& session) {
    const std::string contest = session.line.value("--contest").value_or("");
    std::optional<std::string> startDate;
    if (auto start = session.line.value("--start")) startDate = listDate(*start);
    if (!openHistory(session)) return;
    chooseSource(session, 0, "OpenDialog_HamDB");
    if (session.ui.refused()) return;

    const std::vector<int> entries = loggerContestEntries(session, contest, startDate);
    if (entries.size() == 1) return importAndReport(session, entries.front());
    if (entries.empty())
        return session.ui.refuse(
            "The log holds no contest \"" + contest + "\"" + (startDate ? " that started on " + *startDate : "") +
            " that the mapping workbook takes for call history; it holds: " + joinedEntries(session.ui, kContestList));
    session.ui.refuse("The log holds \"" + contest + "\" more than once; choose one with --start YYYY-MM-DD: " +
                      joinedEntries(session.ui, kContestList, entries));
}

void runImportFile(Session& session) {
    const std::string type = session.line.value("--type").value_or("");
    if (!openHistory(session)) return;
    chooseSource(session, 1, "OpenDialog_SourceHistory");
    if (session.ui.refused()) return;

    const std::vector<int> entries =
        matchingEntries(session.ui, kContestList, [&](int, const std::string& text) { return text == type; });
    if (entries.empty())
        return session.ui.refuse("The mapping workbook has no contest type \"" + type +
                                 "\" for call-history files; it has: " + joinedEntries(session.ui, kContestList));
    importAndReport(session, entries.front());
}

}  // namespace kv::cli
