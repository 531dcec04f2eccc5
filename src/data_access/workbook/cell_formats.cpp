#include "data_access/workbook/cell_formats.h"

namespace kv::data_access::workbook {
namespace {

NumberKind builtInKind(std::uint16_t format) {
    if (format >= 14 && format <= 17) return NumberKind::Date;
    if ((format >= 18 && format <= 21) || (format >= 45 && format <= 47)) return NumberKind::Time;
    if (format == 22) return NumberKind::DateTime;
    return NumberKind::Plain;
}

// Letters are counted anywhere in the code, quoted text included, as the workbooks' dates have
// always been told apart here.
NumberKind kindOfCode(std::string_view code) {
    bool y = false, m = false, d = false, h = false, s = false;
    for (char c : code) {
        switch (c) {
        case 'Y':
        case 'y': y = true; break;
        case 'M':
        case 'm': m = true; break;
        case 'D':
        case 'd': d = true; break;
        case 'H':
        case 'h': h = true; break;
        case 'S':
        case 's': s = true; break;
        default: break;
        }
    }
    if (y && m && d && h) return NumberKind::DateTime;
    if ((y && m) || (m && d)) return NumberKind::Date;
    if ((h && m) || (m && s)) return NumberKind::Time;
    return NumberKind::Plain;
}

}  // namespace

void CellFormats::addFormat(std::uint16_t index, std::string_view code) {
    const NumberKind kind = kindOfCode(code);
    if (kind != NumberKind::Plain) dateFormats_.emplace(index, kind);  // the first of an index counts
}

void CellFormats::addXf(std::uint16_t formatIndex) { xfFormats_.push_back(formatIndex); }

NumberKind CellFormats::kindOf(std::uint16_t xf) const {
    if (xf >= xfFormats_.size()) return NumberKind::Plain;
    const std::uint16_t format = xfFormats_[xf];
    const NumberKind builtIn = builtInKind(format);
    if (builtIn != NumberKind::Plain) return builtIn;
    auto found = dateFormats_.find(format);
    return found == dateFormats_.end() ? NumberKind::Plain : found->second;
}

}  // namespace kv::data_access::workbook
