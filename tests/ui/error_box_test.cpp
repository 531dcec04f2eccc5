#include "ui/error_box.h"

#include <gtest/gtest.h>

using kv::ui::programTitle;

TEST(ErrorBox, TitleIsTheExecutableNameUpToItsFirstPeriodWithTheRestInLowerCase) {
    EXPECT_EQ(programTitle("C:\\Tools\\MyTool.EXE"), "Mytool");
    EXPECT_EQ(programTitle("/opt/KV/HISTORY.MANAGER.exe"), "History");
    // The first letter is kept as it is.
    EXPECT_EQ(programTitle("/usr/local/bin/kestrovane"), "kestrovane");
    EXPECT_EQ(programTitle("relative/dir.with.dots/TOOL"), "Tool");
    EXPECT_EQ(programTitle("X"), "X");
}
