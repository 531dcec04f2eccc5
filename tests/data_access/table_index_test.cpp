// The in-memory index against a plain ordered set of (key, row): after rows are put again and
// again, new rows are added and keys repeat or share long beginnings, walking it, seeking a key and
// seeking from a key find exactly what the set finds, whether the index was built from the
// source's entries or from rows not yet committed.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <set>

#include "data_access/table_index.h"

namespace kv::data_access {
namespace {

// One column whose text is its own key; the source's entries are its rows in key order.
class KeyedRows : public ProviderTable {
public:
    explicit KeyedRows(std::vector<std::string> keys) : keys_(std::move(keys)) {}
    const std::vector<std::string>& columnNames() const override { return names_; }
    std::size_t rowCount() const override { return keys_.size(); }
    void readRow(std::size_t position, Row& into) const override { into = {keys_.at(position)}; }
    const std::vector<IndexInfo>& indexes() const override { return indexes_; }
    Value convert(std::size_t, const Value& value) const override { return value; }
    IndexEntries indexEntries(const IndexInfo&) const override {
        std::vector<std::size_t> rows(keys_.size());
        std::iota(rows.begin(), rows.end(), std::size_t{0});
        std::sort(rows.begin(), rows.end(),
                  [&](std::size_t a, std::size_t b) { return std::tie(keys_[a], a) < std::tie(keys_[b], b); });
        IndexEntries entries;
        for (std::size_t row : rows) entries.add(keys_[row], row);
        return entries;
    }
    std::string encodeKey(const IndexInfo&, const std::vector<Value>& values) const override {
        return values.at(0).value_or("");
    }
    std::vector<std::size_t> commit(const TableChanges&) override { return {}; }

private:
    std::vector<std::string> keys_;
    std::vector<std::string> names_{"Call"};
    std::vector<IndexInfo> indexes_{{"Call", {{"Call"}}, false, false}};
};

// Keys that often repeat, are empty, end in a zero byte or agree in more than eight bytes.
std::string randomKey(std::mt19937& random) {
    static const std::vector<std::string> stems = {
        "", "K1", "LONGPREFIX", "LONGPREFIX0", std::string("K1\0", 3), "\xff\xfe", "W"};
    std::string key = stems[random() % stems.size()];
    if (random() % 3 != 0) key += static_cast<char>('A' + random() % 4);
    return key;
}

void expectSameAsModel(const TableIndex& index, const std::set<std::pair<std::string, std::size_t>>& model,
                       std::mt19937& random) {
    std::vector<std::size_t> walked, expected;
    for (auto row = index.firstRow(); row && walked.size() <= model.size(); row = index.rowAfter(*row))
        walked.push_back(*row);
    for (const auto& [key, row] : model) expected.push_back(row);
    ASSERT_EQ(walked, expected);
    for (int probe = 0; probe < 20; ++probe) {
        const std::string key = randomKey(random);
        const auto from = model.lower_bound({key, 0});
        const std::optional<std::size_t> expectedFrom =
            from == model.end() ? std::nullopt : std::optional<std::size_t>(from->second);
        EXPECT_EQ(index.firstRowFrom(key), expectedFrom) << testing::PrintToString(key);
        std::vector<std::size_t> withKey, expectedWithKey;
        for (auto row = index.firstRowWithKey(key); row; row = index.nextRowWithKey(*row)) withKey.push_back(*row);
        for (auto it = from; it != model.end() && it->first == key; ++it) expectedWithKey.push_back(it->second);
        EXPECT_EQ(withKey, expectedWithKey) << testing::PrintToString(key);
    }
}

TEST(TableIndex, FindsWhatAnOrderedSetFindsAsRowsArePutAgainAndAdded) {
    for (bool rowsMatchSource : {true, false}) {
        std::mt19937 random(rowsMatchSource ? 7 : 11);
        std::vector<std::string> keys;
        for (int i = 0; i < 300; ++i) keys.push_back(randomKey(random));
        KeyedRows source(keys);
        TableIndex index(source, source.indexes()[0], {0}, source, rowsMatchSource);
        std::set<std::pair<std::string, std::size_t>> model;
        for (std::size_t row = 0; row < keys.size(); ++row) model.insert({keys[row], row});
        expectSameAsModel(index, model, random);

        for (int step = 0; step < 600; ++step) {
            // Mostly rows already there, built or put before; now and then a new row.
            const std::size_t row = random() % 10 == 0 ? keys.size() : random() % keys.size();
            if (row == keys.size()) keys.emplace_back();
            model.erase({keys[row], row});
            keys[row] = randomKey(random);
            model.insert({keys[row], row});
            index.put(row, keys[row]);
            if (step % 50 == 0) expectSameAsModel(index, model, random);
        }
        expectSameAsModel(index, model, random);
        EXPECT_EQ(index.rowAfter(keys.size() + 5), std::nullopt) << "a row the index does not hold";
    }
}

}  // namespace
}  // namespace kv::data_access
