#include "jet/value.h"

#include "jet/format.h"

#include <charconv>
#include <cmath>

namespace kv::jet {
namespace {

// Inserts the decimal point `scale` digits from the right and drops trailing zeros of the fraction.
std::string withScale(std::string digits, unsigned scale, bool negative) {
    if (digits.size() <= scale) digits.insert(0, scale + 1 - digits.size(), '0');
    std::string whole = digits.substr(0, digits.size() - scale);
    std::string fraction = digits.substr(digits.size() - scale);
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    std::string text = whole + (fraction.empty() ? "" : "." + fraction);
    bool zero = text.find_first_not_of("0.") == std::string::npos;
    return negative && !zero ? "-" + text : text;
}

template <typename Float>
std::string floatText(Float value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
    if (value == 0) return "0";
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

}  // namespace

const char* columnTypeName(ColumnType type) {
    switch (type) {
    case ColumnType::Boolean: return "Boolean";
    case ColumnType::Byte: return "Byte";
    case ColumnType::Integer: return "Integer";
    case ColumnType::Long: return "Long";
    case ColumnType::Currency: return "Currency";
    case ColumnType::Single: return "Single";
    case ColumnType::Double: return "Double";
    case ColumnType::DateTime: return "Date/Time";
    case ColumnType::Binary: return "Binary";
    case ColumnType::Text: return "Text";
    case ColumnType::Ole: return "OLE Object";
    case ColumnType::Memo: return "Memo";
    case ColumnType::Guid: return "GUID";
    case ColumnType::Numeric: return "Numeric";
    case ColumnType::LongBinary: return "Long binary";
    }
    return "unknown";
}

bool isKnownColumnType(std::uint8_t code) {
    return (code >= static_cast<std::uint8_t>(ColumnType::Boolean) &&
            code <= static_cast<std::uint8_t>(ColumnType::Memo)) ||
           code == static_cast<std::uint8_t>(ColumnType::Guid) ||
           code == static_cast<std::uint8_t>(ColumnType::Numeric) ||
           code == static_cast<std::uint8_t>(ColumnType::LongBinary);
}

std::string decimalText(const Currency& value) {
    std::uint64_t magnitude = value.tenThousandths < 0 ? 0 - static_cast<std::uint64_t>(value.tenThousandths)
                                                       : static_cast<std::uint64_t>(value.tenThousandths);
    return withScale(std::to_string(magnitude), 4, value.tenThousandths < 0);
}

std::string decimalText(const Numeric& value) {
    std::array<std::uint32_t, 4> words = value.magnitude;
    std::string digits;
    auto isZero = [&] { return words[0] == 0 && words[1] == 0 && words[2] == 0 && words[3] == 0; };
    do {
        std::uint64_t remainder = 0;
        for (auto& word : words) {
            std::uint64_t current = remainder << 32 | word;
            word = static_cast<std::uint32_t>(current / 10);
            remainder = current % 10;
        }
        digits.insert(digits.begin(), static_cast<char>('0' + remainder));
    } while (!isZero());
    return withScale(digits, value.scale, value.negative);
}

std::string decimalText(float value) { return floatText(value); }
std::string decimalText(double value) { return floatText(value); }

std::string guidText(const Guid& value) {
    // The first three groups are stored little-endian.
    static constexpr int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text = "{";
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
        std::uint8_t byte = value.bytes[order[i]];
        text += digits[byte >> 4];
        text += digits[byte & 0xf];
    }
    return text + "}";
}

std::string hexText(const Binary& value) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(value.size() * 2);
    for (std::uint8_t byte : value) {
        text += digits[byte >> 4];
        text += digits[byte & 0xf];
    }
    return text;
}

}  // namespace kv::jet
