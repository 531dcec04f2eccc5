#include "history_db/history_database.h"

#include "data_access/source_connection_strings.h"
#include "history_db/compact_history_database.h"
#include "history_db/copy_whole_file.h"
#include "history_db/table_exists.h"
#include "mapping/mapping_workbook.h"
#include "shell/window_operations.h"

#include <filesystem>

namespace kv::history_db {
namespace {

// The controls that only make sense while a database is open, besides the menu's Open.
constexpr const char* kDatabaseControls[] = {
    "ComboBox_ImportType", "ComboBox_ExportContest", "CloseThDB", "Exit1", "EmptyThDB", "ViewThDB"};

void showInformation(ui::Ui& ui, const std::string& text) {
    ui.showMessageBox(text, ui::BoxKind::Information, ui::BoxButtons::Ok);
}

bool confirmed(ui::Ui& ui, const std::string& question) {
    return ui.showMessageBox(question, ui::BoxKind::Information, ui::BoxButtons::YesNo) == ui::BoxAnswer::Yes;
}

void closeAndUnbind(data_access::Cursor& cursor) {
    cursor.close();
    cursor.setConnection(nullptr);
}

// The window back in No database, the History connection closed.
void leaveDatabaseOpen(ui::Ui& ui, shell::DataObjects& data) {
    closeAndUnbind(data.ADODataSet_ThDB);
    closeAndUnbind(data.ADODataSet_Mapping);

    shell::ResetImportControls(ui);
    shell::ResetExportControls(ui);
    for (const char* control : kDatabaseControls) ui.setEnabled(control, false);
    ui.setEnabled("Open_ThDb", true);

    data.ADOConnection_ThDB.close();
}

// Opens the copy of the template that New has just made at `path`. A copy that is refused, or whose
// opening fails, is not left behind as a database the user might take for a good one: the window
// leaves Database open if it had entered it, and the file is removed when New created it.
void openNewDatabase(ui::Ui& ui, shell::DataObjects& data, const std::string& path, bool created) {
    auto forget = [&] {
        if (ui.isEnabled("CloseThDB")) leaveDatabaseOpen(ui, data);
        data.ADOConnection_ThDB.close();
        std::error_code ignored;
        if (created) std::filesystem::remove(path, ignored);
    };
    try {
        if (OpenTHDatabase(ui, data, path)) return;
    } catch (...) {
        forget();
        throw;
    }
    forget();
}

}  // namespace

bool OpenTHDatabase(ui::Ui& ui, shell::DataObjects& data, const std::string& path) {
    data.ADOConnection_ThDB.close();
    data.ADOConnection_ThDB.setConnectionString(data_access::accessDatabaseConnectionString(path));
    data.ADODataSet_ThDB.close();
    data.ADODataSet_ThDB.setConnection(&data.ADOConnection_ThDB);

    if (!TableExists(data, data.ADOConnection_ThDB, "version")) {
        showInformation(ui, "Selected database file not a valid History/Kestrovane database");
        return false;
    }

    for (const char* control : kDatabaseControls) ui.setEnabled(control, true);
    ui.setEnabled("Label_ImportType", true);
    ui.setEnabled("Label_ExportContest", true);

    mapping::ConnectMappingWorkbook(ui, data);
    mapping::FillExportContests(ui, data);

    shell::SetStatus(ui, "Kestrovane databases opened, importing or exporting history enabled");
    ui.setEnabled("Open_ThDb", false);
    return true;
}

void CloseTHDatabase(ui::Ui& ui, shell::DataObjects& data) {
    leaveDatabaseOpen(ui, data);
    CompactHistoryDatabase(ui, ui.state().HistoryPath);
    shell::SetStatus(ui, "Kestrovane database closed and compacted");
}

void NewThDBClick(ui::Ui& ui, shell::DataObjects& data) {
    const std::string templatePath = ui.programDirectory() + kTemplateFileName;
    if (!std::filesystem::exists(templatePath)) {
        showInformation(ui,
                        "Cannot create new database, template file \"kestrovane_mdb.template\" not found in "
                        "Kestrovane directory");
        return;
    }

    ui.setDialogFilter("SaveDialog_newThDB", "Kestrovane database(*.mdb)|*.mdb");
    ui.setDialogDefaultExt("SaveDialog_newThDB", ".mdb");
    const std::optional<std::string> chosen = ui.executeDialog("SaveDialog_newThDB");
    if (!chosen) return;
    // Replacing a database loses every call in it, so the user says so first.
    if (std::filesystem::exists(*chosen) && !confirmed(ui, *chosen + " already exists.\nDo you want to replace it?"))
        return;

    const bool created = !std::filesystem::exists(*chosen);

    ui::ApplicationState& state = ui.state();
    // Only a database that was accepted is closed and compacted: HistoryPath also keeps a file
    // that Open refused, and compacting that would rewrite a file that is not ours.
    if (!state.HistoryPath.empty() && ui.isEnabled("CloseThDB")) CloseTHDatabase(ui, data);
    state.HistoryPath = *chosen;
    CopyWholeFile(templatePath, state.HistoryPath);
    openNewDatabase(ui, data, state.HistoryPath, created);
}

void Open_ThDbClick(ui::Ui& ui, shell::DataObjects& data) {
    const std::optional<std::string> chosen = ui.executeDialog("OpenDialog_ThDB");
    if (!chosen) return;
    ui.state().HistoryPath = *chosen;
    OpenTHDatabase(ui, data, *chosen);
}

void CloseThDBClick(ui::Ui& ui, shell::DataObjects& data) { CloseTHDatabase(ui, data); }

void Exit1Click(ui::Ui& ui, shell::DataObjects& data) {
    CloseTHDatabase(ui, data);
    ui.requestTerminate();
}

void EmptyThDBClick(ui::Ui& ui, shell::DataObjects& data) {
    if (!confirmed(ui, "Deleting all records of the history/Kestrovane database. Are you sure ?")) return;
    shell::BeginWaitCursor(ui);
    data.ADOCommand1.setConnection(&data.ADOConnection_ThDB);
    data.ADOCommand1.setCommandText("DELETE from History");
    data.ADOCommand1.execute();
    shell::EndWaitCursor(ui);
}

}  // namespace kv::history_db
