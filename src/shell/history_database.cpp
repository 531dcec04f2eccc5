#include "shell/history_database.h"

#include "history_db/compact_history_database.h"
#include "shell/mapping_lists.h"
#include "shell/window_operations.h"

#include <filesystem>

namespace kv::shell {
namespace {

// The controls that only make sense while a database is open, besides the menu's Open.
constexpr const char* kDatabaseControls[] = {"ComboBox_ImportType", "ComboBox_ExportContest",
                                             "CloseThDB",           "Exit1",
                                             "EmptyThDB",           "PruneThDB",
                                             "RestoreThDB",         "ViewThDB"};

// The window in Database open on the store just opened.
void enterDatabaseOpen(ui::Ui& ui, DataObjects& data) {
    for (const char* control : kDatabaseControls) ui.setEnabled(control, true);
    ui.setEnabled("Label_ImportType", true);
    ui.setEnabled("Label_ExportContest", true);

    data.mapping.emplace(ui.state().MappingPath);
    FillExportContests(ui, *data.mapping);

    SetStatus(ui, history_db::kOpenedStatus);
    ui.setEnabled("Open_ThDb", false);
}

// The window back in No database, the History database let go.
void leaveDatabaseOpen(ui::Ui& ui, DataObjects& data) {
    data.mapping.reset();
    ResetImportControls(ui);
    ResetExportControls(ui);
    for (const char* control : kDatabaseControls) ui.setEnabled(control, false);
    ui.setEnabled("Open_ThDb", true);

    if (data.history) data.history->close();
    data.history.reset();
}

}  // namespace

bool OpenTHDatabase(ui::Ui& ui, DataObjects& data, const std::string& path) {
    data.history.reset();
    try {
        data.history.emplace(path);
    } catch (const history_db::NotAHistoryDatabase& refusal) {
        ShowInformation(ui, refusal.what());
        return false;
    }
    enterDatabaseOpen(ui, data);
    return true;
}

void CloseTHDatabase(ui::Ui& ui, DataObjects& data) {
    leaveDatabaseOpen(ui, data);
    try {
        history_db::compactHistoryDatabase(ui.state().HistoryPath);
    } catch (const history_db::CompactionFailed& failure) {
        ui.showMessageBox(failure.what(), ui::BoxKind::Error, ui::BoxButtons::Ok);
    }
    SetStatus(ui, history_db::kClosedStatus);
}

void NewThDBClick(ui::Ui& ui, DataObjects& data) {
    const std::string templatePath = ui.programDirectory() + history_db::kTemplateFileName;
    if (!std::filesystem::exists(templatePath)) return ShowInformation(ui, history_db::TemplateMissing().what());

    ui.setDialogFilter("SaveDialog_newThDB", "Kestrovane database(*.mdb)|*.mdb");
    ui.setDialogDefaultExt("SaveDialog_newThDB", ".mdb");
    const std::optional<std::string> chosen = ui.executeDialog("SaveDialog_newThDB");
    if (!chosen) return;
    // Replacing a database loses every call in it, so the user says so first.
    if (std::filesystem::exists(*chosen) && !Confirmed(ui, history_db::replaceQuestion(*chosen))) return;

    const bool created = !std::filesystem::exists(*chosen);
    ui::ApplicationState& state = ui.state();
    // Only a database that was accepted is closed and compacted: HistoryPath also keeps a file
    // that Open refused, and compacting that would rewrite a file that is not ours.
    if (!state.HistoryPath.empty() && data.history) CloseTHDatabase(ui, data);
    state.HistoryPath = *chosen;

    // A copy that is refused, or whose opening fails, is not left behind as a database the user
    // might take for a good one.
    auto forget = [&] {
        if (data.history) leaveDatabaseOpen(ui, data);
        std::error_code ignored;
        if (created) std::filesystem::remove(*chosen, ignored);
    };
    try {
        data.history.emplace(history_db::createHistoryDatabase(templatePath, *chosen));
        enterDatabaseOpen(ui, data);
    } catch (const history_db::NotAHistoryDatabase& refusal) {
        forget();
        ShowInformation(ui, refusal.what());
    } catch (...) {
        forget();
        throw;
    }
}

void Open_ThDbClick(ui::Ui& ui, DataObjects& data) {
    const std::optional<std::string> chosen = ui.executeDialog("OpenDialog_ThDB");
    if (!chosen) return;
    ui.state().HistoryPath = *chosen;
    OpenTHDatabase(ui, data, *chosen);
}

void CloseThDBClick(ui::Ui& ui, DataObjects& data) { CloseTHDatabase(ui, data); }

void Exit1Click(ui::Ui& ui, DataObjects& data) {
    CloseTHDatabase(ui, data);
    ui.requestTerminate();
}

void EmptyThDBClick(ui::Ui& ui, DataObjects& data) {
    if (!Confirmed(ui, history_db::kEmptyQuestion)) return;
    BeginWaitCursor(ui);
    historyStore(ui, data).empty();
    EndWaitCursor(ui);
}

history_db::HistoryStore& historyStore(ui::Ui& ui, DataObjects& data) {
    if (!data.history) data.history.emplace(ui.state().HistoryPath);
    return *data.history;
}

mapping::MappingWorkbook& mappingWorkbook(ui::Ui& ui, DataObjects& data) {
    if (!data.mapping) data.mapping.emplace(ui.state().MappingPath);
    return *data.mapping;
}

}  // namespace kv::shell
