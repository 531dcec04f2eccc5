#include "import/import_run.h"

#include "data_access/date_text.h"
#include "data_access/trim_blanks.h"
#include "history_db/backup_path.h"
#include "history_db/copy_whole_file.h"
#include "import/exchange_merge.h"

#include <ctime>
#include <functional>
#include <stdexcept>

namespace kv::import {
namespace {

std::string today() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    return data_access::formatDate(local->tm_year + 1900, local->tm_mon + 1, local->tm_mday);
}

class Merge {
public:
    // `fieldMap` has a key entry.
    Merge(const mapping::FieldMap& fieldMap, data_access::Cursor& source, data_access::Cursor& history)
        : fieldMap_(fieldMap), source_(source), history_(history), today_(today()) {}

    void row(ImportCounts& counts) {
        const std::string call = value(key());
        if (call.empty()) {
            ++counts.withoutCall;
        } else if (!history_.seek(call)) {
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
        history_.setText(key().target, value(key()));
        for (const mapping::AList& entry : fieldMap_.values()) history_.setText(entry.target, value(entry));
        history_.setText("Updated", today_);
        history_.post();
    }

    // Returns whether anything besides `Updated` changed.
    bool update() {
        setColumn("Updated", today_);
        bool changed = false;
        ExchangePair fresh;
        bool mergeNeeded = false;
        for (const mapping::AList& entry : fieldMap_.values()) {
            const std::string offered = value(entry);
            if (offered.empty()) continue;  // an empty source value never clears what History knows
            if (entry.target == "data2" || entry.target == "data3") {
                (entry.target == "data2" ? fresh.data2 : fresh.data3) = offered;
                mergeNeeded = true;
            } else if (history_.text(entry.target) != offered) {
                setColumn(entry.target, offered);
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

    const mapping::AList& key() const { return *fieldMap_.key(); }

    const mapping::FieldMap& fieldMap_;
    data_access::Cursor& source_;
    data_access::Cursor& history_;
    const std::string today_;
};

// A map without a key entry cannot file a single station; an empty source needs none.
[[noreturn]] void throwNoKey(const mapping::FieldMap& fieldMap, const ImportSource& source) {
    if (fieldMap.isEmpty())
        throw std::runtime_error("The mapping workbook names no column to import for " + source.mappingKey());
    throw std::runtime_error("The mapping workbook names no History column for the call of " + source.mappingKey());
}

ImportCounts merge(history_db::HistoryStore& store, ImportSource& source, const mapping::FieldMap& fieldMap,
                   const history_db::Progress& progress) {
    store.close();
    history_db::CopyWholeFile(store.path(), history_db::backupPathOf(store.path()),
                              history_db::CopyPermissions::OfSource);
    progress.tell(kBackupCreatedStatus);

    data_access::Cursor rows = source.open();
    data_access::Cursor history = store.openHistory();
    const long long total = rows.recordCount();
    progress.rowsDone(0, total);
    history.setIndexName("Call");

    ImportCounts counts;
    store.connection().runAllOrNothing([&] {
        Merge merge(fieldMap, rows, history);
        long long done = 0;
        for (; !rows.atEnd(); rows.next()) {
            if (!fieldMap.key()) throwNoKey(fieldMap, source);
            if (source.isStation(rows)) {
                merge.row(counts);
                ++counts.read;
            }
            progress.rowsDone(++done, total);
        }
    });
    progress.tell(kImportFinishedStatus);
    return counts;
}

// Runs one step of an import; its failure is told as the import's.
template <typename Step>
auto stoppingOnFailure(Step step) {
    try {
        return step();
    } catch (const std::exception& error) {
        throw std::runtime_error(std::string(error.what()) +
                                 "; IMPORT stopped, nothing was changed in the Kestrovane database");
    }
}

}  // namespace

ImportCounts runImport(history_db::HistoryStore& store, ImportSource& source, const mapping::FieldMap& fieldMap,
                       const history_db::Progress& progress) {
    return stoppingOnFailure([&] { return merge(store, source, fieldMap, progress); });
}

ImportCounts runImport(history_db::HistoryStore& store, ImportSource& source, mapping::MappingWorkbook& workbook,
                       const history_db::Progress& progress) {
    return stoppingOnFailure([&] {
        const mapping::ImportMapping mapping = workbook.importMapping(source.mappingKind(), source.mappingKey());
        return merge(store, source, mapping.fieldMap, progress);
    });
}

}  // namespace kv::import
