#pragma once
// A typed column value as the engine reads it from a row (and as a writer will pack it again).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "jet/format.h"

namespace kv::jet {

enum class ColumnType : std::uint8_t {
    Boolean = 0x01,
    Byte = 0x02,
    Integer = 0x03,
    Long = 0x04,
    Currency = 0x05,
    Single = 0x06,
    Double = 0x07,
    DateTime = 0x08,
    Binary = 0x09,
    Text = 0x0a,
    Ole = 0x0b,
    Memo = 0x0c,
    Guid = 0x0f,
    Numeric = 0x10,
    // Raw bytes without a long-value header (MSysAccessObjects.Data).
    LongBinary = 0x11,
};

const char* columnTypeName(ColumnType type);
bool isKnownColumnType(std::uint8_t code);
// Bytes a value of this type takes in the fixed part of a row; types without an intrinsic size
// (fixed-length Text or Binary) take their declared length. Booleans live in the null mask.
// Inline, as it is asked for every cell read.
inline std::size_t fixedColumnSize(ColumnType type, std::size_t declaredLength) {
    switch (type) {
    case ColumnType::Boolean: return 0;
    case ColumnType::Byte: return 1;
    case ColumnType::Integer: return 2;
    case ColumnType::Long:
    case ColumnType::Single: return 4;
    case ColumnType::Currency:
    case ColumnType::Double:
    case ColumnType::DateTime: return 8;
    case ColumnType::Guid: return 16;
    case ColumnType::Numeric: return format::numeric::kSize;
    default: return declaredLength;
    }
}

// Currency: a count of ten-thousandths.
struct Currency {
    std::int64_t tenThousandths = 0;
    bool operator==(const Currency&) const = default;
};

// Date/Time: days since 1899-12-30; the fraction is the time of day (counted forward from the day
// even when the value is negative).
struct DateTime {
    double days = 0;
    bool operator==(const DateTime&) const = default;
};

struct Guid {
    std::array<std::uint8_t, 16> bytes{};
    bool operator==(const Guid&) const = default;
};

// Numeric (decimal): a 128-bit magnitude, a sign and the column's scale.
struct Numeric {
    bool negative = false;
    std::array<std::uint32_t, 4> magnitude{};  // most significant word first
    std::uint8_t scale = 0;
    bool operator==(const Numeric&) const = default;
};

using Binary = std::vector<std::uint8_t>;

// Text is held as UTF-8.
using Value = std::variant<std::monostate, bool, std::uint8_t, std::int16_t, std::int32_t, Currency, float, double,
                           DateTime, std::string, Binary, Guid, Numeric>;

inline bool isNull(const Value& value) { return std::holds_alternative<std::monostate>(value); }

// Plain decimal text, '.' as separator, no exponent, no superfluous zeros.
std::string decimalText(const Currency& value);
std::string decimalText(const Numeric& value);
std::string decimalText(float value);
std::string decimalText(double value);
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" as Access shows it.
std::string guidText(const Guid& value);
// Upper-case hex digits, two per byte.
std::string hexText(const Binary& value);

}  // namespace kv::jet
