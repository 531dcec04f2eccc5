// Small commits: random edits of a few rows at a time, each committed in place, checked after every
// commit against a model, against a fresh read of the file (rows, every index, the rows and
// locations the commit kept in memory) and, every few commits, against mdb-export; then the shapes
// the in-place path must get right one by one, a writer killed at every step of a small commit,
// and commits refused before anything is written.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "jet/committed_read.h"
#include "jet/database.h"
#include "jet/database_builder.h"
#include "jet/durable_io.h"
#include "jet/index_key.h"
#include "jet/index_tree.h"
#include "jet/table_edit.h"
#include "jet/usage_map.h"
#include "jet/usage_map_writer.h"
#include "scratch_file.h"

namespace kv::jet {
namespace {

using testing::fileBytes;
using testing::ScratchFolder;

constexpr std::size_t kId = 0, kCall = 1, kNotes = 2;

std::string callOf(int n) {
    return "K" + std::to_string(n % 10) + std::string(1, char('A' + n % 26)) + std::to_string(n);
}

// A table Log of `rows` rows: Id (unique), Call (indexed), Notes (memo).
std::string createLog(const ScratchFolder& folder, int rows) {
    std::string path = (folder.path() / "log.mdb").string();
    TableContent log;
    log.design.name = "Log";
    log.design.columns = {userColumn("Id", ColumnType::Long), userColumn("Call", ColumnType::Text, 60),
                          userColumn("Notes", ColumnType::Memo)};
    log.design.indexes = {IndexDesign{"PrimaryKey", {{"Id", false}}, true, true, false, true},
                          IndexDesign{"Call", {{"Call", false}}, false, false, false, false}};
    for (int n = 0; n < rows; ++n)
        log.rows.push_back({std::int32_t{n}, callOf(n), n % 7 ? Value() : Value("note " + std::to_string(n))});
    TableContent other;
    other.design.name = "Other";
    other.design.columns = {userColumn("Text", ColumnType::Text, 20)};
    other.rows = {{std::string("one")}};
    createDatabase(path, {log, other});
    return path;
}

// What a program that read the table keeps: the file as read, the table, and its rows with where
// they are.
struct Reading {
    PageFile file;
    TableDef def;
    TableRows rows;
};

Reading readTable(const std::string& path, const std::string& table = "Log") {
    Database database(path);
    TableDef def = database.tableDef(database.table(table));
    TableRows rows = database.rows(def);
    return {database.file(), def, std::move(rows)};
}

// The rows are read again where the commit says they now are.
CommittedEdit commit(Reading& reading, TableEdit edit) {
    CommittedEdit committed = commitTableEdit(reading.file, reading.def, reading.rows, std::move(edit));
    reading.file = committed.file;
    Database database(PageFile(reading.file));
    reading.def = database.tableDef(database.table(reading.def.name));
    reading.rows.rows.clear();
    for (RowLocation location : reading.rows.locations)
        reading.rows.rows.push_back(readRowAt(reading.file, reading.def, location));
    return committed;
}

// The file read afresh holds the model's rows, every index holds one entry per row in key order,
// and the rows and locations kept in memory are those of the file.
void checkAgainstFile(const std::string& path, const Reading& reading, const std::map<std::int32_t, TableRow>& model) {
    Database database(path);
    TableDef def = database.tableDef(database.table("Log"));
    TableRows fresh = database.rows(def);
    std::map<std::int32_t, TableRow> read;
    for (const TableRow& row : fresh.rows) read.emplace(std::get<std::int32_t>(row[kId]), row);
    ASSERT_EQ(read, model);
    ASSERT_EQ(reading.rows.rows.size(), fresh.rows.size());
    for (std::size_t i = 0; i < fresh.rows.size(); ++i)
        ASSERT_EQ(reading.rows.rows[reading.rows.positionOf(fresh.locations[i])], fresh.rows[i]);
    for (const RealIndex& index : def.realIndexes) {
        std::vector<IndexEntry> entries = readIndexEntries(database.file(), index);
        ASSERT_EQ(entries.size(), fresh.rows.size());
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (i > 0) {
                ASSERT_LE(entries[i - 1].key, entries[i].key);
            }
            ASSERT_EQ(entries[i].key, encodeIndexKey(def, index, fresh.rows[fresh.positionOf(entries[i].row)]));
        }
    }
    // What the commit kept as the file's state is the file.
    PageFile onDisk(path);
    ASSERT_EQ(onDisk.pageCount(), reading.file.pageCount());
    for (std::uint32_t page = 0; page < onDisk.pageCount(); ++page) {
        auto a = onDisk.page(page).bytes();
        auto b = reading.file.page(page).bytes();
        ASSERT_TRUE(std::equal(a.begin(), a.end(), b.begin(), b.end())) << "page " << page;
    }
}

// mdb-export's lines of the model, sorted (the file's row order is the pages').
std::string sortedLines(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> lines;
    std::string line;
    std::getline(in, line);  // the header
    while (std::getline(in, line)) lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    std::string out;
    for (const std::string& l : lines) out += l + "\n";
    return out;
}

// The rows by their ID, as the model the tests edit beside the file.
std::map<std::int32_t, TableRow> modelOf(const TableRows& rows) {
    std::map<std::int32_t, TableRow> model;
    for (const TableRow& row : rows.rows) model.emplace(std::get<std::int32_t>(row[kId]), row);
    return model;
}

std::string modelLines(const std::map<std::int32_t, TableRow>& model) {
    std::string out;
    for (const auto& [id, row] : model) {
        out += std::to_string(id) + ",";
        if (auto* call = std::get_if<std::string>(&row[kCall])) out += "\"" + *call + "\"";
        out += ",";
        if (auto* notes = std::get_if<std::string>(&row[kNotes])) out += "\"" + *notes + "\"";
        out += "\n";
    }
    return sortedLines("header\n" + out);
}

TEST(TableEdit, RandomSmallCommitsAgreeWithAModelTheFileAndMdbExport) {
    ScratchFolder folder;
    std::string path = createLog(folder, 3000);
    Reading reading = readTable(path);
    std::map<std::int32_t, TableRow> model = modelOf(reading.rows);

    std::mt19937 random(7);
    std::int32_t nextId = 100000;
    for (int round = 0; round < 120; ++round) {
        TableEdit edit;
        std::set<std::size_t> touched;
        int operations = 1 + static_cast<int>(random() % (round % 4 == 0 ? 40 : 3));
        for (int op = 0; op < operations; ++op) {
            int kind = static_cast<int>(random() % 10);
            std::size_t position = random() % reading.rows.rows.size();
            if (kind < 4) {
                TableRow row{nextId++, Value(callOf(static_cast<int>(random() % 100000))), Value()};
                if (random() % 5 == 0) row[kNotes] = std::string(random() % 2 ? 20 : 5000, char('a' + random() % 26));
                edit.inserted.push_back(row);
                model[std::get<std::int32_t>(row[kId])] = row;
            } else if (!touched.insert(position).second) {
                continue;
            } else if (kind < 8) {
                TableRow row = reading.rows.rows[position];
                // Texts grow past their page's room, shrink, move their key across leaves, or vanish.
                std::size_t length = random() % 4 == 0 ? 55 : 1 + random() % 8;
                row[kCall] =
                    random() % 9 ? Value(std::string(length, char('A' + random() % 26)) + std::to_string(op)) : Value();
                if (random() % 6 == 0) row[kNotes] = std::string(random() % 2 ? 30 : 4500, 'n');
                edit.updated.push_back(position);
                edit.updatedRows.push_back(row);
                model[std::get<std::int32_t>(row[kId])] = row;
            } else {
                edit.deleted.push_back(position);
                model.erase(std::get<std::int32_t>(reading.rows.rows[position][kId]));
            }
        }
        // Positions ascending, each update in step with its row.
        std::vector<std::pair<std::size_t, TableRow>> updates;
        for (std::size_t k = 0; k < edit.updated.size(); ++k)
            updates.emplace_back(edit.updated[k], edit.updatedRows[k]);
        std::sort(updates.begin(), updates.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        edit.updated.clear();
        edit.updatedRows.clear();
        for (auto& [position, row] : updates) {
            edit.updated.push_back(position);
            edit.updatedRows.push_back(std::move(row));
        }
        std::sort(edit.deleted.begin(), edit.deleted.end());
        bool single = edit.updated.size() + edit.deleted.size() + edit.inserted.size() == 1;

        CommittedEdit committed = commit(reading, std::move(edit));
        if (single) {
            EXPECT_LE(committed.pagesWritten, 10u) << "round " << round;
        }
        checkAgainstFile(path, reading, model);
        if (HasFatalFailure()) return;
        if (round % 15 == 0) {
            ASSERT_EQ(sortedLines(testing::mdbExport(path, "Log")), modelLines(model)) << "round " << round;
        }
    }
}

// The positions of the rows on the page of the row at `position`.
std::vector<std::size_t> rowsOnPageOf(const TableRows& rows, std::size_t position) {
    std::vector<std::size_t> onPage;
    for (std::size_t i = 0; i < rows.locations.size(); ++i)
        if (rows.locations[i].page == rows.locations[position].page) onPage.push_back(i);
    return onPage;
}

TEST(TableEdit, EachShapeOfASmallCommitKeepsTheTableWhole) {
    ScratchFolder folder;
    std::string path = createLog(folder, 2000);
    Reading reading = readTable(path);
    std::map<std::int32_t, TableRow> model = modelOf(reading.rows);
    auto update = [&](std::size_t position, TableRow row) {
        model[std::get<std::int32_t>(row[kId])] = row;
        return commit(reading, TableEdit{{position}, {row}, {}, {}});
    };

    // A row that outgrows its full page moves, and the indexes follow it.
    TableRow grown = reading.rows.rows[1000];
    RowLocation before = reading.rows.locations[1000];
    grown[kCall] = std::string(60, 'G');
    grown[kNotes] = std::string(60, 'g');
    EXPECT_LE(update(1000, grown).pagesWritten, 10u);
    EXPECT_NE(reading.rows.locations[1000].page, before.page) << "the page had no room for the row grown";
    checkAgainstFile(path, reading, model);

    // A key that moves from the first leaf to the last.
    TableRow moved = reading.rows.rows[0];
    moved[kCall] = std::string("ZZZZ9ZZ");
    EXPECT_LE(update(0, moved).pagesWritten, 10u);
    checkAgainstFile(path, reading, model);

    // Keys that all fall into one leaf until it splits, one commit each.
    for (int n = 0; n < 300; ++n) {
        TableRow row{std::int32_t{50000 + n}, std::string("M0SPLIT") + std::to_string(1000 + n), Value()};
        model[50000 + n] = row;
        EXPECT_LE(commit(reading, TableEdit{{}, {}, {}, {row}}).pagesWritten, 10u) << n;
    }
    checkAgainstFile(path, reading, model);

    // Deleting every row of a page gives the page up: blank, out of the table's map, free.
    std::vector<std::size_t> page = rowsOnPageOf(reading.rows, 500);
    std::uint32_t pageNumber = reading.rows.locations[500].page;
    for (std::size_t position : page) model.erase(std::get<std::int32_t>(reading.rows.rows[position][kId]));
    commit(reading, TableEdit{{}, {}, page, {}});
    checkAgainstFile(path, reading, model);
    PageFile file(path);
    auto bytes = file.page(pageNumber).bytes();
    EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; }));
    std::vector<std::uint32_t> owned = readUsageMap(file, reading.def.ownedPagesMap);
    EXPECT_FALSE(std::binary_search(owned.begin(), owned.end(), pageNumber));
    std::vector<std::uint32_t> free = globallyFreePages(file);
    EXPECT_TRUE(std::binary_search(free.begin(), free.end(), pageNumber));

    // A commit that changes nothing writes nothing.
    std::vector<std::uint8_t> untouched = fileBytes(path);
    EXPECT_EQ(update(7, reading.rows.rows[7]).pagesWritten, 0u);
    EXPECT_EQ(fileBytes(path), untouched);
}

