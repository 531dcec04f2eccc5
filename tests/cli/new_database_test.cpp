// kestrovane-cli new: the template copied to --history FILE, and the cases it refuses.
#include "cli_test_support.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>

using namespace kv::cli::testing;
namespace fs = std::filesystem;

namespace {

const std::string kTemplate = KV_PROGRAM_DIR "/kestrovane_mdb.template";

std::string replaceQuestion(const std::string& path) { return path + " already exists.\nDo you want to replace it?\n"; }

}  // namespace

using CliNew = CliTest;

TEST_F(CliNew, MakesACopyOfTheTemplateThatOtherReadersAndTheOtherSubcommandsAccept) {
    const std::string database = file("new.mdb");
    auto made = cli({"--history", database, "new"});
    EXPECT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.out, "");
    EXPECT_EQ(made.err, kOpenedStatus);
    EXPECT_EQ(fileBytes(database), fileBytes(kTemplate));

    const std::string tables = toolOutput("mdb-tables -1 " + quoted(database));
    EXPECT_NE(tables.find("History\n"), std::string::npos) << tables;
    EXPECT_NE(tables.find("version\n"), std::string::npos) << tables;

    auto counted = cli({"count", "--history", database});
    EXPECT_EQ(counted.status, 0) << counted.err;
    EXPECT_EQ(counted.out, "0\n");
    auto checked = cli({"check", "--history", database});
    EXPECT_EQ(checked.status, 0) << checked.err;
}

// The logger's call-history fields with the longest value it keeps (0: a number or a date, which
// History keeps as text).
TEST_F(CliNew, TheTemplatesHistoryHasEveryLoggerFieldAsTextWideEnoughAndItsOtherColumns) {
    const std::string schema = toolOutput("mdb-schema -T History " + quoted(kTemplate));
    std::map<std::string, std::string> types;
    const std::regex column(R"(\n\t\[(\w+)\]\t+([^,\n]*[^,\s]))");
    for (std::sregex_iterator it(schema.begin(), schema.end(), column), end; it != end; ++it)
        types[(*it)[1]] = (*it)[2];

    const std::pair<const char*, int> loggerFields[] = {
        {"Call", 15},     {"Name", 20},  {"Loc1", 6},  {"Loc2", 6},  {"Sect", 8},   {"State", 8},   {"Ck", 0},
        {"BirthDate", 0}, {"Exch1", 12}, {"Misc", 15}, {"Power", 8}, {"CqZone", 0}, {"ITUZone", 0}, {"UserText", 60}};
    for (const auto& [name, longest] : loggerFields) {
        std::smatch text;
        ASSERT_TRUE(std::regex_match(types[name], text, std::regex(R"(Text \((\d+)\))")))
            << name << ": " << types[name];
        EXPECT_GE(std::stoi(text[1]), std::max(longest, 4)) << name;
    }
    EXPECT_EQ(types["UserText"], "Text (255)");
    for (const char* kept : {"Grid", "Nr", "data2", "data3"}) EXPECT_EQ(types[kept].substr(0, 4), "Text") << kept;
    EXPECT_EQ(types["Updated"], "DateTime");
    EXPECT_EQ(types.size(), 19u) << schema;
}

TEST_F(CliNew, KeepsAnExistingFileUnlessReplaceIsGiven) {
    const std::string database = file("full.mdb");
    writeHistoryDatabase(database, historyRows(4));
    const std::string before = fileBytes(database);

    auto refused = cli({"--history", database, "new"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, replaceQuestion(database) + "Answered No; --replace answers Yes\n");
    EXPECT_EQ(fileBytes(database), before);

    auto replaced = cli({"--history", database, "new", "--replace"});
    EXPECT_EQ(replaced.status, 0) << replaced.err;
    EXPECT_EQ(replaced.err, replaceQuestion(database) + "Answered Yes (--replace)\n" + kOpenedStatus);
    EXPECT_EQ(fileBytes(database), fileBytes(kTemplate));
}

TEST_F(CliNew, RefusesWhenTheProgramDirectoryHasNoTemplate) {
    // A copy of the program in this test's folder, whose program directory then lacks the template.
    const std::string program = file("kestrovane-cli");
    fs::copy_file(builtCli(), program);
    fs::remove(file("kestrovane_mdb.template"));

    auto run = runCli({"new", "--history", file("new.mdb")}, folder().string(), program);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "Cannot create new database, template file \"kestrovane_mdb.template\" not found in "
              "Kestrovane directory\n");
    EXPECT_FALSE(fs::exists(file("new.mdb")));
}

TEST_F(CliNew, TakesAPathRelativeToTheWorkingDirectoryAndNamesItInFull) {
    auto made = cli({"new", "--history", "relative.mdb"});
    EXPECT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(fileBytes(file("relative.mdb")), fileBytes(kTemplate));
    // The window's dialogs give full paths, and its messages show them.
    EXPECT_EQ(cli({"new", "--history", "relative.mdb"}).err,
              replaceQuestion(file("relative.mdb")) + "Answered No; --replace answers Yes\n");

    auto compacted = cli({"compact", "--history", "relative.mdb"});
    EXPECT_EQ(compacted.status, 0) << compacted.err;
    EXPECT_TRUE(fs::exists(file("relative.mdb")));
}
