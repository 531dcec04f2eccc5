#include "export/history_file_export.h"

#include "data_access/file_replacement.h"
#include "data_access/text_encoding.h"
#include "export/file_error_text.h"
#include "export/history_file_layout.h"
#include "export/history_file_line.h"

#include <filesystem>
#include <vector>

namespace kv::export_ {
namespace {

// Runs a step on the target file; a failure is told by its error code, as the user knows them.
template <typename Step>
auto onTargetFile(Step step) {
    try {
        return step();
    } catch (const data_access::FileError& error) {
        throw std::runtime_error(fileErrorText(error.code()));
    }
}

// The file's text, its `!!Order!!` line (if any) and one line per row with something to say,
// and the number of station lines.
std::pair<std::string, long long> historyLines(data_access::Cursor& history, const mapping::ExportColumns& columns,
                                               const history_db::Progress& progress) {
    const long long total = history.recordCount();
    progress.rowsDone(0, total);
    if (columns[0].empty()) return {std::string(), 0};
    const HistoryFileLayout layout = historyFileLayout(columns);
    std::string text = layout.orderLine;
    long long lines = 0;
    std::vector<std::optional<data_access::Cursor::Field>> sources;  // by field of a line; none for a blank one
    for (std::size_t position : layout.positions)
        sources.push_back(columns[position].empty() ? std::nullopt : std::optional(history.field(columns[position])));
    std::vector<std::string> values(layout.positions.size());
    std::vector<std::string_view> fields(layout.positions.size());
    long long done = 0;
    for (history.first(); !history.atEnd(); history.next()) {
        for (std::size_t i = 0; i < sources.size(); ++i) {
            values[i] = sources[i] ? history.text(*sources[i]) : std::string();
            fields[i] = values[i];
        }
        lines += appendHistoryLine(text, fields);
        progress.rowsDone(++done, total);
    }
    return {text, lines};
}

}  // namespace

std::string exportedStatus(const std::string& target) {
    return "Historyfile generated:" + std::filesystem::path(target).filename().string();
}

long long exportHistoryFile(history_db::HistoryStore& store, const mapping::ExportColumns& columns,
                            const std::string& target, HistoryFileEncoding encoding,
                            const history_db::Progress& progress) {
    data_access::FileReplacement file = onTargetFile([&] { return data_access::FileReplacement(target); });

    data_access::Cursor history = store.openHistory();
    // A column the table lacks raises the cursor's field error before the first line is made.
    for (const std::string& column : columns)
        if (!column.empty()) history.field(column);
    const auto [text, lines] = historyLines(history, columns, progress);

    onTargetFile([&] {
        file.write(encoding == HistoryFileEncoding::Windows1252 ? data_access::encodeWindows1252(text) : text);
        file.commit();
    });
    progress.tell(exportedStatus(target));
    return lines;
}

}  // namespace kv::export_