std::map<std::int32_t, TableRow> rowsById(const std::string& path) {
    std::map<std::int32_t, TableRow> rows;
    for (TableRow& row : readTable(path).rows.rows) rows.emplace(std::get<std::int32_t>(row[kId]), std::move(row));
    return rows;
}

TEST(TableEdit, WriterKilledAtAnyStepOfASmallCommitLeavesTheFileBeforeOrAfterIt) {
    ScratchFolder folder;
    std::string path = createLog(folder, 1500);
    const std::vector<std::uint8_t> original = fileBytes(path);
    auto smallCommit = [&] {
        Reading reading = readTable(path);
        TableRow grown = reading.rows.rows[700];
        grown[kCall] = std::string(60, 'Q');
        commitTableEdit(reading.file, reading.def, reading.rows,
                        TableEdit{{700}, {grown}, {3, 900}, {{std::int32_t{77777}, std::string("N0NEW"), Value()}}});
    };
    const auto before = rowsById(path);
    int steps = 0;
    durable_io::setStepProbe([&] { ++steps; });
    smallCommit();
    durable_io::setStepProbe({});
    const auto after = rowsById(path);
    ASSERT_NE(before, after);

    int endedBefore = 0, endedAfter = 0;
    for (int stopAt = 1; stopAt <= steps; ++stopAt) {
        SCOPED_TRACE("killed before step " + std::to_string(stopAt));
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(original.data()), static_cast<std::streamsize>(original.size()));
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int count = 0;
            durable_io::setStepProbe([&] {
                if (++count == stopAt) raise(SIGKILL);
            });
            try {
                smallCommit();
            } catch (...) {
                _exit(2);
            }
            _exit(0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
        readCommittedFile(path);  // rolls back what the writer left
        auto rows = rowsById(path);
        if (rows == before)
            ++endedBefore;
        else if (rows == after)
            ++endedAfter;
        else
            ADD_FAILURE() << "the file holds neither the rows before nor after the commit";
    }
    EXPECT_GT(endedBefore, 0);
    EXPECT_GT(endedAfter, 0);
}

