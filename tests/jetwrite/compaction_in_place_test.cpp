// Compaction in a database's own place, and the locks around it: a commit prepared from the file
// before it was compacted is refused instead of being written into the new file; a writer and a
// compaction wait for a reader instead of taking it for a writer; the compacted file keeps the
// database's permissions, a symlink to it stays a link, and no copy is left when it fails.

#include <gtest/gtest.h>

#include <sys/file.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "jet/committed_read.h"
#include "jet/compactor.h"
#include "jet/database.h"
#include "jet/durable_io.h"
#include "jet/table_edit.h"
#include "jet/table_writer.h"
#include "other_program.h"
#include "scratch_file.h"

namespace kv::jet {
namespace {

using testing::fileBytes;
using testing::OtherProgram;
using testing::ScratchFolder;

constexpr const char* kFixture = "compIndexTestV2000.mdb";

std::string onlyTable(const Database& database) {
    for (const CatalogTable& table : database.tables())
        if (!table.system) return table.name;
    return {};
}

std::size_t filesIn(const ScratchFolder& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder.path()), {}));
}

unsigned modeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0);
    return info.st_mode & 0777;
}

TEST(CompactionInPlace, ACommitPreparedBeforeTheCompactionIsRefusedAndWritesNothing) {
    ScratchFolder folder;
    const std::string path = folder.copyOf(kFixture);
    Database before(readCommittedFile(path));
    const std::string table = onlyTable(before);
    TableDef def = before.tableDef(before.table(table));
    TableRows rows = before.rows(def);
    const std::size_t rowCount = rows.rows.size();

    compactInPlace(path);
    const std::vector<std::uint8_t> compacted = fileBytes(path);
    EXPECT_EQ(filesIn(folder), 1u) << "only the database is left";

    TableEdit edit;
    edit.deleted = {0};
    EXPECT_THROW(commitTableEdit(before.file(), def, rows, std::move(edit)), TableChangedError);
    EXPECT_EQ(fileBytes(path), compacted);
    EXPECT_EQ(rows.size(), rowCount) << "the rows in memory are as they were read";

    Database after(readCommittedFile(path));
    EXPECT_EQ(after.rows(after.tableDef(after.table(table))).rows.size(), rowCount);
}

TEST(CompactionInPlace, AWriterAndACompactionWaitForAReaderToLetGo) {
    ScratchFolder folder;
    const std::string path = folder.copyOf(kFixture);
    Database database(path);
    const std::string table = onlyTable(database);
    std::vector<TableRow> rows = database.rows(database.tableDef(database.table(table))).rows;
    rows.pop_back();

    for (int trial = 0; trial < 2; ++trial) {
        OtherProgram reader([&](const OtherProgram::Ready& ready) {
            int fd = durable_io::openForReading(path);
            if (flock(fd, LOCK_SH) != 0) throw std::runtime_error("cannot lock");
            ready();
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        });
        if (trial == 0)
            EXPECT_NO_THROW(commitTable(path, table, rows));
        else
            EXPECT_NO_THROW(compactInPlace(path));
        EXPECT_EQ(reader.exitStatus(), 0);
    }
    Database after(path);
    EXPECT_EQ(after.rows(after.tableDef(after.table(table))).rows.size(), rows.size());
}

TEST(CompactionInPlace, TheFileKeepsItsModeALinkStaysALinkAndAFailureLeavesNoCopy) {
    ScratchFolder folder;
    const std::string real = folder.copyOf(kFixture);
    const std::string link = (folder.path() / "link.mdb").string();
    std::filesystem::create_symlink(real, link);
    std::filesystem::permissions(real, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);

    compactInPlace(link);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(modeOf(real), 0640u);
    EXPECT_EQ(filesIn(folder), 2u);
    EXPECT_NO_THROW(Database(readCommittedFile(link)));

    // Not a database: refused, the file as it was, nothing left beside it.
    const std::string other = (folder.path() / "notes.mdb").string();
    std::ofstream(other, std::ios::binary) << std::string(3 * 4096, 'x');
    const std::vector<std::uint8_t> notes = fileBytes(other);
    EXPECT_THROW(compactInPlace(other), std::runtime_error);
    EXPECT_EQ(fileBytes(other), notes);
    EXPECT_EQ(filesIn(folder), 3u);
}

}  // namespace
}  // namespace kv::jet
