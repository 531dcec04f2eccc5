#include "cli/export_subcommand.h"

#include "cli/command_line.h"
#include "cli/history_subcommands.h"
#include "cli/list_choice.h"
#include "export/history_file_export.h"

namespace kv::cli {
namespace {

export_::HistoryFileEncoding encodingOf(const CommandLine& line) {
    const std::string name = line.value("--encoding").value_or("windows-1252");
    if (name == "windows-1252") return export_::HistoryFileEncoding::Windows1252;
    if (name == "utf-8") return export_::HistoryFileEncoding::Utf8;
    throw UsageError("--encoding is windows-1252 or utf-8, not \"" + name + "\"");
}

}  // namespace

void runExport(Session& session) {
    const export_::HistoryFileEncoding encoding = encodingOf(session.line);
    if (!openHistory(session)) return;
    NonInteractiveUi& ui = session.ui;
    const std::string& contest = session.line.arguments.at(0);
    const std::vector<int> entries =
        matchingEntries(ui, "ComboBox_ExportContest", [&](int, const std::string& text) { return text == contest; });
    if (entries.empty())
        return ui.refuse("The mapping workbook offers no contest \"" + contest +
                         "\" for export; it offers: " + joinedEntries(ui, "ComboBox_ExportContest"));

    ui.setItemIndex("ComboBox_ExportContest", entries.front());
    export_::ComboBox_ExportContestSelect(ui);
    export_::Button_TargetHistoryClick(ui);
    if (ui.refused()) return;
    export_::Button_ExportClick(ui, session.data, encoding);
}

}  // namespace kv::cli
