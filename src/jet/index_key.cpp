#include "jet/index_key.h"

#include <bit>
#include <cstring>
#include <optional>
#include <string>

#include "jet/format.h"
#include "jet/general_sort_codes.h"
#include "jet/utf8.h"

namespace kv::jet {
namespace {

namespace ik = format::index_key;

std::string describe(char32_t c) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    return code;
}

void appendTextKey(std::vector<std::uint8_t>& key, const Column& column, const std::string& text) {
    if (column.sortOrder != format::kGeneralSortOrder)
        throw UnencodableKey("Column " + column.name + " uses a sort order whose index keys are not known");
    // Trailing blanks are left out; a blank is one byte in UTF-8, never part of another character.
    std::string_view chars(text);
    while (!chars.empty() && chars.back() == ' ') chars.remove_suffix(1);
    // Each character's accent, made only once one is not kNoAccent: most keys have none.
    std::size_t characters = 0;
    std::vector<std::uint8_t> accents, ignored;
    for (std::size_t at = 0; at < chars.size();) {
        const char32_t c = takeCodePoint(chars, at);
        const GeneralSortCode* code = generalSortCode(c);
        if (!code)
            throw UnencodableKey("The index key of \"" + text + "\" in column " + column.name +
                                 " cannot be made: the character " + describe(c) + " has no known key code");
        if (code->inlineCodes.empty()) {
            unsigned position =
                (ik::kPositionBase + ik::kPositionStep * static_cast<unsigned>(characters)) | ik::kPositionFlag;
            ignored.insert(ignored.end(), {static_cast<std::uint8_t>(position >> 8),
                                           static_cast<std::uint8_t>(position), ik::kIgnoredMidfix, code->ignoredCode});
        } else {
            for (char byte : code->inlineCodes) key.push_back(static_cast<std::uint8_t>(byte));
            if (code->accent != kNoAccent) {
                accents.resize(characters, kNoAccent);
                accents.push_back(code->accent);
            }
            ++characters;
        }
    }
    key.push_back(ik::kEndOfText);
    key.insert(key.end(), accents.begin(), accents.end());
    if (!ignored.empty()) {
        key.insert(key.end(), ik::kIgnoredTrailerStart.begin(), ik::kIgnoredTrailerStart.end());
        key.insert(key.end(), ignored.begin(), ignored.end());
    }
    key.push_back(ik::kEndOfKey);
}

template <typename Unsigned>
void appendBigEndian(std::vector<std::uint8_t>& key, Unsigned bits) {
    for (int shift = sizeof(Unsigned) * 8 - 8; shift >= 0; shift -= 8)
        key.push_back(static_cast<std::uint8_t>(bits >> shift));
}

// Integers: big-endian with the sign bit flipped, so that byte order is numeric order.
template <typename Unsigned>
void appendIntegerKey(std::vector<std::uint8_t>& key, Unsigned bits) {
    appendBigEndian<Unsigned>(key, bits ^ (Unsigned{1} << (sizeof(Unsigned) * 8 - 1)));
}

// Floating point: positive values get the sign bit flipped, negative ones all bits inverted.
template <typename Unsigned>
void appendFloatKey(std::vector<std::uint8_t>& key, Unsigned bits) {
    constexpr Unsigned sign = Unsigned{1} << (sizeof(Unsigned) * 8 - 1);
    appendBigEndian<Unsigned>(key, bits & sign ? static_cast<Unsigned>(~bits) : bits ^ sign);
}

void appendValueKey(std::vector<std::uint8_t>& key, const Column& column, const Value& value) {
    switch (column.type) {
    case ColumnType::Byte: return appendIntegerKey<std::uint8_t>(key, std::get<std::uint8_t>(value));
    case ColumnType::Integer:
        return appendIntegerKey<std::uint16_t>(key, static_cast<std::uint16_t>(std::get<std::int16_t>(value)));
    case ColumnType::Long:
        return appendIntegerKey<std::uint32_t>(key, static_cast<std::uint32_t>(std::get<std::int32_t>(value)));
    case ColumnType::Currency:
        return appendIntegerKey<std::uint64_t>(key,
                                               static_cast<std::uint64_t>(std::get<Currency>(value).tenThousandths));
    case ColumnType::Double:
        return appendFloatKey<std::uint64_t>(key, std::bit_cast<std::uint64_t>(std::get<double>(value)));
    case ColumnType::DateTime:
        return appendFloatKey<std::uint64_t>(key, std::bit_cast<std::uint64_t>(std::get<DateTime>(value).days));
    case ColumnType::Text: return appendTextKey(key, column, std::get<std::string>(value));
    default:
        throw UnencodableKey(std::string("Index keys of ") + columnTypeName(column.type) + " columns (column " +
                             column.name + ") are not known");
    }
}

}  // namespace

void appendColumnKey(std::vector<std::uint8_t>& key, const Column& column, const Value& value, bool ascending) {
    if (column.type == ColumnType::Boolean) {
        // A Boolean key is one byte without a flag; a missing value counts as False.
        bool truth = std::holds_alternative<bool>(value) && std::get<bool>(value);
        std::uint8_t byte = truth ? ik::kBooleanTrueAscending : ik::kBooleanFalseAscending;
        key.push_back(ascending ? byte : static_cast<std::uint8_t>(~byte));
        return;
    }
    if (isNull(value)) {
        key.push_back(ascending ? ik::kNullAscending : ik::kNullDescending);
        return;
    }
    key.push_back(ascending ? ik::kStartAscending : ik::kStartDescending);
    std::size_t valueStart = key.size();
    try {
        appendValueKey(key, column, value);
    } catch (const std::bad_variant_access&) {
        throw UnencodableKey("A value of column " + column.name + " does not have the column's type");
    }
    if (!ascending)
        for (std::size_t i = valueStart; i < key.size(); ++i) key[i] = static_cast<std::uint8_t>(~key[i]);
}

void appendIndexKey(std::vector<std::uint8_t>& key, const TableDef& def, const RealIndex& index,
                    const std::vector<Value>& row) {
    for (const auto& part : index.columns) {
        std::size_t position = def.columnPosition(part.columnNumber);
        appendColumnKey(key, def.columns[position], row.at(position), part.ascending);
    }
}

std::vector<std::uint8_t> encodeIndexKey(const TableDef& def, const RealIndex& index, const std::vector<Value>& row) {
    std::vector<std::uint8_t> key;
    key.reserve(kTypicalIndexKeySize);
    appendIndexKey(key, def, index, row);
    return key;
}

}  // namespace kv::jet
