// kestrovane-cli runs that share files with other runs and other users: imports beside compactions
// and readers keep every row they report, compactions of neighbouring databases stay apart, a
// History reached through a symlink is worked on where it really is, links planted where files are
// made are never followed, and files made for a database take its permissions.
#include "cli_test_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

using namespace kv::cli::testing;
namespace fs = std::filesystem;

namespace {

// A call-history file (read as NAQP: call, name, state, a note) of `count` stations that only it has.
std::string writeStationFile(const std::string& path, int file, int count) {
    std::ofstream out(path);
    out << "Call,Name,State,UserText\n";
    for (int i = 0; i < count; ++i) out << "K" << file << "S" << i << "X,OP" << i << ",WA,\n";
    return path;
}

// The calls of the History table, as mdbtools reads them.
std::set<std::string> callsIn(const std::string& database) {
    std::istringstream rows(toolOutput("mdb-export -H " + quoted(database) + " History"));
    std::set<std::string> calls;
    for (std::string line; std::getline(rows, line);) {
        std::string call = line.substr(0, line.find(','));
        calls.insert(call.size() >= 2 && call.front() == '"' ? call.substr(1, call.size() - 2) : call);
    }
    return calls;
}

unsigned modeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 0777;
}

}  // namespace

class CliSharedFiles : public CliTest {
protected:
    void SetUp() override { writeHistoryDatabase(database, historyRows(500)); }

    CliRun importFile(const std::string& history, const std::string& source) {
        return cli({"--history", history, "import-file", source, "--type", "NAQP"});
    }

    const std::string database = file("calls.mdb");
};

TEST_F(CliSharedFiles, EveryImportThatReportsSuccessKeepsItsRowsBesideCompactionsAndReaders) {
    constexpr int kImports = 12;
    std::atomic<bool> importing{true};
    std::atomic<int> compactions{0}, failedReads{0};
    std::thread compacting([&] {
        while (importing)
            if (cli({"--history", database, "compact"}).status == 0) ++compactions;
    });
    std::thread reading([&] {
        while (importing) {
            auto counted = cli({"--history", database, "count"});
            if (counted.status != 0) {
                ++failedReads;
                ADD_FAILURE() << counted.err;
            }
        }
    });
    std::vector<int> succeeded;
    for (int i = 0; i < kImports; ++i) {
        auto run = importFile(database, writeStationFile(file("stations" + std::to_string(i) + ".txt"), i, 30));
        if (run.status == 0)
            succeeded.push_back(i);
        else
            EXPECT_NE(run.err.find("has been read again"), std::string::npos) << run.err;
    }
    importing = false;
    compacting.join();
    reading.join();

    EXPECT_GT(compactions, 0);
    EXPECT_FALSE(succeeded.empty());
    const std::set<std::string> calls = callsIn(database);
    for (int i : succeeded)
        for (int s = 0; s < 30; ++s)
            EXPECT_TRUE(calls.count("K" + std::to_string(i) + "S" + std::to_string(s) + "X"))
                << "import " << i << " reported success, but station " << s << " is gone";
    EXPECT_EQ(failedReads, 0);
}

TEST_F(CliSharedFiles, CompactionsOfTwoDatabasesInOneFolderKeepEachOnesRows) {
    const std::string other = file("other.mdb");
    writeHistoryDatabase(other, "Call,Name\nONLY1OTHER,X\n");
    const std::set<std::string> ours = callsIn(database), theirs = callsIn(other);
    std::thread compactingOther([&] {
        for (int i = 0; i < 6; ++i) EXPECT_EQ(cli({"--history", other, "compact"}).status, 0);
    });
    for (int i = 0; i < 6; ++i) EXPECT_EQ(cli({"--history", database, "compact"}).status, 0);
    compactingOther.join();
    EXPECT_EQ(callsIn(database), ours);
    EXPECT_EQ(callsIn(other), theirs);
    for (const auto& entry : fs::directory_iterator(folder()))
        EXPECT_EQ(entry.path().extension() == ".tmp", false) << "left behind: " << entry.path();
}

TEST_F(CliSharedFiles, AHistoryReachedThroughASymlinkIsWorkedOnWhereItIs) {
    fs::create_directories(file("real"));
    const std::string real = file("real/calls.mdb"), link = file("link.mdb");
    fs::rename(database, real);
    fs::create_symlink(real, link);

    ASSERT_EQ(importFile(link, writeStationFile(file("stations.txt"), 1, 10)).status, 0);
    EXPECT_TRUE(fs::exists(real + ".bup"));
    EXPECT_FALSE(fs::exists(link + ".bup"));
    ASSERT_EQ(cli({"--history", link, "compact"}).status, 0);

    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), real);
    EXPECT_TRUE(callsIn(real).count("K1S9X"));
}

TEST_F(CliSharedFiles, LinksPlantedWhereFilesAreMadeAreNotFollowedAndFilesTakeTheirDatabasesMode) {
    // Another user's file, and links to it under every name a run of an earlier version wrote.
    const std::string victim = file("victim.txt");
    std::ofstream(victim) << "not yours";
    for (const char* name : {".out.txt.partial", ".calls.mdb.bup.partial", "Kestrovane_compacted.mdb.new",
                             ".new.mdb.partial", "calls.mdb-journal"})
        fs::create_symlink(victim, file(name));

    fs::permissions(database, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_EQ(importFile(database, writeStationFile(file("stations.txt"), 2, 10)).status, 0);
    EXPECT_EQ(modeOf(database + ".bup"), 0600u);
    ASSERT_EQ(cli({"--history", database, "compact"}).status, 0);
    EXPECT_EQ(modeOf(database), 0600u);
    EXPECT_FALSE(fs::is_symlink(database));

    const std::string out = file("out.txt");
    std::ofstream(out) << "an earlier export\r\n";
    fs::permissions(out, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_EQ(cli({"--history", database, "export", "NAQPCW", "--to", out}).status, 0);
    EXPECT_EQ(modeOf(out), 0600u);
    EXPECT_NE(fileBytes(out).find("K2S0X"), std::string::npos);

    const std::string made = file("new.mdb");
    std::ofstream(made) << "to be replaced";
    fs::permissions(made, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_EQ(cli({"--history", made, "new", "--replace"}).status, 0);
    EXPECT_EQ(modeOf(made), 0640u);

    EXPECT_EQ(fileBytes(victim), "not yours");
}
