#pragma once
// A table held wholly in memory, its rows packed, with index keys that order text regardless of
// letter case. The text and Excel providers and the table listing build one; it is read-only, so
// any write raises an error naming the source.

#include <string>
#include <vector>

#include "data_access/packed_rows.h"
#include "data_access/provider.h"

namespace kv::data_access {

// The key of `values` under `index`: each value folded to small letters, NULL before any text,
// descending columns inverted, so that byte order of keys is the index's order.
std::string encodeFoldedKey(const IndexInfo& index, const std::vector<Value>& values);

class MemoryTable : public ProviderTable {
public:
    // `source` names the file and table in the read-only error.
    MemoryTable(std::string source, std::vector<std::string> columns, PackedRows rows,
                std::vector<IndexInfo> indexes = {});
    MemoryTable(std::string source, std::vector<std::string> columns, const std::vector<Row>& rows,
                std::vector<IndexInfo> indexes = {});

    const std::vector<std::string>& columnNames() const override { return columns_; }
    std::size_t rowCount() const override { return rows_.size(); }
    void readRow(std::size_t position, Row& into) const override { rows_.read(position, into); }
    void readCell(std::size_t position, std::size_t column, Value& into) const override {
        rows_.readCell(position, column, into);
    }
    const std::vector<IndexInfo>& indexes() const override { return indexes_; }

    Value convert(std::size_t column, const Value& value) const override;
    IndexEntries indexEntries(const IndexInfo& index) const override;
    std::string encodeKey(const IndexInfo& index, const std::vector<Value>& values) const override;
    std::vector<std::size_t> commit(const TableChanges& changes) override;

protected:
    void replaceRows(const std::vector<Row>& rows);

private:
    std::string source_;
    std::vector<std::string> columns_;
    PackedRows rows_;
    std::vector<IndexInfo> indexes_;
};

}  // namespace kv::data_access
