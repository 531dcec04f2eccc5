#pragma once
// Which numbers of a workbook are dates or times. A cell names an XF record, the XF a number
// format: a built-in one (14 to 22, 45 to 47 are dates and times) or one of a FORMAT record, whose
// code makes a date when it has the letters of one: y and m, or m and d; a date with a time when it
// also has h; a time when it has h and m, or m and s.

#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

namespace kv::data_access::workbook {

enum class NumberKind { Plain, Date, DateTime, Time };

class CellFormats {
public:
    // In the order of the workbook's FORMAT and XF records.
    void addFormat(std::uint16_t index, std::string_view code);
    void addXf(std::uint16_t formatIndex);

    NumberKind kindOf(std::uint16_t xf) const;

private:
    std::vector<std::uint16_t> xfFormats_;
    std::map<std::uint16_t, NumberKind> dateFormats_;
};

}  // namespace kv::data_access::workbook
