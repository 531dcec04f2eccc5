#include "shell/window_operations.h"

namespace kv::shell {

void ResetImportControls(ui::Ui& ui) {
    ui.setText("Edit_SourceFilename", "");
    ui.clearItems("Combobox_Contest");
    ui.setEnabled("Combobox_Contest", false);
    ui.setEnabled("Button_Import", false);
}

void ResetExportControls(ui::Ui& ui) {
    ui.setEnabled("Button_TargetHistory", false);
    ui.setText("Edit_TargetHistory", "");
    ui.setEnabled("Button_Export", false);
}

void BeginWaitCursor(ui::Ui& ui) {
    ui.state().SavedCursor = ui.screenCursor();
    ui.setScreenCursor(ui::ScreenCursor::Hourglass);
}

void EndWaitCursor(ui::Ui& ui) { ui.setScreenCursor(ui.state().SavedCursor); }

void SetStatus(ui::Ui& ui, const std::string& text) { ui.setText("StatusBar1", text); }

void ShowInformation(ui::Ui& ui, const std::string& text) {
    ui.showMessageBox(text, ui::BoxKind::Information, ui::BoxButtons::Ok);
}

bool Confirmed(ui::Ui& ui, const std::string& question) {
    return ui.showMessageBox(question, ui::BoxKind::Information, ui::BoxButtons::YesNo) == ui::BoxAnswer::Yes;
}

}  // namespace kv::shell
