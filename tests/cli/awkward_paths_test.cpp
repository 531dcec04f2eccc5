// kestrovane-cli on paths that hold what a connection string treats as syntax (";", "=", quotes,
// blanks at either end) and letters beyond ASCII: such a path names its own file and no other, the
// whole cycle runs in a folder of any such name, and a new database that fails is not left behind.
#include "cli_test_support.h"

#include <filesystem>

using namespace kv::cli::testing;
namespace fs = std::filesystem;

namespace {

const std::string kExamples = std::string(KV_PROGRAM_DIR) + "/examples/";

// What one round of new, both imports, count and export printed, and the file it exported.
struct Cycle {
    std::vector<CliRun> runs;
    std::string exported;
};

}  // namespace

namespace kv::cli::testing {
std::ostream& operator<<(std::ostream& out, const CliRun& run) {
    return out << "status " << run.status << ", out \"" << run.out << "\", err \"" << run.err << "\"";
}
}  // namespace kv::cli::testing

class CliAwkwardPaths : public CliTest {
protected:
    // The cycle in `folder`, with the program, the History database, the logger database and the
    // call-history file all there, under names made of `name`.
    Cycle cycleIn(const fs::path& folder, const std::string& name) const {
        fs::create_directories(folder);
        const std::string program = (folder / "kestrovane-cli").string();
        fs::copy_file(builtCli(), program);
        for (const char* file : {"mapping.xls", "kestrovane_mdb.template"})
            fs::copy_file(fs::path(KV_PROGRAM_DIR) / file, folder / file);
        const std::string database = (folder / (name + ".mdb")).string();
        const std::string logger = (folder / (name + " log.mdb")).string();
        const std::string calls = (folder / (name + " calls.txt")).string();
        const std::string target = (folder / (name + " out.txt")).string();
        fs::copy_file(kExamples + "logger_example.mdb", logger);
        fs::copy_file(kExamples + "callhistory_NAQP.txt", calls);

        Cycle cycle;
        for (const std::vector<std::string>& arguments :
             {std::vector<std::string>{"--history", database, "new"},
              {"--history", database, "import-log", logger, "--contest", "NAQPCW"},
              {"--history", database, "import-file", calls, "--type", "NAQP"},
              {"--history", database, "count"},
              {"--history", database, "export", "NAQPCW", "--to", target},
              {"--history", database, "compact"},
              {"--history", database, "count"}}) {
            CliRun run = runCli(arguments, folder.string(), program);
            // Where the messages name a file, they name it by the name it was given.
            for (std::string* stream : {&run.out, &run.err})
                for (std::size_t at; (at = stream->find(folder.string())) != std::string::npos;)
                    stream->replace(at, folder.string().size(), "FOLDER");
            cycle.runs.push_back(run);
        }
        cycle.exported = fileBytes(target);
        return cycle;
    }
};

TEST_F(CliAwkwardPaths, APathThatSpellsAnotherDataSourceNamesOnlyItself) {
    const std::string victim = file("victim.mdb");
    writeHistoryDatabase(victim, historyRows(3));
    const std::string before = fileBytes(victim);

    for (const std::string& path :
         {std::string("a.mdb;Data Source=victim.mdb"), file("a.mdb") + ";Data Source=" + victim,
          file("a.mdb") + "\";Data Source=\"" + victim, file("a.mdb") + "';Data Source='" + victim}) {
        const std::string fullPath = path.starts_with('/') ? path : file(path);
        auto run = cli({"--history", path, "empty", "--yes"});
        EXPECT_EQ(run.status, 1) << path;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, errorLine("File " + fullPath + " not found")) << path;
        EXPECT_EQ(fileBytes(victim), before) << path;
        EXPECT_FALSE(fs::exists(fullPath));
    }
    auto counted = cli({"--history", victim, "count"});
    EXPECT_EQ(counted.out, "3\n") << counted.err;
}

