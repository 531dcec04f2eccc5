#include "import/import_run.h"

#include "data_access/text_cut.h"
#include "data_access/trim_blanks.h"
#include "history_db/backup_set.h"
#include "history_db/history_date.h"
#include "import/exchange_merge.h"
#include "import/joined_names.h"
#include "import/ordered_history_file.h"

#include <algorithm>
#include <future>
#include <optional>
#include <stdexcept>

namespace kv::import {
namespace {

class Merge {
public:
    // `fieldMap` has a key entry.
    Merge(const mapping::FieldMap& fieldMap, const ImportSource& source, data_access::Cursor& rows,
          data_access::Cursor& history)
        : fieldMap_(fieldMap),
          source_(source),
          rows_(rows),
          history_(history),
          today_(history_db::displayText(history_db::localToday())) {}

    void row(ImportCounts& counts) {
        readValues(counts.cut);
        const std::string& call = key_;
        if (call.empty()) {
            ++counts.withoutCall;
        } else if (!history_.seek(call)) {
            if (!source_.mayInsert(rows_)) {
                ++counts.heldBack;
                return;
            }
            insert();
            ++counts.inserted;
        } else if (update()) {
            ++counts.updated;
        } else {
            ++counts.unchanged;
        }
    }

private:
    // The row's values as they will be filed: the key first, so that a value cut can name its call.
    void readValues(ValuesCut& cut) {
        if (columns_.empty()) learnColumns();
        key_ = fitted(key(), columns_[0], cut, "");
        values_.clear();
        for (std::size_t i = 0; i < fieldMap_.values().size(); ++i)
            values_.push_back(fitted(fieldMap_.values()[i], columns_[i + 1], cut, key_));
    }

    // Where an entry of the field map reads and writes, and what its target holds.
    struct Columns {
        data_access::Cursor::Field source;
        data_access::Cursor::Field target;
        std::optional<std::size_t> capacity;
    };

    // Each entry's columns, the key's first, found once per run; a column History lacks fails here
    // as a write would, before a column the source lacks fails as a read would.
    void learnColumns() {
        std::vector<const mapping::AList*> entries{&key()};
        for (const mapping::AList& entry : fieldMap_.values()) entries.push_back(&entry);
        for (const mapping::AList* entry : entries)
            columns_.push_back({{}, history_.field(entry->target), history_.textCapacity(entry->target)});
        for (std::size_t i = 0; i < entries.size(); ++i) columns_[i].source = rows_.field(entries[i]->source);
        updated_ = history_.field("Updated");
    }

    // The logger writes a blank for a column it has no value for (GridSquare " "); blanks around
    // a value are never part of it. A value longer than its column is cut to what the column holds.
    std::string fitted(const mapping::AList& entry, const Columns& columns, ValuesCut& cut, const std::string& call) {
        const std::string text = rows_.text(columns.source);
        const std::string_view value = data_access::trimBlanks(text);
        if (value.empty()) return {};
        if (!columns.capacity) return std::string(value);
        const std::string_view kept = data_access::leadingCharacters(value, *columns.capacity);
        if (kept.size() == value.size()) return std::string(value);
        if (cut.count++ == 0) {
            cut.firstPlace = source_.rowPlace(rows_);
            cut.firstCall = entry.target == key().target ? std::string(kept) : call;
        }
        if (std::ranges::find(cut.columns, entry.target) == cut.columns.end()) cut.columns.push_back(entry.target);
        return std::string(kept);
    }

    // A new station gets every mapped value, empty ones too; its data2 and data3 need no merge.
    void insert() {
        history_.insert();
        history_.setText(columns_[0].target, key_);
        for (std::size_t i = 0; i < values_.size(); ++i) history_.setText(columns_[i + 1].target, values_[i]);
        history_.setText(updated_, today_);
        history_.post();
    }

    // Stamps the station `Updated` and files what the row offers, in one edit; returns whether
    // anything besides `Updated` changed.
    bool update() {
        history_.edit();
        history_.setText(updated_, today_);
        bool changed = false;
        ExchangePair fresh;
        bool mergeNeeded = false;
        for (std::size_t i = 0; i < values_.size(); ++i) {
            const mapping::AList& entry = fieldMap_.values()[i];
            const std::string& offered = values_[i];
            if (offered.empty()) continue;  // an empty source value never clears what History knows
            if (entry.target == "data2" || entry.target == "data3") {
                (entry.target == "data2" ? fresh.data2 : fresh.data3) = offered;
                mergeNeeded = true;
            } else if (history_.text(columns_[i + 1].target) != offered) {
                history_.setText(columns_[i + 1].target, offered);
                changed = true;
            }
        }
        if (mergeNeeded) {
            const MergeResult merged = MergeExchangeValues(fresh, {history_.text("data2"), history_.text("data3")});
            if (merged.changed) {
                history_.setText("data2", merged.result.data2);
                history_.setText("data3", merged.result.data3);
                changed = true;
            }
        }
        history_.post();
        return changed;
    }

    const mapping::AList& key() const { return *fieldMap_.key(); }

