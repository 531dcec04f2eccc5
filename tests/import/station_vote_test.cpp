// The vote that gives each station one answer from many logs.
#include "import/station_vote.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <string_view>

using namespace kv::import;
using ::testing::ElementsAre;

namespace {

using Values = std::array<std::string_view, 2>;  // Name, State

const VotedStation& stationOf(const std::vector<VotedStation>& stations, std::string_view call) {
    for (const VotedStation& station : stations)
        if (station.call == call) return station;
    throw std::runtime_error("no station " + std::string(call));
}

}  // namespace

TEST(StationVoteTest, TheValueToldMostOftenWinsAndATieGoesToTheLatestQso) {
    StationVote vote({"Name", "State"});
    vote.beginLog();
    vote.addReport("W1AW", Values{"HIRAM", "CT"}, 202601011200, {0, 1});
    vote.addReport("K1ABC", Values{"ED", "MA"}, 202601011201, {0, 2});
    vote.beginLog();
    vote.addReport("w1aw", Values{"HIRAM", "NH"}, 202601011300, {1, 1});
    vote.addReport("K1ABC", Values{"TED", ""}, 202601011100, {1, 2});
    vote.beginLog();
    vote.addReport("W1AW", Values{"HIRUM", "NH"}, 202601011000, {2, 1});

    const std::vector<VotedStation> stations = vote.result();
    ASSERT_EQ(stations.size(), 2u);
    EXPECT_EQ(stations[0].call, "W1AW") << "calls in capitals, in the order first heard";
    EXPECT_THAT(stations[0].values, ElementsAre("HIRAM", "NH")) << "two logs of three say HIRAM, two say NH";
    EXPECT_EQ(stations[0].logsWorked, 3u);
    EXPECT_EQ(stations[0].firstHeard.file, 0u);
    EXPECT_THAT(stationOf(stations, "K1ABC").values, ElementsAre("ED", "MA"))
        << "ED and TED once each: ED's QSO is the later one; an empty value is no vote";
    EXPECT_EQ(vote.conflicts(), 3) << "W1AW's name and state, K1ABC's name";
}

TEST(StationVoteTest, AnOwnersOwnWordWinsOverWhatOthersCopied) {
    StationVote vote({"Name", "State"});
    vote.beginLog();
    vote.addReport("K5ZD", Values{"RANDY", "TX"}, 202601011200, {0, 3});
    vote.beginLog();
    vote.addReport("K5ZD", Values{"RANDY", "TX"}, 202601011300, {1, 3});
    vote.beginLog();
    vote.addOwnWord("K5ZD", Values{"RANDY", "MA"}, 202601011000, {2, 5});
    vote.addReport("W1AW", Values{"HIRAM", "CT"}, 202601011000, {2, 5});
    vote.addReport("W1AW", Values{"HIRAM", "CT"}, 202601011001, {2, 6});

    const std::vector<VotedStation> stations = vote.result();
    const VotedStation& owner = stationOf(stations, "K5ZD");
    EXPECT_THAT(owner.values, ElementsAre("RANDY", "MA")) << "MA is K5ZD's own word against two copies of TX";
    EXPECT_TRUE(owner.ownsLog);
    EXPECT_EQ(owner.logsWorked, 2u) << "its own log does not count as working it";
    const VotedStation& worked = stationOf(stations, "W1AW");
    EXPECT_FALSE(worked.ownsLog);
    EXPECT_EQ(worked.logsWorked, 1u) << "two QSOs in one log are one log";
    EXPECT_EQ(vote.conflicts(), 1) << "K5ZD's state";
}
