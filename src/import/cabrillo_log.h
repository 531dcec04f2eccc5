#pragma once
// A Cabrillo contest log (3.0, and 2.0 where it differs), parsed as contest robots read it. Each
// line is one of:
// - a header tag, `TAG: value`: the tag matched regardless of letter case, blanks around the value
//   dropped. CALLSIGN, CONTEST and LOCATION are kept; a 2.0 log's ARRL-SECTION stands for LOCATION;
// - `QSO: freq mode date time mycall sent... call received... [transmitter]`: its fields split on
//   blanks and tabs, not by column;
// - `X-QSO:` (a QSO the entrant does not claim) and every other `X-` line: ignored, as robots do;
// - anything else (blank lines, SOAPBOX text): nothing.
// Lines end in CR LF, LF or CR. The log's fields are views into the text it was parsed from.

#include <cstddef>
#include <string_view>
#include <vector>

namespace kv::import {

struct CabrilloQso {
    std::size_t firstField = 0;  // into CabrilloLog::fields
    std::size_t fieldCount = 0;  // the fields after "QSO:"
    long long line = 0;          // from 1
};

struct CabrilloLog {
    std::string_view callsign;
    std::string_view contest;
    std::string_view location;
    std::vector<std::string_view> fields;  // every QSO line's fields, one line after the other
    std::vector<CabrilloQso> qsos;

    std::string_view field(const CabrilloQso& qso, std::size_t k) const { return fields[qso.firstField + k]; }
};

// Whether `text` is a Cabrillo log: its first line that is not blank is `START-OF-LOG:`.
bool looksLikeCabrillo(std::string_view text);

// Never fails: a line it cannot read is no QSO and no tag.
CabrilloLog parseCabrillo(std::string_view text);

// The log's CONTEST value alone, as parseCabrillo gives it, read without splitting a QSO line.
std::string_view cabrilloContest(std::string_view text);

}  // namespace kv::import