    const mapping::FieldMap& fieldMap_;
    const ImportSource& source_;
    data_access::Cursor& rows_;
    data_access::Cursor& history_;
    const std::string today_;
    std::vector<Columns> columns_;  // the key's, then by fieldMap_.values()
    data_access::Cursor::Field updated_{};
    std::string key_;
    std::vector<std::string> values_;  // by fieldMap_.values()
};

// A map without a key entry cannot file a single station; an empty source needs none.
[[noreturn]] void throwNoKey(const mapping::FieldMap& fieldMap, const ImportSource& source) {
    if (fieldMap.isEmpty())
        throw std::runtime_error("The mapping workbook names no column to import for " + source.mappingKey());
    throw std::runtime_error("The mapping workbook names no History column for the call of " + source.mappingKey());
}

// The cursors of a run: the source's rows and History by its Call index.
struct RunCursors {
    data_access::Cursor rows;
    data_access::Cursor history;
};

// Backs History up and opens both cursors. The backup, which mostly waits for the disk, runs on
// a thread of its own while the source loads; History is opened once the copy is whole, since
// Windows does not let a file being copied be opened for writing. A failure is told as it would
// come if the steps ran one after another: the backup's, then the source's, then History's.
RunCursors openRun(history_db::HistoryStore& store, ImportSource& source, const history_db::Progress& progress) {
    store.close();
    std::future<void> backup = std::async(std::launch::async, history_db::backUpDatabase, store.path());
    auto backedUp = [&] {
        backup.get();  // rethrows the backup's failure
        progress.tell(kBackupCreatedStatus);
    };
    data_access::Cursor rows = [&] {
        try {
            return source.open();
        } catch (...) {
            backedUp();
            throw;
        }
    }();
    backedUp();
    data_access::Cursor history = store.openHistory();
    history.setIndexName("Call");
    return {std::move(rows), std::move(history)};
}

ImportCounts merge(history_db::HistoryStore& store, ImportSource& source, const mapping::FieldMap& fieldMap,
                   const history_db::Progress& progress) {
    auto [rows, history] = openRun(store, source, progress);
    const long long total = rows.recordCount();
    progress.rowsDone(0, total);

    ImportCounts counts;
    store.connection().runAllOrNothing([&] {
        Merge merge(fieldMap, source, rows, history);
        long long done = 0;
        for (; !rows.atEnd(); rows.next()) {
            if (!fieldMap.key()) throwNoKey(fieldMap, source);
            if (source.isStation(rows)) {
                merge.row(counts);
                ++counts.read;
            }
            progress.rowsDone(++done, total);
        }
        rows.close();
        source.finishReading();
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

ImportCounts runImport(history_db::HistoryStore& store, OrderedHistoryFile& source,
                       const history_db::Progress& progress) {
    return stoppingOnFailure([&] {
        const mapping::FieldMap fieldMap = source.fieldMap(store.openHistory().columnNames());
        ImportCounts counts = merge(store, source, fieldMap, progress);
        counts.fieldsSkipped = source.fieldsSkipped(fieldMap);
        counts.extraFields = source.extraFields();
        counts.firstExtraLine = source.firstExtraLine();
        return counts;
    });
}

ImportCounts runImport(history_db::HistoryStore& store, ContestLogs& source, const history_db::Progress& progress) {
    return stoppingOnFailure([&] {
        ImportCounts counts = merge(store, source, source.fieldMap(), progress);
        counts.logs = source.counts();
        return counts;
    });
}

namespace {

std::string counted(long long count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string logNotesText(const ImportCounts& counts) {
    const LogCounts& logs = counts.logs;
    std::string text = counted(logs.logs, "log", "logs") + " read, with " + counted(logs.qsos, "QSO", "QSOs") + ".\n";
    if (logs.malformed > 0)
        text += counted(logs.malformed, "malformed QSO was", "malformed QSOs were") + " skipped; the first at " +
                logs.firstMalformed + ".\n";
    if (logs.otherContest > 0)
        text += counted(logs.otherContest, "QSO of another contest was", "QSOs of other contests were") + " skipped.\n";
    if (counts.heldBack > 0)
        text += counted(counts.heldBack, "new station was", "new stations were") +
                " not inserted: worked by fewer logs than the minimum.\n";
    if (logs.conflicts > 0)
        text += counted(logs.conflicts, "value the logs disagreed on was", "values the logs disagreed on were") +
                " decided by the vote.\n";
    return text;
}

}  // namespace

std::string runNotesText(const ImportCounts& counts) {
    std::string text;
    if (counts.cut.count > 0)
        text += std::to_string(counts.cut.count) +
                (counts.cut.count == 1 ? " value was longer than its History column holds and was cut to fit ("
                                       : " values were longer than their History columns hold and were cut to fit (") +
                joinedNames(counts.cut.columns) + "); the first at " + counts.cut.firstPlace + ", call " +
                counts.cut.firstCall + ".\n";
    if (!counts.fieldsSkipped.empty())
        text += "Fields with no History column were skipped: " + joinedNames(counts.fieldsSkipped) + ".\n";
    if (counts.extraFields > 0)
        text += std::to_string(counts.extraFields) +
                (counts.extraFields == 1 ? " value past the fields its line's !!Order!! names was"
                                         : " values past the fields their line's !!Order!! names were") +
                " ignored; the first at line " + std::to_string(counts.firstExtraLine) + ".\n";
    if (counts.logs.logs > 0) text += logNotesText(counts);
    return text;
}

}  // namespace kv::import
