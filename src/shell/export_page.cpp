#include "shell/export_page.h"

#include "shell/history_database.h"
#include "shell/row_progress.h"
#include "shell/window_operations.h"

#include <filesystem>

namespace kv::shell {

void ComboBox_ExportContestSelect(ui::Ui& ui) {
    ui.state().ExportContest = ui.text("ComboBox_ExportContest");
    ui.setShowHint("Edit_TargetHistory", false);
    ui.setEnabled("Button_TargetHistory", true);
    ui.setEnabled("Edit_TargetHistory", false);
    ui.setText("Edit_TargetHistory", "");
    ui.setEnabled("Button_Export", false);
    SetStatus(ui, "Contest mapping to use for history file selected, specify target history filename");
}

void Button_TargetHistoryClick(ui::Ui& ui) {
    const std::optional<std::string> chosen = ui.executeDialog("SaveDialog_TargetHistory");
    if (!chosen) return;
    ui.state().TargetHistoryPath = *chosen;
    ui.setEnabled("Edit_TargetHistory", true);
    ui.setText("Edit_TargetHistory", std::filesystem::path(*chosen).filename().string());
    ui.setHint("Edit_TargetHistory", *chosen);
    ui.setShowHint("Edit_TargetHistory", true);
    ui.setEnabled("Button_Export", true);
    SetStatus(ui, "Target history filename defined, select EXPORT to generate new history file");
}

void Button_ExportClick(ui::Ui& ui, DataObjects& data, export_::HistoryFileEncoding encoding) {
    const ui::ApplicationState& state = ui.state();
    const mapping::ExportMapping mapping = mappingWorkbook(ui, data).exportMapping(state.ExportContest);
    export_::exportHistoryFile(historyStore(ui, data), mapping.columns, state.TargetHistoryPath, encoding,
                               windowProgress(ui));
    hideProgress(ui);
}

}  // namespace kv::shell
