#pragma once
// Where the fields of an ADIF record go in History: the one table of it (resources/mapping/README.md
// shows it to users). ADIF names its fields, so they need no layout per contest. A record's
// received fields are what its log's owner copied of the station worked; its MY_ fields and
// STX_STRING are the owner's own word. Within one side the first field of a column that holds a
// value gives it; the whole exchange as text (SRX_STRING, STX_STRING) is read only when the record
// has no dedicated field of its side.

#include <array>
#include <string_view>

namespace kv::import {

struct AdifColumn {
    std::string_view field;
    std::string_view column;  // empty: read, but History does not keep it
};

inline constexpr std::array kAdifReceivedColumns{
    AdifColumn{"NAME", "Name"},       AdifColumn{"STATE", "State"}, AdifColumn{"VE_PROV", "State"},
    AdifColumn{"ARRL_SECT", "Sect"},  AdifColumn{"CQZ", "CqZone"},  AdifColumn{"ITUZ", "ITUZone"},
    AdifColumn{"GRIDSQUARE", "Loc1"}, AdifColumn{"CHECK", "Ck"},    AdifColumn{"PRECEDENCE", ""},
    AdifColumn{"CLASS", "data2"},     AdifColumn{"QTH", "Misc"},
};
inline constexpr std::array kAdifOwnColumns{
    AdifColumn{"MY_NAME", "Name"},      AdifColumn{"MY_STATE", "State"},      AdifColumn{"MY_ARRL_SECT", "Sect"},
    AdifColumn{"MY_CQ_ZONE", "CqZone"}, AdifColumn{"MY_ITU_ZONE", "ITUZone"}, AdifColumn{"MY_GRIDSQUARE", "Loc1"},
};
inline constexpr AdifColumn kAdifReceivedText{"SRX_STRING", "Exch1"};
inline constexpr AdifColumn kAdifSentText{"STX_STRING", "Exch1"};

}  // namespace kv::import