TEST_F(CliAwkwardPaths, TheWholeCycleRunsInAFolderOfAnyName) {
    const Cycle plain = cycleIn(folder() / "plain", "calls");
    ASSERT_EQ(plain.runs.size(), 7u);
    for (const CliRun& run : plain.runs) EXPECT_EQ(run.status, 0) << run;
    EXPECT_EQ(plain.runs[3].out, "15\n");
    ASSERT_FALSE(plain.exported.empty());

    for (const std::string name : {"a;b", "Data Source=x.mdb;Extended Properties=Excel 8.0",
                                   " it's \"quoted\" = ", "Ärger Øst ĐŽ ПЁС 日本", "'"}) {
        const Cycle awkward = cycleIn(folder() / name, "calls");
        ASSERT_EQ(awkward.runs.size(), plain.runs.size());
        for (std::size_t i = 0; i < plain.runs.size(); ++i) {
            EXPECT_EQ(awkward.runs[i].status, plain.runs[i].status) << name << ": " << awkward.runs[i];
            EXPECT_EQ(awkward.runs[i].out, plain.runs[i].out) << name;
            EXPECT_EQ(awkward.runs[i].err, plain.runs[i].err) << name;
        }
        EXPECT_EQ(awkward.exported, plain.exported) << name;
    }
    // Names of the files themselves, not only of their folder.
    const Cycle named = cycleIn(folder() / "named", "x;Data Source=calls.mdb;'\"= ");
    for (std::size_t i = 0; i < plain.runs.size(); ++i) EXPECT_EQ(named.runs[i].out, plain.runs[i].out);
    EXPECT_EQ(named.exported, plain.exported);
    EXPECT_FALSE(fs::exists(folder() / "named" / "calls.mdb"));
}

TEST_F(CliAwkwardPaths, ANewDatabaseThatFailsToOpenIsRemovedButAFileThatWasThereIsNot) {
    const std::string program = file("kestrovane-cli");
    fs::copy_file(builtCli(), program);
    const fs::path programTemplate = folder() / "kestrovane_mdb.template";
    const std::string database = file("dir a;b/new.mdb");
    fs::create_directories(fs::path(database).parent_path());
    auto runNew = [&](std::vector<std::string> more = {}) {
        std::vector<std::string> arguments{"--history", database, "new"};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return runCli(arguments, folder().string(), program);
    };

    // A template that is no Access database, and one without the table version.
    fs::copy_file(fs::path(KV_PROGRAM_DIR) / "mapping.xls", programTemplate, fs::copy_options::overwrite_existing);
    auto notAccess = runNew();
    EXPECT_EQ(notAccess.status, 1);
    EXPECT_EQ(notAccess.err, errorLine(database + " is not an Access database"));
    EXPECT_FALSE(fs::exists(database));

    fs::copy_file(kExamples + "logger_example.mdb", programTemplate, fs::copy_options::overwrite_existing);
    auto notHistory = runNew();
    EXPECT_EQ(notHistory.status, 1);
    EXPECT_EQ(notHistory.err, kNotHistoryDatabase);
    EXPECT_FALSE(fs::exists(database));

    EXPECT_EQ(fs::directory_iterator(fs::path(database).parent_path()), fs::directory_iterator())
        << "nothing is left beside it either";

    // A file that was there before is the user's: it stays (as the copy it was replaced with).
    writeHistoryDatabase(database, historyRows(2));
    fs::copy_file(kExamples + "logger_example.mdb", programTemplate, fs::copy_options::overwrite_existing);
    auto replaced = runNew({"--replace"});
    EXPECT_EQ(replaced.status, 1);
    EXPECT_EQ(fileBytes(database), fileBytes(programTemplate));

    fs::copy_file(fs::path(KV_PROGRAM_DIR) / "kestrovane_mdb.template", programTemplate,
                  fs::copy_options::overwrite_existing);
    fs::remove(database);
    auto made = runNew();
    EXPECT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(fileBytes(database), fileBytes(programTemplate));
}
