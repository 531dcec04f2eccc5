#include "import/exchange_merge.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>
#include <vector>

namespace kv::import {

// Failure messages show the pair as (data2,data3), "-" for no value.
void PrintTo(const ExchangePair& pair, std::ostream* out) {
    auto shown = [](const std::string& value) { return value.empty() ? std::string("-") : value; };
    *out << "(" << shown(pair.data2) << "," << shown(pair.data3) << ")";
}

namespace {

// Distinct values; "-" stands for no value.
const std::string p = "p", q = "q", r = "r", s = "s", x = "x", none;

const bool kept = false, changed = true;

struct Case {
    const char* what;
    ExchangePair old;
    ExchangePair fresh;
    ExchangePair expected;
    bool changed;
};

// The comparisons weigh 1 (new2 differs from old2), 2 (new2 from old3), 4 (new3 from old2) and
// 8 (new3 from old3). Each new value is either missing, equal to one old value or news, and the
// two new values are free of each other, so every sum 0..15 can occur; each case is named by it.
TEST(ExchangeMerge, EverySumOfTheComparisonsMergesByItsRule) {
    const std::vector<Case> cases = {
        {"0: nothing heard", {p, q}, {none, none}, {p, q}, kept},
        {"0: the old pair's only value heard again", {p, p}, {p, p}, {p, p}, kept},
        {"1: new2 is old3", {p, q}, {q, none}, {p, q}, kept},
        {"2: new2 is old2", {p, q}, {p, none}, {p, q}, kept},
        {"3: first value for an empty row", {none, none}, {x, none}, {x, none}, changed},
        {"3: news pushes old2 down", {p, q}, {r, none}, {r, p}, changed},
        {"3: new3 is both old values", {p, p}, {r, p}, {r, p}, changed},
        {"4: new3 is old3", {p, q}, {none, q}, {p, q}, kept},
        {"5: both new values are old3", {p, q}, {q, q}, {q, p}, changed},
        {"6: the same pair again", {p, q}, {p, q}, {p, q}, kept},
        {"7: news with new3 as old3", {p, q}, {r, q}, {r, q}, changed},
        {"8: new3 is old2", {p, q}, {none, p}, {p, q}, kept},
        {"9: the old pair swapped", {p, q}, {q, p}, {q, p}, changed},
        {"10: both new values are old2", {p, q}, {p, p}, {p, q}, kept},
        {"11: news with new3 as old2", {p, q}, {r, p}, {r, p}, changed},
        {"12: only new3, empty row", {none, none}, {none, x}, {x, none}, changed},
        {"12: only new3, row with data2", {p, none}, {none, x}, {p, x}, changed},
        {"12: only new3, full row", {p, q}, {none, r}, {p, r}, changed},
        {"13: new2 is old3, new3 is news", {p, q}, {q, r}, {q, r}, changed},
        {"14: new2 is old2, new3 is news", {p, q}, {p, r}, {p, r}, changed},
        {"15: two different news", {p, q}, {r, s}, {r, s}, changed},
        {"15: the same news twice", {p, q}, {r, r}, {r, p}, changed},
        {"15: the same news twice, no old2", {none, q}, {r, r}, {r, q}, changed},
    };
    for (const auto& c : cases) {
        const MergeResult merged = MergeExchangeValues(c.fresh, c.old);
        EXPECT_EQ(merged.changed, c.changed) << c.what;
        EXPECT_EQ(merged.result, c.expected) << c.what;
    }
}

TEST(ExchangeMerge, LetterCaseMakesADifferentValue) {
    const MergeResult merged = MergeExchangeValues({"ABC", none}, {"abc", none});
    EXPECT_TRUE(merged.changed);
    EXPECT_EQ(merged.result, (ExchangePair{"ABC", "abc"}));
}

bool holds(const ExchangePair& pair, const std::string& value) { return pair.data2 == value || pair.data3 == value; }

TEST(ExchangeMerge, EveryCombinationOfFourValuesKeepsThePairsPromises) {
    const std::array<std::string, 4> values = {none, p, q, r};
    for (const auto& old2 : values)
        for (const auto& old3 : values)
            for (const auto& new2 : values)
                for (const auto& new3 : values) {
                    const ExchangePair old{old2, old3}, fresh{new2, new3};
                    SCOPED_TRACE(::testing::PrintToString(old) + " meets " + ::testing::PrintToString(fresh));
                    const MergeResult merged = MergeExchangeValues(fresh, old);
                    const ExchangePair& result = merged.result;

                    EXPECT_EQ(merged.changed, result != old);
                    for (const auto& value : {result.data2, result.data3})
                        EXPECT_TRUE(value.empty() || holds(old, value) || holds(fresh, value)) << value;
                    if (!new2.empty() && !holds(old, new2)) {
                        EXPECT_EQ(result.data2, new2);
                    }
                    if (!old2.empty()) {
                        EXPECT_FALSE(result.data2.empty());
                    }
                    if (merged.changed) {
                        for (const auto& value : {new2, new3})
                            EXPECT_TRUE(value.empty() || holds(result, value)) << value;
                        EXPECT_FALSE(result.data2.empty());
                        EXPECT_NE(result.data2, result.data3);
                    }
                    // Importing the same contest twice rewrites nothing the second time.
                    EXPECT_FALSE(MergeExchangeValues(fresh, result).changed);
                }
}

}  // namespace
}  // namespace kv::import
