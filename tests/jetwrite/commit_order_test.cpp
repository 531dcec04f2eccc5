// The order of a commit's steps on disk, which no test that kills the writer's process can show:
// the system keeps what a killed process gave it, synced or not. The journal is written and synced,
// file and folder, before any page of the database is overwritten; the database's pages are synced
// before the journal is removed; a rollback puts the pages back, cuts the file to its old length and
// syncs it before it removes the journal; a compaction syncs its whole new file before renaming it
// over the database. Everything kept beside a database lies beside the real file, not a link to it.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "jet/compactor.h"
#include "jet/database.h"
#include "jet/durable_io.h"
#include "jet/rollback_journal.h"
#include "jet/table_writer.h"
#include "jet/writable_database.h"
#include "scratch_file.h"

namespace kv::jet {
namespace {

using Kind = durable_io::Step::Kind;
using testing::ScratchFolder;

std::string kindName(Kind kind) {
    switch (kind) {
    case Kind::Create: return "create";
    case Kind::Write: return "write";
    case Kind::Resize: return "resize";
    case Kind::Sync: return "sync";
    case Kind::SyncFolder: return "sync the folder entry of";
    case Kind::Remove: return "remove";
    case Kind::Replace: return "replace";
    }
    return "?";
}

// The steps `work` takes on disk, each run of the same step on the same file told once.
std::vector<std::string> stepsOf(const std::string& database, const std::function<void()>& work) {
    const std::string journal = rollback_journal::pathFor(database);
    std::vector<std::string> steps;
    durable_io::setDescribedStepProbe([&](const durable_io::Step& step) {
        const std::string file = step.path == database  ? "the database"
                                 : step.path == journal ? "the journal"
                                                        : "a new file";
        std::string told = kindName(step.kind) + " " + file;
        if (steps.empty() || steps.back() != told) steps.push_back(told);
    });
    work();
    durable_io::setStepProbe({});
    return steps;
}

TEST(CommitOrder, EachStepIsDurableBeforeTheStepThatReliesOnIt) {
    ScratchFolder folder;
    const std::string path = folder.copyOf("compIndexTestV2000.mdb");
    Database database(path);
    std::string table;
    for (const CatalogTable& candidate : database.tables())
        if (!candidate.system) table = candidate.name;
    std::vector<TableRow> rows = database.rows(database.tableDef(database.table(table))).rows;
    const std::uintmax_t lengthBefore = std::filesystem::file_size(path);

    // A commit that grows the file: it grows by the pages written past its end, never resized.
    std::vector<TableRow> more = rows;
    for (std::int32_t i = 0; i < 400; ++i) {
        TableRow row = rows[static_cast<std::size_t>(i) % rows.size()];
        row[0] = 200000 + i;
        more.push_back(row);
    }
    EXPECT_EQ(
        stepsOf(path, [&] { commitTable(path, table, more); }),
        (std::vector<std::string>{"create the journal", "write the journal", "sync the journal",
                                  "sync the folder entry of the journal", "write the database", "sync the database",
                                  "remove the journal", "sync the folder entry of the journal"}));
    ASSERT_GT(std::filesystem::file_size(path), lengthBefore);
    // Through a symlink in another folder, the journal still lies beside the real file.
    std::filesystem::create_directory(folder.path() / "links");
    const std::string link = (folder.path() / "links" / "link.mdb").string();
    std::filesystem::create_symlink(path, link);
    const std::vector<std::string> linkSteps = stepsOf(path, [&] { commitTable(link, table, rows); });
    EXPECT_EQ(linkSteps.front(), "create the journal");
    EXPECT_EQ(linkSteps.back(), "sync the folder entry of the journal");
    EXPECT_TRUE(std::filesystem::is_symlink(link));

    // A writer stopped after it overwrote a page and grew the file: the recovery puts the page
    // back and cuts the file to its old length, durably, before the journal goes.
    const std::uintmax_t committedLength = std::filesystem::file_size(path);
    {
        WritableDatabase writable(path);
        PageFile file = writable.read();
        auto page = file.page(1).bytes();
        int fd = durable_io::openForUpdate(path);
        rollback_journal::save(fd, path, committedLength, {{1, {page.begin(), page.end()}}});
        durable_io::close(fd);
    }
    std::filesystem::resize_file(path, committedLength + 2 * format::kPageSize);
    EXPECT_EQ(stepsOf(path, [&] { recoverInterruptedCommit(path); }),
              (std::vector<std::string>{"write the database", "resize the database", "sync the database",
                                        "remove the journal", "sync the folder entry of the journal"}));
    EXPECT_EQ(std::filesystem::file_size(path), committedLength);

    // A compaction in place: the new file is whole on disk before it takes the database's name.
    EXPECT_EQ(stepsOf(path, [&] { compactInPlace(path); }),
              (std::vector<std::string>{"create a new file", "write a new file", "sync a new file",
                                        "replace the database", "sync the folder entry of the database"}));
}

}  // namespace
}  // namespace kv::jet
