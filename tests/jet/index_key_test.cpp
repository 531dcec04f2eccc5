// Every key stored in every index of every fixture, compared byte for byte with the key our encoder
// makes from the row the entry points at; and seeking each key through the tree.

#include <gtest/gtest.h>

#include <map>

#include "jet/database.h"
#include "jet/index_key.h"
#include "jet/index_tree.h"
#include "jet/text_codec.h"
#include "jet_fixtures.h"

namespace kv::jet {
namespace {

// The General sort order codes are known for U+0001..U+00FF.
bool hasCharacterBeyondLatin1(const std::string& text) {
    for (char32_t c : utf8ToCodePoints(text))
        if (c > 0xff) return true;
    return false;
}

TEST(IndexKeys, ReproduceEveryStoredKeyOfEveryFixture) {
    std::size_t reproduced = 0;
    std::size_t refused = 0;
    for (const auto& path : testing::allJet4Fixtures()) {
        Database db(path.string());
        for (const auto& table : db.tables()) {
            TableDef def = db.tableDef(table);
            TableRows rows = db.rows(def);
            for (const auto& index : def.realIndexes) {
                for (const auto& entry : readIndexEntries(db.file(), index)) {
                    const auto& row = rows.rows[rows.positionOf(entry.row)];
                    SCOPED_TRACE(path.filename().string() + " " + table.name);
                    try {
                        EXPECT_EQ(encodeIndexKey(def, index, row), entry.key);
                        ++reproduced;
                    } catch (const UnencodableKey& refusal) {
                        // A refusal is only right for text holding a character without a known code.
                        bool unknownText = false;
                        for (const auto& part : index.columns) {
                            const Value& value = row[def.columnPosition(part.columnNumber)];
                            if (auto text = std::get_if<std::string>(&value))
                                unknownText = unknownText || hasCharacterBeyondLatin1(*text);
                        }
                        EXPECT_TRUE(unknownText) << refusal.what();
                        ++refused;
                    }
                }
            }
        }
    }
    // The fixtures hold 2,580 index entries; those refused are the Russian, Greek and Japanese texts.
    EXPECT_EQ(reproduced + refused, 2580u);
    EXPECT_EQ(refused, 3u);
}

TEST(IndexKeys, EncodeLongTextAndNullKeysAsAccessDoes) {
    Column text;
    text.name = "Call";
    text.type = ColumnType::Text;
    text.sortOrder = 0x409;
    std::vector<std::uint8_t> key;
    appendColumnKey(key, text, std::string("-1"), true);
    EXPECT_EQ(key, (std::vector<std::uint8_t>{0x7f, 0x38, 0x01, 0x01, 0x01, 0x01, 0x80, 0x07, 0x06, 0x82, 0x00}));
    key.clear();
    appendColumnKey(key, text, std::string("ab  "), true);
    EXPECT_EQ(key, (std::vector<std::uint8_t>{0x7f, 0x4a, 0x4c, 0x01, 0x00}))
        << "trailing blanks are dropped, case ignored";
    key.clear();
    appendColumnKey(key, text, std::string("Jü-"), true);
    EXPECT_EQ(key, (std::vector<std::uint8_t>{0x7f, 0x5b, 0x6f, 0x01, 0x02, 0x13, 0x01, 0x01, 0x01, 0x80, 0x0f, 0x06,
                                              0x82, 0x00}))
        << "an accent weight for each inline character, then the ignored hyphen at position 2";
    EXPECT_THROW(appendColumnKey(key, text, std::string("Mир"), true), UnencodableKey);

    Column number;
    number.name = "Id";
    number.type = ColumnType::Long;
    key.clear();
    appendColumnKey(key, number, std::int32_t{-2}, true);
    appendColumnKey(key, number, Value{}, true);
    appendColumnKey(key, number, std::int32_t{1}, false);
    EXPECT_EQ(key, (std::vector<std::uint8_t>{0x7f, 0x7f, 0xff, 0xff, 0xfe, 0x00, 0x80, 0x7f, 0xff, 0xff, 0xfe}));

    Column guid;
    guid.name = "G";
    guid.type = ColumnType::Guid;
    EXPECT_THROW(appendColumnKey(key, guid, Guid{}, true), UnencodableKey);
}

TEST(IndexKeys, OrderOfNumberKeysIsNumericOrder) {
    Column column;
    column.name = "X";
    auto keyOf = [&](ColumnType type, const Value& value) {
        column.type = type;
        std::vector<std::uint8_t> key;
        appendColumnKey(key, column, value, true);
        return key;
    };
    std::vector<double> doubles = {-1e300, -2.5, -0.0001, 0.0, 0.0001, 3.0, 1e300};
    for (std::size_t i = 1; i < doubles.size(); ++i) {
        EXPECT_LT(keyOf(ColumnType::Double, doubles[i - 1]), keyOf(ColumnType::Double, doubles[i]));
        EXPECT_LT(keyOf(ColumnType::DateTime, DateTime{doubles[i - 1]}),
                  keyOf(ColumnType::DateTime, DateTime{doubles[i]}));
    }
    EXPECT_LT(keyOf(ColumnType::Currency, Currency{-5}), keyOf(ColumnType::Currency, Currency{3}));
    EXPECT_LT(keyOf(ColumnType::Integer, std::int16_t{-300}), keyOf(ColumnType::Integer, std::int16_t{2}));
    EXPECT_LT(keyOf(ColumnType::Boolean, true), keyOf(ColumnType::Boolean, false));
}

TEST(IndexTree, SeekFindsTheFirstEntryOfEveryKey) {
    for (const auto& name :
         {"compIndexTestV2000.mdb", "testV2000.mdb", "indexTestV2000.mdb", "testIndexPropertiesV2000.mdb"}) {
        Database db(testing::fixture(name));
        for (const auto& table : db.tables()) {
            TableDef def = db.tableDef(table);
            for (const auto& index : def.realIndexes) {
                auto entries = readIndexEntries(db.file(), index);
                EXPECT_TRUE(std::is_sorted(entries.begin(), entries.end(),
                                           [](const auto& a, const auto& b) { return a.key < b.key; }))
                    << name << " " << table.name;
                std::map<std::vector<std::uint8_t>, RowLocation> first;
                for (const auto& entry : entries) first.emplace(entry.key, entry.row);
                for (const auto& [key, row] : first) {
                    auto found = seekIndex(db.file(), index, key);
                    ASSERT_TRUE(found) << name << " " << table.name;
                    EXPECT_EQ(found->row, row);
                }
                if (!entries.empty()) {
                    auto beyond = entries.back().key;
                    beyond.push_back(0xff);
                    EXPECT_FALSE(seekIndex(db.file(), index, beyond));
                }
            }
        }
    }
}

}  // namespace
}  // namespace kv::jet
