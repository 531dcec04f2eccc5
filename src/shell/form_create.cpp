#include "shell/form_create.h"

#include "shell/window_operations.h"
#include "ui/import_types.h"

#include <filesystem>

namespace kv::shell {

void FormCreate(ui::Ui& ui) {
    ui.setText("TForm1", "Kestrovane History Manager");

    ui::ApplicationState& state = ui.state();
    state.MappingPath = ui.programDirectory() + "mapping.xls";
    if (!std::filesystem::exists(std::filesystem::u8path(state.MappingPath))) {
        ui.showMessageBox(state.MappingPath + " not found in program directory, Kestrovane terminated",
                          ui::BoxKind::Error, ui::BoxButtons::Ok);
        ui.requestTerminate();
    }

    ResetImportControls(ui);
    ResetExportControls(ui);
    ui.setText("Edit_MinLogs", "1");
    for (const char* control : {"Label_MinLogs", "Edit_MinLogs"}) ui.setVisible(control, false);
    ui.setEnabled("ComboBox_ImportType", false);
    ui.setEnabled("ComboBox_ExportContest", false);

    FillImportTypes(ui);

    for (const char* item : {"CloseThDB", "Exit1", "EmptyThDB", "PruneThDB", "RestoreThDB", "ViewThDB"})
        ui.setEnabled(item, false);

    SetStatus(ui, "Kestrovane initialized, Open Kestrovane database to start (File menu)");
    ui.setVisible("ProgressBar1", false);
    // The date format needs no setting here: data_access/date_text.h is the one place every
    // date is formatted, and it always writes month-day-year with "-" and no leading zeros.
}

void FillImportTypes(ui::Ui& ui) {
    ui.addItem("ComboBox_ImportType", ui::kLoggerHamDatabase, std::nullopt);
    ui.addItem("ComboBox_ImportType", ui::kHistoryFile, std::nullopt);
    ui.addItem("ComboBox_ImportType", ui::kContestLogs, std::nullopt);
    ui.setItemIndex("ComboBox_ImportType", -1);
}

}  // namespace kv::shell
