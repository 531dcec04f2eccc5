// Thousands of random inserts, updates (texts growing and shrinking, memos past 4 KiB, NULLs) and
// deletes, committed at random points into a table with indexes: after every commit our reader
// and an in-memory model agree row by row and every index walks in the order of its keys; every
// few commits mdb-export agrees too. Run on a database we created and on an Access-written copy.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>

#include "jet/database.h"
#include "jet/database_builder.h"
#include "jet/index_key.h"
#include "jet/index_tree.h"
#include "jet/table_writer.h"
#include "scratch_file.h"

namespace kv::jet {
namespace {

using testing::ScratchFolder;

std::string randomText(std::mt19937& random, std::size_t maxLength) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 /-'_.";
    std::size_t length = std::uniform_int_distribution<std::size_t>(1, maxLength)(random);
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text += alphabet[random() % (sizeof alphabet - 1)];
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text.empty() ? "x" : text;
}

// Every index holds one entry per row, keys in order, each leading to a row whose key it is.
void checkIndexes(const Database& database, const TableDef& def) {
    TableRows rows = database.rows(def);
    for (const RealIndex& index : def.realIndexes) {
        std::vector<IndexEntry> entries = readIndexEntries(database.file(), index);
        ASSERT_EQ(entries.size(), rows.rows.size());
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (i > 0) {
                ASSERT_LE(entries[i - 1].key, entries[i].key);
            }
            ASSERT_EQ(entries[i].key, encodeIndexKey(def, index, rows.rows[rows.positionOf(entries[i].row)]));
        }
    }
}

// mdb-export's lines for the model, for the columns this test uses: Long, Text, Memo.
std::string modelExport(const std::vector<std::string>& header, const std::vector<TableRow>& rows) {
    std::ostringstream out;
    for (std::size_t i = 0; i < header.size(); ++i) out << (i ? "," : "") << header[i];
    out << "\n";
    for (const TableRow& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i) out << ",";
            if (auto* number = std::get_if<std::int32_t>(&row[i])) out << *number;
            if (auto* text = std::get_if<std::string>(&row[i])) out << '"' << *text << '"';
        }
        out << "\n";
    }
    return out.str();
}

// Random work on the table's columns: 0 Long (unique index), 1 Text (index), 2 Memo.
void randomWork(const std::string& path, const std::string& table, unsigned seed, int operations) {
    std::mt19937 random(seed);
    std::vector<TableRow> model;
    {
        Database database(path);
        model = database.rows(database.tableDef(database.table(table))).rows;
    }
    std::vector<std::string> header;
    {
        Database database(path);
        for (const Column& column : database.tableDef(database.table(table)).columns) header.push_back(column.name);
    }
    std::int32_t nextId = 1000000;
    int commits = 0;
    for (int op = 0; op < operations; ++op) {
        int kind = static_cast<int>(random() % 10);
        if (kind < 5 || model.empty()) {
            TableRow row(3);
            row[0] = nextId++;
            row[1] = random() % 8 ? Value(randomText(random, 40)) : Value();
            row[2] = random() % 3 ? Value(randomText(random, random() % 4 ? 100 : 6000)) : Value();
            model.insert(model.begin() + static_cast<std::ptrdiff_t>(random() % (model.size() + 1)), row);
        } else if (kind < 8) {
            TableRow& row = model[random() % model.size()];
            row[1] = random() % 6 ? Value(randomText(random, random() % 2 ? 4 : 50)) : Value();
            row[2] = random() % 4 ? Value(randomText(random, random() % 2 ? 10 : 5000)) : Value();
        } else {
            model.erase(model.begin() + static_cast<std::ptrdiff_t>(random() % model.size()));
        }
        if (random() % 40 != 0 && op + 1 < operations) continue;

        commitTable(path, table, model);
        Database database(path);
        TableDef def = database.tableDef(database.table(table));
        ASSERT_EQ(database.rows(def).rows, model) << "commit " << commits;
        checkIndexes(database, def);
        if (commits++ % 8 == 0) {
            ASSERT_EQ(testing::mdbExport(path, table), modelExport(header, model)) << "commit " << commits;
        }
    }
    EXPECT_GT(commits, 30);
}

TEST(RandomCommits, DatabaseWeCreated) {
    ScratchFolder folder;
    std::string path = (folder.path() / "random.mdb").string();
    TableDesign design{"Log", {}, {}, false, {}};
    design.columns.push_back(userColumn("Id", ColumnType::Long));
    design.columns.push_back(userColumn("Call", ColumnType::Text, 50));
    design.columns.push_back(userColumn("Notes", ColumnType::Memo));
    design.indexes.push_back({"PrimaryKey", {{"Id", false}}, true, true, false, true});
    design.indexes.push_back({"Call", {{"Call", false}}, false, false, false, false});
    createDatabase(path, {{design, {}}});
    randomWork(path, "Log", 11, 2500);
}

TEST(RandomCommits, AccessWrittenFixture) {
    // compIndexTestV2000.mdb: Long with a descending index, two Text columns; the second Text
    // stands in for the memo here.
    ScratchFolder folder;
    std::string path = folder.copyOf("compIndexTestV2000.mdb");
    std::string table;
    {
        Database database(path);
        for (const CatalogTable& t : database.tables())
            if (!t.system) table = t.name;
    }
    std::mt19937 random(5);
    std::vector<TableRow> model;
    {
        Database database(path);
        model = database.rows(database.tableDef(database.table(table))).rows;
    }
    for (int commit = 0; commit < 25; ++commit) {
        for (int op = 0; op < 60; ++op) {
            int kind = static_cast<int>(random() % 3);
            if (kind == 0 || model.empty()) {
                model.push_back({static_cast<std::int32_t>(random() % 100000), Value(randomText(random, 20)),
                                 random() % 3 ? Value(randomText(random, 50)) : Value()});
            } else if (kind == 1) {
                model[random() % model.size()][1] = randomText(random, random() % 2 ? 3 : 50);
            } else {
                model.erase(model.begin() + static_cast<std::ptrdiff_t>(random() % model.size()));
            }
        }
        commitTable(path, table, model);
        Database database(path);
        TableDef def = database.tableDef(database.table(table));
        ASSERT_EQ(database.rows(def).rows, model);
        checkIndexes(database, def);
        if (commit % 5 == 0) {
            EXPECT_NO_THROW(testing::mdbExport(path, table));
        }
    }
}

}  // namespace
}  // namespace kv::jet
