#pragma once
// How a station's exchange values heard in a contest update its History row. The columns data2
// and data3 hold a rolling pair: data2 the value most recently heard from the station, data3 the
// one before. Values compare exactly, letter case included; an empty text is no value.

#include <string>

namespace kv::import {

struct ExchangePair {
    std::string data2;
    std::string data3;

    bool operator==(const ExchangePair&) const = default;
};

struct MergeResult {
    bool changed = false;
    ExchangePair result;
};

// The pair the History row holds after `fresh` (the contest's values) meets `old` (the row's
// values). `changed` is false exactly when the result is `old` unaltered, so the row need not be
// written. A value in the result is always one of the four given.
MergeResult MergeExchangeValues(const ExchangePair& fresh, const ExchangePair& old);

}  // namespace kv::import
