#include "windows/file_filter.h"

#include <gtest/gtest.h>

using kv::windows::toQtNameFilters;

TEST(FileFilter, EachDescriptionPatternPairBecomesOneQtFilter) {
    EXPECT_EQ(toQtNameFilters("Microsoft Access (*.mdb)|*.mdb"), QStringList{"Microsoft Access (*.mdb)"});
    EXPECT_EQ(toQtNameFilters("Kestrovane database(*.mdb)|*.mdb"), QStringList{"Kestrovane database(*.mdb)"});
    EXPECT_EQ(toQtNameFilters("Text files|*.txt;*.csv|All|*"), (QStringList{"Text files (*.txt *.csv)", "All (*)"}));
    EXPECT_TRUE(toQtNameFilters("").isEmpty());
    EXPECT_TRUE(toQtNameFilters("Description without pattern").isEmpty());
}
