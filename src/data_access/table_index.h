#pragma once
// An index of a table held in memory: its entries ordered by key, kept up to date as rows are
// posted. Keys come from the provider (ProviderTable::indexEntries once, encodeKey for changed
// rows), so the order is the source's own. Equal keys are ordered by row position, which makes
// the first equal entry the first such row of the table. Each key is held once, by its row; the
// order holds row positions.

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "data_access/provider.h"

namespace kv::data_access {

class TableIndex {
public:
    // `columns` are the positions of the index's columns in the table. When `rowsMatchSource` is
    // false (posts not yet committed), keys are encoded from `rows` instead of taken from the source.
    TableIndex(const ProviderTable& source, IndexInfo info, std::vector<std::size_t> columns, const RowSource& rows,
               bool rowsMatchSource);
    TableIndex(const TableIndex&) = delete;
    TableIndex& operator=(const TableIndex&) = delete;

    const IndexInfo& info() const { return info_; }

    // Throws when the provider cannot encode the key.
    std::string keyOfRow(const Row& row) const;
    std::string keyOfValues(const std::vector<Value>& values) const;

    // Adds the row, or moves it to its new key.
    void put(std::size_t row, std::string key);

    std::optional<std::size_t> firstRow() const;
    std::optional<std::size_t> rowAfter(std::size_t row) const;
    // The first row with this key, and the row after a row with the same key.
    std::optional<std::size_t> firstRowWithKey(const std::string& key) const;
    std::optional<std::size_t> nextRowWithKey(std::size_t row) const;
    // The first row whose key is not before `key`.
    std::optional<std::size_t> firstRowFrom(const std::string& key) const;

private:
    // A key looked for, before every row that has it.
    struct Probe {
        std::string_view key;
    };
    // Orders rows by their keys, then by position; a probe goes before its key's rows.
    struct ByKey {
        using is_transparent = void;
        const std::vector<std::string>* keys;
        bool operator()(std::size_t a, std::size_t b) const;
        bool operator()(std::size_t row, const Probe& probe) const { return (*keys)[row] < probe.key; }
        bool operator()(const Probe& probe, std::size_t row) const { return probe.key <= (*keys)[row]; }
    };
    using Entries = std::set<std::size_t, ByKey>;
    std::optional<std::size_t> rowAt(Entries::const_iterator entry) const;
    bool indexed(std::size_t row) const { return row < indexed_.size() && indexed_[row]; }

    const ProviderTable& source_;
    IndexInfo info_;
    std::vector<std::size_t> columns_;
    std::vector<std::string> keyOfRow_;
    std::vector<bool> indexed_;  // by row: whether the order holds it
    Entries entries_;
};

}  // namespace kv::data_access
