#include "shell/mapping_lists.h"

#include "import/ordered_history_file.h"

namespace kv::shell {
namespace {

void fillList(ui::Ui& ui, const char* list, const std::vector<std::string>& entries) {
    ui.clearItems(list);
    for (const std::string& entry : entries) ui.addItem(list, entry, std::nullopt);
}

}  // namespace

void FillExportContests(ui::Ui& ui, mapping::MappingWorkbook& workbook) {
    fillList(ui, "ComboBox_ExportContest", workbook.exportContests());
    ui.setItemIndex("ComboBox_ExportContest", -1);
}

void FillHistoryFileContests(ui::Ui& ui, mapping::MappingWorkbook& workbook) {
    std::vector<std::string> entries{import::kByOrderContestType};
    for (std::string& type : workbook.historyFileContestTypes()) entries.push_back(std::move(type));
    fillList(ui, "Combobox_Contest", entries);
    ui.setItemIndex("Combobox_Contest", 0);
    ui.setEnabled("Combobox_Contest", true);
    ui.setEnabled("Label_Contest", true);
}

}  // namespace kv::shell
