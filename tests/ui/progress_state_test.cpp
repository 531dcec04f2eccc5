#include "ui/progress_state.h"

#include <gtest/gtest.h>

#include <stdexcept>

using kv::ui::ProgressState;

TEST(ProgressState, StartsAtZeroToHundredAndKeepsThePositionInRange) {
    ProgressState bar;
    EXPECT_EQ(bar.minimum(), 0);
    EXPECT_EQ(bar.maximum(), 100);

    bar.setRange(0, 250);
    bar.setStep(3);
    for (int i = 0; i < 83; ++i) bar.stepIt();
    EXPECT_EQ(bar.position(), 249);
    bar.stepIt();
    EXPECT_EQ(bar.position(), 250) << "a step past the end stops at the maximum";

    bar.setRange(0, 10);
    EXPECT_EQ(bar.position(), 10) << "a smaller range pulls the position in";
    bar.setPosition(-5);
    EXPECT_EQ(bar.position(), 0);
}

TEST(ProgressState, RefusesARangeThatEndsBeforeItStarts) {
    ProgressState bar;
    bar.setRange(0, 50);
    bar.setPosition(20);
    EXPECT_THROW(bar.setRange(0, -1), std::runtime_error);
    EXPECT_EQ(bar.maximum(), 50) << "a refused range changes nothing";
    EXPECT_EQ(bar.position(), 20);
    EXPECT_NO_THROW(bar.setRange(0, 0));
}
