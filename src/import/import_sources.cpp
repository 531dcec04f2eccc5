#include "import/import_sources.h"

#include "data_access/source_connection_strings.h"
#include "history_db/table_exists.h"
#include "import/contest_entry.h"
#include "mapping/mapping_workbook.h"
#include "shell/window_operations.h"
#include "ui/import_types.h"

#include <filesystem>

namespace kv::import {
namespace {

const char* const kContestSelected = "Contest selected, IMPORT to load contest in Kestrovane database";

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

void listLoggerContests(ui::Ui& ui, shell::DataObjects& data) {
    data_access::Cursor& contests = data.ADODataSet_HamDb;
    contests.setConnection(&data.ADOConnection_HamDb);
    contests.setTableName("ContestInstance");
    contests.setDirectTable(false);
    contests.open();
    contests.setSort("ContestName ASC");

    ui.clearItems("Combobox_Contest");
    for (contests.first(); !contests.atEnd(); contests.next()) {
        const std::string name = contests.text("ContestName");
        if (!mapping::IsLoggerContestListed(data, name)) continue;
        ui.addItem("Combobox_Contest", contestEntryText(name, contests.text("StartDate")),
                   ui::ContestRecord{contests.text("Contestnr"), name});
    }
    contests.close();
}

}  // namespace

void OpenHamDB(ui::Ui& ui, shell::DataObjects& data) {
    const std::optional<std::string> chosen = ui.executeDialog("OpenDialog_HamDB");
    if (!chosen) return;
    ui.state().LoggerDbPath = *chosen;
    RemoveHistoryFileCopy(data);
    data.ADODataSet_HamDb.close();
    data.ADOConnection_HamDb.close();
    data.ADOConnection_HamDb.setConnectionString(data_access::accessDatabaseConnectionString(*chosen));
    if (!history_db::TableExists(data, data.ADOConnection_HamDb, "DXLOG")) {
        ui.showMessageBox("Selected database file not a valid N1MM Logger database", ui::BoxKind::Information,
                          ui::BoxButtons::Ok);
        return;
    }
    enableContestList(ui);
    showSource(ui, *chosen);

    mapping::OpenImportSheet(data);
    listLoggerContests(ui, data);
    mapping::CloseSheet(data);

    ui.setItemIndex("Combobox_Contest", 0);
    enableContestList(ui);
    shell::SetStatus(ui, "HAM database loaded, select which specific contest to import");
}

void OpenHistFile(ui::Ui& ui, shell::DataObjects& data) {
    const std::optional<std::string> chosen = ui.executeDialog("OpenDialog_SourceHistory");
    if (!chosen) return;
    showSource(ui, *chosen);
    ui.state().HistoryFileSourcePath = *chosen;
    OpenHistoryFileSource(data, *chosen);

    mapping::FillHistoryFileContests(ui, data);
    shell::SetStatus(ui, "History(text)file loaded, select which contest type to use");
}

void OpenHistoryFileSource(shell::DataObjects& data, const std::string& chosen) {
    const std::filesystem::path folder = MakeHistoryFileCopy(data, chosen);
    data.ADOConnection_hist.setConnectionString(data_access::textFolderConnectionString(folder.string()));
    data.ADODataSet_Hist.setConnection(&data.ADOConnection_hist);
    data.ADODataSet_Hist.setTableName(kHistoryFileCopy);
    data.ADODataSet_Hist.setDirectTable(false);
    try {
        ReadHistoryFileCopy(data, chosen, [&] {
            data.ADODataSet_Hist.open();
            data.ADODataSet_Hist.close();
        });
    } catch (...) {
        RemoveHistoryFileCopy(data);
        throw;
    }
}

void Combobox_ContestSelect(ui::Ui& ui, shell::DataObjects& data) {
    ui::ApplicationState& state = ui.state();
    if (ui.text("ComboBox_ImportType") == ui::kLoggerHamDatabase) {
        const std::optional<ui::ContestRecord> record =
            ui.itemRecord("Combobox_Contest", ui.itemIndex("Combobox_Contest"));
        if (!record) return;
        state.ImportContestNr = record->contestNr;
        state.ImportContestName = record->contestName;
        if (!mapping::CheckLoggerContest(ui, data, state.ImportContestName)) return;
    } else {
        state.ImportContestGeneral = ui.text("Combobox_Contest");
    }
    shell::SetStatus(ui, kContestSelected);
    ui.setEnabled("Button_Import", true);
}

}  // namespace kv::import
