#include "export/history_file_export.h"

#include "data_access/file_replacement.h"
#include "data_access/text_encoding.h"
#include "export/file_error_text.h"
#include "export/history_file_line.h"
#include "mapping/mapping_workbook.h"
#include "shell/history_table.h"
#include "shell/row_progress.h"
#include "shell/window_operations.h"

#include <filesystem>
#include <optional>

namespace kv::export_ {
namespace {

std::string fileNameOf(const std::string& path) { return std::filesystem::path(path).filename().string(); }

// Runs a step on the target file; a failure is told by its error code, as the user knows them.
template <typename Step>
auto onTargetFile(Step step) {
    try {
        return step();
    } catch (const data_access::FileError& error) {
        throw std::runtime_error(fileErrorText(error.code()));
    }
}

// The rows of History in the table's own order, with each named column checked before the first
// line is written: a missing one raises the cursor's field error.
data_access::Cursor& openHistory(shell::DataObjects& data, const std::array<std::string, 8>& columns) {
    data_access::Cursor& history = shell::openHistoryTable(data);
    for (const std::string& column : columns)
        if (!column.empty()) history.text(column);
    return history;
}

// The file's text: one line per row that has a value in fields 2 to 8.
std::string historyLines(ui::Ui& ui, data_access::Cursor& history, const std::array<std::string, 8>& columns) {
    shell::RowProgress progress(ui, history.recordCount());
    std::string text;
    if (columns[0].empty()) return text;
    std::array<std::string, 8> values;
    std::array<std::string_view, 8> fields;
    for (history.first(); !history.atEnd(); history.next()) {
        for (std::size_t k = 0; k < columns.size(); ++k) {
            values[k] = columns[k].empty() ? std::string() : history.text(columns[k]);
            fields[k] = values[k];
        }
        appendHistoryLine(text, fields);
        progress.rowDone();
    }
    return text;
}

}  // namespace

void ComboBox_ExportContestSelect(ui::Ui& ui) {
    ui.state().ExportContest = ui.text("ComboBox_ExportContest");
    ui.setShowHint("Edit_TargetHistory", false);
    ui.setEnabled("Button_TargetHistory", true);
    ui.setEnabled("Edit_TargetHistory", false);
    ui.setText("Edit_TargetHistory", "");
    ui.setEnabled("Button_Export", false);
    shell::SetStatus(ui, "Contest mapping to use for history file selected, specify target history filename");
}

void Button_TargetHistoryClick(ui::Ui& ui) {
    const std::optional<std::string> chosen = ui.executeDialog("SaveDialog_TargetHistory");
    if (!chosen) return;
    ui.state().TargetHistoryPath = *chosen;
    ui.setEnabled("Edit_TargetHistory", true);
    ui.setText("Edit_TargetHistory", fileNameOf(*chosen));
    ui.setHint("Edit_TargetHistory", *chosen);
    ui.setShowHint("Edit_TargetHistory", true);
    ui.setEnabled("Button_Export", true);
    shell::SetStatus(ui, "Target history filename defined, select EXPORT to generate new history file");
}

void Button_ExportClick(ui::Ui& ui, shell::DataObjects& data, HistoryFileEncoding encoding) {
    const ui::ApplicationState& state = ui.state();
    data_access::FileReplacement file =
        onTargetFile([&] { return data_access::FileReplacement(state.TargetHistoryPath); });
    const std::array<std::string, 8> columns = mapping::ReadExportColumns(data, state.ExportContest);

    data_access::Cursor& history = openHistory(data, columns);
    const std::string text = historyLines(ui, history, columns);
    history.close();
    ui.setVisible("ProgressBar1", false);

    onTargetFile([&] {
        file.write(encoding == HistoryFileEncoding::Windows1252 ? data_access::encodeWindows1252(text) : text);
        file.commit();
    });
    shell::SetStatus(ui, "Historyfile generated:" + fileNameOf(state.TargetHistoryPath));
}

}  // namespace kv::export_
