#pragma once
// One answer per station from many logs. Each QSO of a log tells what its owner copied of the
// station worked (a report) and, through the sent exchange, what the owner says of itself (its own
// word). Per station and column the own word wins when there is any; among reports, or among own
// words, the value told most often wins, and a tie goes to the latest QSO (the one read last when
// two have the same time). Values compare exactly; calls are kept in capitals, so that `k1abc`
// and `K1ABC` are one station.
//
// Memory grows with the stations and the distinct values told, not with the QSOs: a log is folded
// in and its text may go.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kv::import {

// Where a station was first heard, for messages: the file's number among the run's files and
// the line.
struct VotePlace {
    std::uint32_t file = 0;
    std::uint32_t line = 0;
};

// A station as the vote decides it.
struct VotedStation {
    std::string call;
    std::vector<std::string> values;  // by column; empty where no log told one
    std::uint32_t logsWorked = 0;     // the logs with a QSO with it
    bool ownsLog = false;             // the owner of a log read
    VotePlace firstHeard;
};

class StationVote {
public:
    // The History columns voted on, in the order the values of addReport and addOwnWord give them.
    explicit StationVote(std::vector<std::string> columns);

    const std::vector<std::string>& columns() const { return columns_; }

    // The QSOs that follow belong to a new log.
    void beginLog();
    // The station `call` was worked at `when` (a number that grows with time: yyyymmddhhmm) and
    // its exchange copied as `values`, one per column, empty where the log tells none.
    void addReport(std::string_view call, std::span<const std::string_view> values, long long when, VotePlace place);
    // The log's owner `call` sent `values` at `when`.
    void addOwnWord(std::string_view call, std::span<const std::string_view> values, long long when, VotePlace place);

    // Every station, in the order first heard.
    std::vector<VotedStation> result() const;
    // The columns of stations that were told more than one value.
    long long conflicts() const;

private:
    struct Candidate {
        std::string value;
        std::uint32_t count = 0;
        long long when = 0;
        std::uint64_t order = 0;
    };
    struct Tally {
        std::vector<Candidate> reports;
        std::vector<Candidate> ownWords;
    };
    struct Station {
        std::uint32_t index = 0;  // first heard
        std::uint32_t logsWorked = 0;
        std::uint32_t lastLog = UINT32_MAX;
        bool ownsLog = false;
        VotePlace firstHeard;
        std::vector<Tally> tallies;  // by column
    };
    struct CallHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view call) const { return std::hash<std::string_view>{}(call); }
    };

    Station& station(std::string_view call, VotePlace place);
    void tell(std::vector<Candidate> Tally::*side, Station& station, std::span<const std::string_view> values,
              long long when);
    static const Candidate* winner(const std::vector<Candidate>& candidates);

    std::vector<std::string> columns_;
    std::unordered_map<std::string, Station, CallHash, std::equal_to<>> stations_;
    std::uint32_t log_ = 0;
    std::uint64_t order_ = 0;
    std::string capitals_;  // the call being looked up, reused so that a lookup allocates nothing
};

}  // namespace kv::import
