#include "import/import_run.h"

#include "data_access/date_text.h"
#include "data_access/filter_expression.h"
#include "data_access/trim_blanks.h"
#include "history_db/backup_path.h"
#include "history_db/copy_whole_file.h"
#include "import/exchange_merge.h"
#include "import/history_file_copy.h"
#include "import/import_sources.h"
#include "mapping/mapping_workbook.h"
#include "shell/row_progress.h"
#include "shell/window_operations.h"
#include "ui/import_types.h"

#include <ctime>
#include <stdexcept>

namespace kv::import {
namespace {

std::string today() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    return data_access::formatDate(local->tm_year + 1900, local->tm_mon + 1, local->tm_mday);
}

// Call-history files as contesters share them carry comment lines ("# ..."), directive lines
// ("!!Order!!,...") and blank lines among the stations.
bool isStationLine(const data_access::Cursor& source) {
    const std::string first = source.text("field1");
    if (first.starts_with('#') || first.starts_with("!!")) return false;
    if (!first.empty()) return true;
    for (const std::string& column : source.columnNames())
        if (!source.text(column).empty()) return true;
    return false;
}

// The working copy of the call-history file at its first row, made again when an earlier run
// removed it.
data_access::Cursor& openHistoryFileCopy(shell::DataObjects& data, const std::string& chosen) {
    if (!data.historyFileFolder) OpenHistoryFileSource(data, chosen);
    ReadHistoryFileCopy(data, chosen, [&] {
        data.ADODataSet_Hist.open();
        data.ADODataSet_Hist.first();
    });
    return data.ADODataSet_Hist;
}

// The contest's QSOs of the logger's DXLOG, at the first.
data_access::Cursor& openLoggerQsos(shell::DataObjects& data, const std::string& contestNr) {
    data_access::Cursor& qsos = data.ADODataSet_HamDb;
    qsos.close();
    qsos.setConnection(&data.ADOConnection_HamDb);
    qsos.setTableName("DXLOG");
    qsos.setDirectTable(false);
    // The cursor keeps the contest list's sort on ContestName; one contest's QSOs share that name,
    // so sorting them would only cost time. They are merged in the order the log keeps them.
    qsos.setSort("");
    qsos.open();
    qsos.setFiltered(false);
    qsos.setFilter("ContestNR = " + data_access::quoteFilterText(contestNr));
    qsos.setFiltered(true);
    qsos.first();
    return qsos;
}

class Merge {
public:
    Merge(const mapping::FieldMap& fieldMap, data_access::Cursor& source, data_access::Cursor& history)
        : fieldMap_(fieldMap), source_(source), history_(history), today_(today()) {}

    void row(ImportCounts& counts) {
        const std::string key = value(fieldMap_.front());
        if (key.empty()) {
            ++counts.withoutCall;
        } else if (!history_.seek(key)) {
            insert();
            ++counts.inserted;
        } else if (update()) {
            ++counts.updated;
        } else {
            ++counts.unchanged;
        }
    }

private:
    // A new station gets every mapped value, empty ones too; its data2 and data3 need no merge.
    void insert() {
        history_.insert();
        for (const mapping::AList& entry : fieldMap_) history_.setText(entry.target, value(entry));
        history_.setText("Updated", today_);
        history_.post();
    }

    // Returns whether anything besides `Updated` changed.
    bool update() {
        setColumn("Updated", today_);
        bool changed = false;
        ExchangePair fresh;
        bool mergeNeeded = false;
        for (std::size_t i = 1; i < fieldMap_.size(); ++i) {
            const std::string offered = value(fieldMap_[i]);
            if (offered.empty()) continue;  // an empty source value never clears what History knows
            const std::string& target = fieldMap_[i].target;
            if (target == "data2" || target == "data3") {
                (target == "data2" ? fresh.data2 : fresh.data3) = offered;
                mergeNeeded = true;
            } else if (history_.text(target) != offered) {
                setColumn(target, offered);
                changed = true;
            }
        }
        if (!mergeNeeded) return changed;
        const MergeResult merged = MergeExchangeValues(fresh, {history_.text("data2"), history_.text("data3")});
        if (!merged.changed) return changed;
        history_.edit();
        history_.setText("data2", merged.result.data2);
        history_.setText("data3", merged.result.data3);
        history_.post();
        return true;
    }

    // The logger writes a blank for a column it has no value for (GridSquare " "); blanks around
    // a value are never part of it.
    std::string value(const mapping::AList& entry) const {
        return std::string(data_access::trimBlanks(source_.text(entry.source)));
    }

    void setColumn(const std::string& column, const std::string& value) {
        history_.edit();
        history_.setText(column, value);
        history_.post();
    }

    const mapping::FieldMap& fieldMap_;
    data_access::Cursor& source_;
    data_access::Cursor& history_;
    const std::string today_;
};

ImportCounts runImport(ui::Ui& ui, shell::DataObjects& data) {
    const ui::ApplicationState& state = ui.state();
    data.ADODataSet_ThDB.close();
    data.ADOConnection_ThDB.close();
    history_db::CopyWholeFile(state.HistoryPath, history_db::backupPathOf(state.HistoryPath),
                              history_db::CopyPermissions::OfSource);
    data.ADODataSet_ThDB.setConnection(&data.ADOConnection_ThDB);
    shell::SetStatus(ui, "Database backup created, IMPORT started");

    const bool logger = ui.text("ComboBox_ImportType") == ui::kLoggerHamDatabase;
    const mapping::FieldMap fieldMap =
        logger ? mapping::BuildFieldMap(data, mapping::ImportKind::Logger, state.ImportContestName)
               : mapping::BuildFieldMap(data, mapping::ImportKind::HistoryFile, state.ImportContestGeneral);
    data_access::Cursor& source =
        logger ? openLoggerQsos(data, state.ImportContestNr) : openHistoryFileCopy(data, state.HistoryFileSourcePath);

    data_access::Cursor& history = data.ADODataSet_ThDB;
    history.setTableName("History");
    history.setDirectTable(true);
    history.open();

    shell::RowProgress progress(ui, source.recordCount());
    history.setIndexName("Call");

    ImportCounts counts;
    data.ADOConnection_ThDB.runAllOrNothing([&] {
        Merge merge(fieldMap, source, history);
        for (; !source.atEnd(); source.next()) {
            if (fieldMap.empty())
                throw std::runtime_error("The mapping workbook names no column to import for " +
                                         (logger ? state.ImportContestName : state.ImportContestGeneral));
            if (logger || isStationLine(source)) {
                merge.row(counts);
                ++counts.read;
            }
            progress.rowDone();
        }
    });

    source.setFiltered(false);
    source.close();
    history.close();
    ui.setVisible("ProgressBar1", false);
    shell::SetStatus(ui, "IMPORT finished");
    return counts;
}

}  // namespace

ImportCounts Button_ImportClick(ui::Ui& ui, shell::DataObjects& data) {
    try {
        const ImportCounts counts = runImport(ui, data);
        RemoveHistoryFileCopy(data);
        return counts;
    } catch (const std::exception& error) {
        RemoveHistoryFileCopy(data);
        throw std::runtime_error(std::string(error.what()) +
                                 "; IMPORT stopped, nothing was changed in the "
                                 "Kestrovane database");
    }
}

}  // namespace kv::import
