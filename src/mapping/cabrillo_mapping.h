#pragma once
// One row of the workbook's sheet CabrilloMapping: how the QSO lines of one Cabrillo contest are
// laid out and where their exchange fields go. `Cabrillo` is the log's CONTEST value (CQ-WW-CW);
// `Location`, when not empty, limits the row to logs whose LOCATION is that value, for contests
// whose exchange depends on the entrant's side (ARRL DX: "DX"); `Contest` is the ImportMapping
// contest the log belongs to; `Sent1` ... `Sent5` and `Received1` ... `Received5` are the fields of
// the sent and of the received exchange in order, each the History column it goes to, or "-"
// for a field the log carries but History does not keep (a report, a serial number). The first
// empty cell ends an exchange.

#include <string>
#include <string_view>
#include <vector>

namespace kv::mapping {

inline constexpr std::size_t kCabrilloExchangeFields = 5;
inline constexpr std::string_view kFieldNotKept = "-";

struct CabrilloMapping {
    std::string cabrillo;
    std::string location;
    std::string contest;
    // One entry per exchange field: the History column, or empty for a field not kept.
    std::vector<std::string> sent;
    std::vector<std::string> received;

    bool operator==(const CabrilloMapping&) const = default;
};

// The exchange of `cells` (Sent1 ... or Received1 ... as read), ended by the first empty one.
std::vector<std::string> exchangeColumns(const std::vector<std::string>& cells);

}  // namespace kv::mapping
