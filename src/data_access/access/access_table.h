#pragma once
// One table of an Access database as the table access layer sees it: the rows in page order, each
// cracked from its page and made text when it is read (the database's pages are the one copy of
// the rows), the logical indexes with their real index's columns, entries walked from the B-tree
// and keys encoded as Access encodes them.

#include <memory>

#include "data_access/provider.h"
#include "jet/database.h"
#include "jet/row.h"
#include "jet/table_edit.h"

namespace kv::data_access {

class AccessTable : public ProviderTable {
public:
    AccessTable(std::shared_ptr<const jet::Database> database, const jet::CatalogTable& table);

    const std::vector<std::string>& columnNames() const override { return columnNames_; }
    std::size_t rowCount() const override;
    void readRow(std::size_t position, Row& into) const override;
    void readCell(std::size_t position, std::size_t column, Value& into) const override;
    const std::vector<IndexInfo>& indexes() const override { return indexes_; }

    Value convert(std::size_t column, const Value& value) const override;
    // Text columns only; Memo has no limit worth telling.
    std::optional<std::size_t> textCapacity(std::size_t column) const override;
    IndexEntries indexEntries(const IndexInfo& index) const override;
    std::string encodeKey(const IndexInfo& index, const std::vector<Value>& values) const override;
    std::vector<std::size_t> commit(const TableChanges& changes) override;

private:
    const jet::RealIndex& realIndex(const IndexInfo& index) const;
    // The posted changes (by number) whose rows differ from the stored ones; all of them once so
    // many change that the table is rebuilt.
    std::vector<std::size_t> differingPosts(const TableChanges& changes) const;
    // The edit that makes the changes: the `differing` posted rows and every added one, typed.
    jet::TableEdit editFor(const TableChanges& changes, const std::vector<std::size_t>& differing) const;
    // Commits the changes as the engine judges best: in place, or laying the table down afresh.
    jet::CommittedEdit commitChanges(const TableChanges& changes);
    // Reads the table again from its file, as another program left it.
    void reload();

    std::shared_ptr<const jet::Database> database_;
    jet::TableDef def_;
    jet::RowPlaces stored_;
    // The row readCell found last, by position, until the table is written or read again.
    mutable std::optional<std::pair<std::size_t, jet::StoredRow>> cracked_;
    // What convert() made last of a value for a column that is not text: rows often get one value
    // in turn (an import stamps each with the day's date), and a date is costly to read and write.
    struct Conversion {
        std::size_t column;
        Value given;
        Value made;
    };
    mutable std::optional<Conversion> lastConversion_;
    std::vector<std::string> columnNames_;
    std::vector<IndexInfo> indexes_;
};

}  // namespace kv::data_access
