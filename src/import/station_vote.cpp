#include "import/station_vote.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <tuple>

namespace kv::import {

StationVote::StationVote(std::vector<std::string> columns) : columns_(std::move(columns)) {}

void StationVote::beginLog() { ++log_; }

StationVote::Station& StationVote::station(std::string_view call, VotePlace place) {
    capitals_.assign(call);
    for (char& c : capitals_) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    auto found = stations_.find(std::string_view(capitals_));
    if (found == stations_.end()) {
        Station fresh;
        fresh.index = static_cast<std::uint32_t>(stations_.size());
        fresh.firstHeard = place;
        fresh.tallies.resize(columns_.size());
        found = stations_.emplace(capitals_, std::move(fresh)).first;
    }
    return found->second;
}

void StationVote::tell(std::vector<Candidate> Tally::*side, Station& station, std::span<const std::string_view> values,
                       long long when) {
    if (values.size() != columns_.size()) throw std::logic_error("a vote takes one value per column");
    ++order_;
    for (std::size_t k = 0; k < values.size(); ++k) {
        if (values[k].empty()) continue;
        std::vector<Candidate>& candidates = station.tallies[k].*side;
        auto found = std::ranges::find(candidates, values[k], &Candidate::value);
        if (found == candidates.end()) {
            candidates.push_back({std::string(values[k]), 0, when, order_});
            found = candidates.end() - 1;
        }
        ++found->count;
        if (std::tie(when, order_) > std::tie(found->when, found->order)) {
            found->when = when;
            found->order = order_;
        }
    }
}

void StationVote::addReport(std::string_view call, std::span<const std::string_view> values, long long when,
                            VotePlace place) {
    Station& worked = station(call, place);
    if (worked.lastLog != log_) {
        worked.lastLog = log_;
        ++worked.logsWorked;
    }
    tell(&Tally::reports, worked, values, when);
}

void StationVote::addOwnWord(std::string_view call, std::span<const std::string_view> values, long long when,
                             VotePlace place) {
    Station& owner = station(call, place);
    owner.ownsLog = true;
    tell(&Tally::ownWords, owner, values, when);
}

const StationVote::Candidate* StationVote::winner(const std::vector<Candidate>& candidates) {
    const Candidate* best = nullptr;
    for (const Candidate& candidate : candidates)
        if (!best ||
            std::tie(candidate.count, candidate.when, candidate.order) > std::tie(best->count, best->when, best->order))
            best = &candidate;
    return best;
}

std::vector<VotedStation> StationVote::result() const {
    std::vector<VotedStation> voted(stations_.size());
    for (const auto& [call, station] : stations_) {
        VotedStation& out = voted[station.index];
        out.call = call;
        out.logsWorked = station.logsWorked;
        out.ownsLog = station.ownsLog;
        out.firstHeard = station.firstHeard;
        out.values.reserve(columns_.size());
        for (const Tally& tally : station.tallies) {
            const Candidate* best = winner(tally.ownWords.empty() ? tally.reports : tally.ownWords);
            out.values.push_back(best ? best->value : std::string());
        }
    }
    return voted;
}

long long StationVote::conflicts() const {
    long long count = 0;
    for (const auto& entry : stations_)
        for (const Tally& tally : entry.second.tallies) {
            std::size_t distinct = tally.reports.size();
            for (const Candidate& own : tally.ownWords)
                if (std::ranges::find(tally.reports, own.value, &Candidate::value) == tally.reports.end()) ++distinct;
            if (distinct > 1) ++count;
        }
    return count;
}

}  // namespace kv::import
