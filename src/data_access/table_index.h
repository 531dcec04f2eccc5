#pragma once
// An index of a table held in memory: its entries ordered by key, kept up to date as rows are
// posted. Keys come from the provider (ProviderTable::indexEntries once, encodeKey for changed
// rows), so the order is the source's own. Equal keys are ordered by row position, which makes
// the first equal entry the first such row of the table. Each key is held once.
//
// The entries the index was built with lie in one sorted array, their keys in one buffer, so that
// a table of a million rows costs some 30 bytes a row and a search touches few cache lines. A row
// put since leaves its entry there, marked as gone, and joins a small ordered set; every walk and
// search takes the nearer of the two.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
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

    // Whether `values` agree with the row at `row` of `rows` (the rows indexed) in every column of
    // the index: then the row's key stays as it is.
    bool holdsColumnsOf(const RowSource& rows, std::size_t row, const Row& values) const;

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
    static constexpr std::uint32_t kNone = UINT32_MAX;

    // An entry of the built array: its key's first eight bytes as a number (most comparisons end
    // there), where its key starts in keys_ (it ends where the next one starts), and its row.
    struct BuiltEntry {
        std::uint64_t prefix;
        std::uint32_t keyStart;
        std::uint32_t row;
    };
    // A place in the index's order, between or at entries: a key, with its first eight bytes as a
    // number, and a row.
    struct Place {
        Place(std::string_view key, std::size_t row) : Place(key, row, keyPrefix(key)) {}
        Place(std::string_view key, std::size_t row, std::uint64_t prefix) : key(key), row(row), prefix(prefix) {}
        std::string_view key;
        std::size_t row;
        std::uint64_t prefix;
    };
    struct PutEntry {
        std::string key;
        std::size_t row;
        std::uint64_t prefix;
        Place place() const { return {key, row, prefix}; }
    };
    struct PutOrder {
        using is_transparent = void;
        bool operator()(const PutEntry& a, const PutEntry& b) const { return before(a.place(), b.place()); }
        bool operator()(const PutEntry& a, const Place& b) const { return before(a.place(), b); }
        bool operator()(const Place& a, const PutEntry& b) const { return before(a, b.place()); }
    };
    using PutEntries = std::set<PutEntry, PutOrder>;

    static std::uint64_t keyPrefix(std::string_view key);
    static bool before(const Place& a, const Place& b) {
        if (a.prefix != b.prefix) return a.prefix < b.prefix;
        return a.key != b.key ? a.key < b.key : a.row < b.row;
    }
    // Builds the array from entries in any order, leaving out those past the rows.
    void build(IndexEntries entries, std::size_t rowCount);
    std::string_view builtKey(std::size_t entry) const;
    Place builtPlace(std::size_t entry) const { return {builtKey(entry), built_[entry].row, built_[entry].prefix}; }
    // The first live built entry at or after `entry`, and the first one not before `place`.
    std::size_t liveFrom(std::size_t entry) const;
    std::size_t builtFrom(const Place& place) const;
    // The row of the nearer of a built entry and a put one; none when both are past the end.
    std::optional<std::size_t> nearer(std::size_t built, PutEntries::const_iterator put) const;
    // The first entry of either kind not before `place`, or after it.
    std::optional<std::size_t> rowFrom(const Place& place) const;
    std::optional<Place> placeOf(std::size_t row) const;

    const ProviderTable& source_;
    IndexInfo info_;
    std::vector<std::size_t> columns_;
    std::vector<BuiltEntry> built_;  // in the index's order
    std::vector<bool> gone_;         // by entry of built_: its row was put since
    std::string keys_;
    std::vector<std::uint32_t> builtOfRow_;  // by row: its entry in built_, or kNone
    PutEntries put_;
    std::vector<PutEntries::const_iterator> putOfRow_;  // by row once a row is put: put_.end() for none
};

}  // namespace kv::data_access
