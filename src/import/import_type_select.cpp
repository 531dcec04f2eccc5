#include "import/import_type_select.h"

#include "shell/window_operations.h"
#include "ui/import_types.h"

namespace kv::import {

void ComboBox_ImportTypeSelect(ui::Ui& ui, const SourceChoices& choices) {
    ui.setEnabled("Label_Contest", false);
    ui.setEnabled("Combobox_Contest", false);
    ui.clearItems("Combobox_Contest");
    ui.setText("Edit_SourceFilename", "");
    ui.setEnabled("Button_Import", false);

    if (ui.text("ComboBox_ImportType") == ui::kLoggerHamDatabase) {
        shell::SetStatus(ui, "Import type selected is HAM (Logger) database, specify filename");
        ui::run(choices.OpenHamDB, ui);
    } else {
        shell::SetStatus(ui, "Import type selected is History(text)file, specify filename");
        ui::run(choices.OpenHistFile, ui);
    }

    ui.setEnabled("Edit_SourceFilename", true);
    shell::ResetExportControls(ui);
}

}  // namespace kv::import
