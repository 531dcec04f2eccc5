// A table is found by its name in any letter case, accented capitals included, whether the engine
// is asked for it or a cursor opens it through a connection.
#include <gtest/gtest.h>

#include "data_access/connection.h"
#include "data_access/cursor.h"
#include "jet/database.h"
#include "jet/database_builder.h"
#include "test_support.h"

namespace kv::data_access {
namespace {

TEST(TableNames, MatchInAnyLetterCaseInTheEngineAndThroughAConnection) {
    testing::TempDir dir;
    const std::string path = dir.file("names.mdb");
    jet::TableDesign design;
    design.name = "Ärger";
    design.columns = {jet::userColumn("Call", jet::ColumnType::Text, 20)};
    jet::createDatabase(path, {{design, {{jet::Value(std::string("K1ABC"))}}}});

    const jet::Database database(path);
    for (const std::string name : {"Ärger", "ärger", "ÄRGER"}) {
        EXPECT_EQ(database.table(name).name, "Ärger") << name;
        // A connection of its own for each name, so that none is served from an earlier lookup.
        Connection connection;
        connection.setConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path);
        Cursor cursor("names");
        cursor.setConnection(&connection);
        cursor.setTableName(name);
        cursor.open();
        EXPECT_EQ(cursor.text("Call"), "K1ABC") << name;
    }
    // Letters that differ in more than their case are different names.
    EXPECT_THROW(database.table("Arger"), jet::FormatError);
}

}  // namespace
}  // namespace kv::data_access
