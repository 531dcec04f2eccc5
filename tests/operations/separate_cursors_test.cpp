// Each operation on the open History database walks a cursor of its own: what one sets on the
// table (the import's Call index, the view's search) is never seen by the next, which still walks
// the table in its own order.
#include "export/history_file_export.h"
#include "fake_ui.h"
#include "import/history_file.h"
#include "import/import_run.h"
#include "operation_files.h"
#include "shell/form_create.h"
#include "shell/history_database.h"
#include "shell/view_history.h"

#include <gtest/gtest.h>

#include <fstream>

using kv::testing::fileBytes;
using kv::testing::ProgramFiles;
using kv::ui::GridRows;
using kv::ui::testing::FakeUi;

TEST(SeparateCursors, AfterAnImportTheViewAndTheExportWalkTheTableInItsOwnOrder) {
    ProgramFiles files;
    FakeUi ui{files.withSeparator()};
    kv::shell::DataObjects data;
    kv::shell::FormCreate(ui);
    const std::string database = files.file("calls.mdb");
    // Not in the order of the Call index, which would put K1ABC first and W2XYZ last.
    kv::testing::writeHistoryDatabase(database, "Call,Name\nW2XYZ,Bob\nK1ABC,Ann\nN3Q,Cy\n");
    ui.state().HistoryPath = database;
    ASSERT_TRUE(kv::shell::OpenTHDatabase(ui, data, database));
    kv::history_db::HistoryStore& store = kv::shell::historyStore(ui, data);

    const std::string calls = files.file("calls.txt");
    std::ofstream(calls) << "!!Order!!,Call,Name,State\nN3Q,Cyril,\nA1A,Al,\n";
    kv::import::HistoryFile file(calls);
    kv::import::HistoryFileContest source(file, "NAQP");
    const kv::import::ImportCounts counts = kv::import::runImport(store, source, *data.mapping, {});
    ASSERT_EQ(counts.updated, 1);
    ASSERT_EQ(counts.inserted, 1);

    const std::vector<std::string> tableOrder{"W2XYZ", "K1ABC", "N3Q", "A1A"};
    const auto viewedCalls = [&] {
        std::vector<std::string> viewed;
        ui.expectHistoryView([&](const std::string&, GridRows& rows) {
            for (long long row = 0; row < rows.rowCount(); ++row) viewed.push_back(rows.text(row, 0));
            EXPECT_EQ(rows.find(0, "N"), 2) << "a search finds the row by its place in the table";
        });
        kv::shell::ViewThDBClick(ui, data);
        return viewed;
    };
    ASSERT_EQ(store.openHistory().columnNames().front(), "Call");
    EXPECT_EQ(viewedCalls(), tableOrder);

    const std::string target = files.file("names.txt");
    EXPECT_EQ(kv::export_::exportHistoryFile(store, {"Call", "Name", "", "", "", "", "", ""}, target,
                                             kv::export_::HistoryFileEncoding::Utf8, {}),
              4);
    EXPECT_EQ(fileBytes(target), "W2XYZ,Bob,,,,,,\r\nK1ABC,Ann,,,,,,\r\nN3Q,Cyril,,,,,,\r\nA1A,Al,,,,,,\r\n")
        << "the view's search left nothing on the export's cursor";
    EXPECT_EQ(viewedCalls(), tableOrder) << "nor on the next view's";

    std::ofstream(calls) << "!!Order!!,Call,Name,State\nK1ABC,Annie,\nW2XYZ,Bob,\n";
    EXPECT_EQ(kv::import::runImport(store, source, *data.mapping, {}),
              (kv::import::ImportCounts{.read = 2, .updated = 1, .unchanged = 1}))
        << "an import after the view still finds every station it seeks";
    EXPECT_EQ(viewedCalls(), tableOrder);
}
