// The History database as the domain holds it: opening and refusing files, a new one made from the
// template, counting and emptying, and the cursors each use gets of its own.
#include "history_db/history_store.h"
#include "operation_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

using namespace kv::history_db;
using kv::testing::columnValues;
using kv::testing::fileBytes;
using kv::testing::ProgramFiles;
using kv::testing::writeHistoryDatabase;
using ::testing::HasSubstr;
using ::testing::StrEq;
using ::testing::ThrowsMessage;
namespace fs = std::filesystem;

TEST(HistoryStore, OpensOnlyAHistoryDatabaseCountsAndEmptiesIt) {
    ProgramFiles files;
    const std::string path = files.file("calls.mdb");
    writeHistoryDatabase(path, "Call,Name\nW2XYZ,Bob\nK1ABC,Ann\nN3Q,Cy\n");
    {
        HistoryStore store(path);
        EXPECT_EQ(store.path(), path);
        EXPECT_EQ(store.count(), 3);
        store.empty();
        EXPECT_EQ(store.count(), 0);
    }
    EXPECT_TRUE(columnValues(path, "History", "Call").empty()) << "emptying is committed";

    const std::string other = files.file("other.mdb");
    fs::copy_file(KV_FIXTURES_DIR "/jet4/testV2000.mdb", other);
    EXPECT_THAT(
        [&] { HistoryStore{other}; },
        ThrowsMessage<NotAHistoryDatabase>(StrEq("Selected database file not a valid History/Kestrovane database")));
    const std::string text = files.file("notes.mdb");
    std::ofstream(text) << "Call,Name\n";
    EXPECT_THAT([&] { HistoryStore{text}; },
                ThrowsMessage<std::runtime_error>(HasSubstr(text + " is not an Access database")));
}

TEST(HistoryStore, EachCursorStartsOnThePlainTableWhateverAnotherWasGiven) {
    ProgramFiles files;
    const std::string path = files.file("calls.mdb");
    writeHistoryDatabase(path, "Call,Name\nW2XYZ,Bob\nK1ABC,Ann\nN3Q,Cy\n");
    HistoryStore store(path);

    kv::data_access::Cursor seeking = store.openHistory();
    seeking.setIndexName("Call");
    ASSERT_TRUE(seeking.seek("N3Q"));
    kv::data_access::Cursor sorted = store.openHistory();
    sorted.setSort("Name DESC");
    kv::data_access::Cursor filtered = store.openHistory();
    filtered.setFilter("Name = 'Ann'");
    filtered.setFiltered(true);

    kv::data_access::Cursor plain = store.openHistory();
    std::vector<std::string> calls;
    for (; !plain.atEnd(); plain.next()) calls.push_back(plain.text("Call"));
    EXPECT_EQ(calls, (std::vector<std::string>{"W2XYZ", "K1ABC", "N3Q"}));
    EXPECT_EQ(store.count(), 3) << "the count sees no other cursor's filter";
}

TEST(CreateHistoryDatabase, CopiesTheTemplateAndLeavesNoHalfMadeDatabase) {
    ProgramFiles files;
    const std::string templatePath = files.file(kTemplateFileName), path = files.file("new.mdb");
    {
        HistoryStore store = createHistoryDatabase(templatePath, path);
        EXPECT_EQ(store.count(), 0);
    }
    EXPECT_EQ(fileBytes(path), fileBytes(templatePath));

    EXPECT_THAT([&] { createHistoryDatabase(files.file("none.template"), files.file("other.mdb")); },
                ThrowsMessage<TemplateMissing>(
                    StrEq("Cannot create new database, template file \"kestrovane_mdb.template\" not found in "
                          "Kestrovane directory")));
    EXPECT_FALSE(fs::exists(files.file("other.mdb")));

    // A template that is an Access database but no History database.
    const std::string wrongTemplate = files.file("wrong.template");
    fs::copy_file(KV_FIXTURES_DIR "/jet4/testV2000.mdb", wrongTemplate);
    EXPECT_THROW(createHistoryDatabase(wrongTemplate, files.file("other.mdb")), NotAHistoryDatabase);
    EXPECT_FALSE(fs::exists(files.file("other.mdb"))) << "the copy it made is removed again";

    EXPECT_THAT([&] { createHistoryDatabase(templatePath, files.file("no such folder/new.mdb")); },
                ThrowsMessage<std::runtime_error>(HasSubstr(files.file("no such folder/new.mdb"))));
}
