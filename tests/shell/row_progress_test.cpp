#include "shell/row_progress.h"

#include <gtest/gtest.h>

using kv::shell::progressStep;

TEST(ProgressStep, AHundredthOfTheRowsRoundedHalfToEvenPlusOne) {
    EXPECT_EQ(progressStep(0), 1);
    EXPECT_EQ(progressStep(49), 1);
    EXPECT_EQ(progressStep(50), 1) << "0.5 rounds to the even 0";
    EXPECT_EQ(progressStep(51), 2);
    EXPECT_EQ(progressStep(150), 3) << "1.5 rounds to the even 2";
    EXPECT_EQ(progressStep(250), 3) << "2.5 rounds to the even 2";
    EXPECT_EQ(progressStep(350), 5) << "3.5 rounds to the even 4";
    EXPECT_EQ(progressStep(100000), 1001);
}
