#include "ui/window_operations.h"

namespace kv::ui {

void ResetImportControls(Ui& ui) {
    ui.setText("Edit_SourceFilename", "");
    ui.clearItems("Combobox_Contest");
    ui.setEnabled("Combobox_Contest", false);
    ui.setEnabled("Button_Import", false);
}

void ResetExportControls(Ui& ui) {
    ui.setEnabled("Button_TargetHistory", false);
    ui.setText("Edit_TargetHistory", "");
    ui.setEnabled("Button_Export", false);
}

void BeginWaitCursor(Ui& ui) {
    ui.state().SavedCursor = ui.screenCursor();
    ui.setScreenCursor(ScreenCursor::Hourglass);
}

void EndWaitCursor(Ui& ui) {
    ui.setScreenCursor(ui.state().SavedCursor);
}

void SetStatus(Ui& ui, const std::string& text) {
    ui.setText("StatusBar1", text);
}

void Exit1Click(Ui& ui, const Handler& closeHistoryDatabase) {
    run(closeHistoryDatabase, ui);
    ui.requestTerminate();
}

} // namespace kv::ui
