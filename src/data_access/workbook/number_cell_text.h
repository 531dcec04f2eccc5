#pragma once
// The text of a number cell. A plain number reads as formatNumber writes it (1 is "1", 2.5 is
// "2.5"); a date or time in the process date format (data_access/date_text.h). Day numbers count
// from day 1, 1900-01-01 (1904-01-02 in the 1904 date system; a number below 1 is that first day
// too), in a calendar where every fourth year is a leap year, so that Excel's 1900-02-29 exists;
// the fraction of a day is its time of day, rounded to the second. A date number beyond the
// days such a calendar counts reads as a plain number.

#include <string>

#include "data_access/workbook/cell_formats.h"

namespace kv::data_access::workbook {

std::string numberCellText(double value, NumberKind kind, bool dates1904);

}  // namespace kv::data_access::workbook
