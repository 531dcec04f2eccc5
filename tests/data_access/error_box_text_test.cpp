#include "data_access/error_box_text.h"

#include <gtest/gtest.h>

using kv::data_access::errorBoxText;

TEST(ErrorBoxText, PeriodIsAppendedUnlessTheMessageEndsInACharacterUpToThePeriod) {
    EXPECT_EQ(errorBoxText("Cannot open file /tmp/a.mdb"), "Cannot open file /tmp/a.mdb.");
    EXPECT_EQ(errorBoxText(""), "");
    // 0x21 '!' to 0x2E '.', the blank and control characters end a message as it is.
    for (std::string ending : {"!", "\"", "#", "%", "'", ")", "*", ",", "-", ".", " ", "\n", "\t"})
        EXPECT_EQ(errorBoxText("Stop" + ending), "Stop" + ending) << "ending 0x" << std::hex << int(ending[0]);
    // The first codes past the period, and letters outside ASCII, get one.
    EXPECT_EQ(errorBoxText("path/"), "path/.");
    EXPECT_EQ(errorBoxText("count 0"), "count 0.");
    EXPECT_EQ(errorBoxText("Call \xC3\x9C"), "Call \xC3\x9C.");
}
