#include "import/exchange_merge.h"

namespace kv::import {
namespace {

// A fresh value counts against an old one only when there is something to say.
bool differs(const std::string& fresh, const std::string& old) { return !fresh.empty() && fresh != old; }

// Which fresh values are news against which old ones, as the sum of one weight per comparison.
int comparisonSum(const ExchangePair& fresh, const ExchangePair& old) {
    return (differs(fresh.data2, old.data2) ? 1 : 0) + (differs(fresh.data2, old.data3) ? 2 : 0) +
           (differs(fresh.data3, old.data2) ? 4 : 0) + (differs(fresh.data3, old.data3) ? 8 : 0);
}

}  // namespace

MergeResult MergeExchangeValues(const ExchangePair& fresh, const ExchangePair& old) {
    ExchangePair result = old;
    switch (comparisonSum(fresh, old)) {
    case 3:
        result.data2 = fresh.data2;
        if (fresh.data3.empty()) result.data3 = old.data2;
        break;
    case 5:
    case 11:
        result.data2 = fresh.data2;
        result.data3 = old.data2;
        break;
    case 7: result.data2 = fresh.data2; break;
    case 9:
    case 13:
    case 14: result = fresh; break;
    case 12:
        // Only a second value was heard: it fills data2 when the row has none yet.
        if (old.data2.empty())
            result.data2 = fresh.data3;
        else
            result.data3 = fresh.data3;
        break;
    case 15:
        result.data2 = fresh.data2;
        if (fresh.data2 != fresh.data3)
            result.data3 = fresh.data3;
        else if (!old.data2.empty())
            result.data3 = old.data2;
        break;
    default:
        // Nothing heard that the row does not already hold where it matters.
        return {false, old};
    }
    return {true, result};
}

}  // namespace kv::import
