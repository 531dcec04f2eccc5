#include "shell/import_page.h"

#include "import/call_history_format.h"
#include "import/contest_entry.h"
#include "import/contest_logs.h"
#include "import/history_file.h"
#include "import/joined_names.h"
#include "import/order_conflict.h"
#include "import/ordered_history_file.h"
#include "shell/history_database.h"
#include "shell/mapping_lists.h"
#include "shell/row_progress.h"
#include "shell/window_operations.h"
#include "ui/import_types.h"

#include <filesystem>

namespace kv::shell {
namespace {

const char* const kContestSelected = "Contest selected, IMPORT to load contest in Kestrovane database";

bool isLoggerImport(const ui::Ui& ui) { return ui.text("ComboBox_ImportType") == ui::kLoggerHamDatabase; }
bool isContestLogImport(const ui::Ui& ui) { return ui.text("ComboBox_ImportType") == ui::kContestLogs; }

kv::import::ImportCounts importContestLogs(ui::Ui& ui, history_db::HistoryStore& store,
                                           mapping::MappingWorkbook& workbook, const history_db::Progress& progress) {
    const std::optional<unsigned> minLogs = import::readMinLogs(ui.text("Edit_MinLogs"));
    if (!minLogs) {
        ui.showMessageBox("\"" + ui.text("Edit_MinLogs") + "\" is no number of logs: type 1 or more",
                          ui::BoxKind::Information, ui::BoxButtons::Ok);
        return {};
    }
    const ui::ApplicationState& state = ui.state();
    import::ContestLogs source(state.ContestLogPaths, workbook, state.ImportContestLog, *minLogs, progress);
    return import::runImport(store, source, progress);
}

// The chosen file's name in `Edit_SourceFilename`, its whole path in the hint.
void showSource(ui::Ui& ui, const std::string& path) {
    ui.setText("Edit_SourceFilename", std::filesystem::path(path).filename().string());
    ui.setVisible("Edit_SourceFilename", true);
    ui.setHint("Edit_SourceFilename", path);
    ui.setShowHint("Edit_SourceFilename", true);
}

void enableContestList(ui::Ui& ui) {
    ui.setEnabled("Combobox_Contest", true);
    ui.setEnabled("Label_Contest", true);
}

void listLoggerContests(ui::Ui& ui, DataObjects& data) {
    ui.clearItems("Combobox_Contest");
    for (const import::ContestInstance& contest : data.loggerLog->historyContests(mappingWorkbook(ui, data)))
        ui.addItem("Combobox_Contest", import::contestEntryText(contest.name, contest.start),
                   ui::ContestRecord{contest.number, contest.name});
}

// A contest type whose fields the file's !!Order!! names otherwise is imported only when the user
// says so.
bool positionalOrderAccepted(ui::Ui& ui, mapping::MappingWorkbook& workbook) {
    const ui::ApplicationState& state = ui.state();
    const std::optional<import::OrderConflict> conflict =
        import::findOrderConflict(workbook, state.ImportContestGeneral, state.HistoryFileSourcePath);
    if (!conflict) return true;
    const std::string question =
        import::orderConflictText(*conflict, state.ImportContestGeneral, state.HistoryFileSourcePath) +
        ".\nImport it as " + state.ImportContestGeneral + " all the same?";
    return ui.showMessageBox(question, ui::BoxKind::Information, ui::BoxButtons::YesNo) == ui::BoxAnswer::Yes;
}

}  // namespace

void ComboBox_ImportTypeSelect(ui::Ui& ui, const SourceChoices& choices) {
    ui.setEnabled("Label_Contest", false);
    ui.setEnabled("Combobox_Contest", false);
    ui.clearItems("Combobox_Contest");
    ui.setText("Edit_SourceFilename", "");
    ui.setEnabled("Button_Import", false);
    for (const char* control : {"Label_MinLogs", "Edit_MinLogs"}) ui.setVisible(control, isContestLogImport(ui));

    if (isLoggerImport(ui)) {
        SetStatus(ui, "Import type selected is HAM (Logger) database, specify filename");
        ui::run(choices.OpenHamDB, ui);
    } else if (isContestLogImport(ui)) {
        SetStatus(ui, "Import type selected is contest log, specify one file or more");
        ui::run(choices.OpenContestLogs, ui);
    } else {
        SetStatus(ui, "Import type selected is History(text)file, specify filename");
        ui::run(choices.OpenHistFile, ui);
    }

    ui.setEnabled("Edit_SourceFilename", true);
    ResetExportControls(ui);
}

void OpenHamDB(ui::Ui& ui, DataObjects& data) {
    const std::optional<std::string> chosen = ui.executeDialog("OpenDialog_HamDB");
    if (!chosen) return;
    ui.state().LoggerDbPath = *chosen;
    data.loggerLog.reset();
    try {
        data.loggerLog.emplace(*chosen);
    } catch (const import::NotALoggerDatabase& refusal) {
        ui.showMessageBox(refusal.what(), ui::BoxKind::Information, ui::BoxButtons::Ok);
        return;
    }
    enableContestList(ui);
    showSource(ui, *chosen);
    listLoggerContests(ui, data);

    ui.setItemIndex("Combobox_Contest", 0);
    enableContestList(ui);
    SetStatus(ui, "HAM database loaded, select which specific contest to import");
}

void OpenHistFile(ui::Ui& ui, DataObjects& data) {
    const std::optional<std::string> chosen = ui.executeDialog("OpenDialog_SourceHistory");
    if (!chosen) return;
    import::readCallHistoryText(*chosen);  // a file that is no text is refused before it is chosen
    showSource(ui, *chosen);
    ui.state().HistoryFileSourcePath = *chosen;
    data.loggerLog.reset();

    FillHistoryFileContests(ui, mappingWorkbook(ui, data));
    SetStatus(ui, "History(text)file loaded, select which contest type to use");
}

void OpenContestLogs(ui::Ui& ui, DataObjects& data) {
    const std::vector<std::string> chosen = ui.executeFilesDialog("OpenDialog_ContestLogs");
    if (chosen.empty()) return;
    const std::vector<std::string> contests = import::contestsOfLogs(chosen);  // each file must be a log
    ui.state().ContestLogPaths = chosen;
    data.loggerLog.reset();
    showSource(ui, chosen.front());
    if (chosen.size() > 1) {
        ui.setText("Edit_SourceFilename", std::to_string(chosen.size()) + " contest logs");
        ui.setHint("Edit_SourceFilename", import::joinedNames(chosen, "\n"));
    }
    ui.clearItems("Combobox_Contest");
    for (const std::string& contest : contests) ui.addItem("Combobox_Contest", contest, std::nullopt);
    ui.setItemIndex("Combobox_Contest", -1);
    enableContestList(ui);
    SetStatus(ui, "Contest logs loaded, select which contest to import");
}

void Combobox_ContestSelect(ui::Ui& ui, DataObjects& data) {
    ui::ApplicationState& state = ui.state();
    if (isLoggerImport(ui)) {
        const std::optional<ui::ContestRecord> record =
            ui.itemRecord("Combobox_Contest", ui.itemIndex("Combobox_Contest"));
        if (!record) return;
        state.ImportContestNr = record->contestNr;
        state.ImportContestName = record->contestName;
        try {
            mappingWorkbook(ui, data).requireImportableLoggerContest(state.ImportContestName);
        } catch (const mapping::ContestNotImportable& refusal) {
            ui.showMessageBox(refusal.what(), ui::BoxKind::Information, ui::BoxButtons::Ok);
            return;
        }
    } else if (isContestLogImport(ui)) {
        state.ImportContestLog = ui.text("Combobox_Contest");
    } else {
        state.ImportContestGeneral = ui.text("Combobox_Contest");
    }
    SetStatus(ui, kContestSelected);
    ui.setEnabled("Button_Import", true);
}

kv::import::ImportCounts Button_ImportClick(ui::Ui& ui, DataObjects& data) {
    const ui::ApplicationState& state = ui.state();
    history_db::HistoryStore& store = historyStore(ui, data);
    mapping::MappingWorkbook& workbook = mappingWorkbook(ui, data);
    const history_db::Progress progress = windowProgress(ui);

    import::ImportCounts counts;
    if (isLoggerImport(ui)) {
        if (!data.loggerLog) data.loggerLog.emplace(state.LoggerDbPath);
        import::LoggerContest source(*data.loggerLog, {state.ImportContestNr, state.ImportContestName, ""});
        counts = import::runImport(store, source, workbook, progress);
    } else if (isContestLogImport(ui)) {
        counts = importContestLogs(ui, store, workbook, progress);
    } else if (state.ImportContestGeneral == import::kByOrderContestType) {
        import::OrderedHistoryFile source(state.HistoryFileSourcePath);
        counts = import::runImport(store, source, progress);
    } else {
        if (!positionalOrderAccepted(ui, workbook)) return counts;
        // The working copy goes when the run ends, whether or not it succeeded.
        import::HistoryFile file(state.HistoryFileSourcePath);
        import::HistoryFileContest source(file, state.ImportContestGeneral);
        counts = import::runImport(store, source, workbook, progress);
    }
    hideProgress(ui);
    const std::string notes = import::runNotesText(counts);
    if (!notes.empty()) ui.showMessageBox(notes, ui::BoxKind::Information, ui::BoxButtons::Ok);
    return counts;
}

}  // namespace kv::shell