TEST(TableEdit, RefusedCommitsWriteNothing) {
    ScratchFolder folder;
    std::string path = createLog(folder, 500);
    Reading first = readTable(path);
    Reading second = readTable(path);
    Reading other = readTable(path, "Other");

    // A commit to another table since the read is no conflict.
    commit(other, TableEdit{{}, {}, {}, {{std::string("two")}}});
    TableRow changed = first.rows.rows[3];
    changed[kCall] = std::string("W1FIRST");
    commit(first, TableEdit{{3}, {changed}, {}, {}});

    // The second reader's table changed under it: refused, and the first reader's row stays.
    std::vector<std::uint8_t> before = fileBytes(path);
    TableRow stale = second.rows.rows[4];
    stale[kCall] = std::string("W2SECOND");
    TableRows rowsBefore = second.rows;
    try {
        commitTableEdit(second.file, second.def, second.rows, TableEdit{{4}, {stale}, {}, {}});
        FAIL() << "a commit over another program's was accepted";
    } catch (const TableChangedError& error) {
        EXPECT_NE(std::string(error.what()).find("Another program changed table Log"), std::string::npos)
            << error.what();
    }
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(second.rows.rows, rowsBefore.rows);

    // A key a unique index holds already, and one given twice, are refused with the values named.
    TableRow repeated{std::int32_t{10}, std::string("X"), Value()};
    EXPECT_THROW(
        {
            try {
                commit(first, TableEdit{{}, {}, {}, {repeated}});
            } catch (const std::runtime_error& error) {
                EXPECT_NE(std::string(error.what()).find("Id = 10"), std::string::npos) << error.what();
                throw;
            }
        },
        std::runtime_error);
    TableRow fresh{std::int32_t{90000}, std::string("Y"), Value()};
    EXPECT_THROW(commit(first, TableEdit{{}, {}, {}, {fresh, fresh}}), std::runtime_error);
    EXPECT_EQ(fileBytes(path), before);

    // A commit large enough to rebuild the table, refused after the rebuild took the rows over:
    // the rows kept in memory are as they were, in their order, after a small commit placed one.
    commit(first, TableEdit{{}, {}, {}, {TableRow{std::int32_t{95000}, std::string("W3NEW"), Value()}}});
    before = fileBytes(path);
    const TableRows keptBefore = first.rows;
    TableEdit large{{3}, {changed}, {0, 1}, {}};
    for (int i = 0; i < 300; ++i) large.inserted.push_back({std::int32_t{100000 + i}, callOf(i), Value()});
    large.inserted.push_back(repeated);
    EXPECT_THROW(commit(first, std::move(large)), std::runtime_error);
    EXPECT_EQ(first.rows.rows, keptBefore.rows);
    EXPECT_EQ(first.rows.locations, keptBefore.locations);
    EXPECT_EQ(fileBytes(path), before);
}

TEST(TableEdit, AccessWrittenTableStaysWholeUnderSmallCommits) {
    ScratchFolder folder;
    std::string path = folder.copyOf("compIndexTestV2000.mdb");
    std::string table;
    const Database database(path);
    for (const CatalogTable& t : database.tables())
        if (!t.system) table = t.name;
    std::mt19937 random(3);
    for (int round = 0; round < 20; ++round) {
        Reading reading = readTable(path, table);
        TableEdit edit;
        std::size_t position = random() % reading.rows.rows.size();
        TableRow row = reading.rows.rows[position];
        row[1] = std::string(1 + random() % 30, char('a' + random() % 26));
        edit.updated = {position};
        edit.updatedRows = {row};
        edit.inserted = {{static_cast<std::int32_t>(random() % 100000), std::string("new"), Value()}};
        TableRows kept = reading.rows;
        commit(reading, std::move(edit));
        Database database(path);
        TableDef def = database.tableDef(database.table(table));
        TableRows fresh = database.rows(def);
        ASSERT_EQ(fresh.rows.size(), kept.rows.size() + 1);
        for (const RealIndex& index : def.realIndexes)
            ASSERT_EQ(readIndexEntries(database.file(), index).size(), fresh.rows.size());
    }
    EXPECT_NO_THROW(testing::mdbExport(path, table));
}

}  // namespace
}  // namespace kv::jet
