#include "jet/row.h"

#include <bit>
#include <cstring>

#include "jet/long_value.h"
#include "jet/text_codec.h"

namespace kv::jet {
namespace {

Value decodeNumeric(const ByteView& field, const Column& column) {
    Numeric value;
    value.negative = field.u8(0) & format::numeric::kNegative;
    for (std::size_t word = 0; word < 4; ++word) value.magnitude[word] = field.u32(1 + 4 * word);
    value.scale = column.scale;
    return value;
}

bool hasIntrinsicSize(ColumnType type) {
    return type != ColumnType::Text && type != ColumnType::Binary && type != ColumnType::Memo &&
           type != ColumnType::Ole && type != ColumnType::LongBinary;
}

Value decode(const PageFile& file, const Column& column, const ByteView& field) {
    std::span<const std::uint8_t> bytes = field.bytes();
    if (hasIntrinsicSize(column.type) && bytes.size() < fixedColumnSize(column.type, column.length))
        throw FormatError(field.where() + ": the value of column " + column.name +
                          " is too short for its type; the file is damaged");
    switch (column.type) {
    case ColumnType::Boolean: return true;  // its value is its null-mask bit
    case ColumnType::Byte: return bytes[0];
    case ColumnType::Integer: return static_cast<std::int16_t>(field.u16(0));
    case ColumnType::Long: return static_cast<std::int32_t>(field.u32(0));
    case ColumnType::Currency: return Currency{static_cast<std::int64_t>(field.u64(0))};
    case ColumnType::Single: return std::bit_cast<float>(field.u32(0));
    case ColumnType::Double: return std::bit_cast<double>(field.u64(0));
    case ColumnType::DateTime: return DateTime{std::bit_cast<double>(field.u64(0))};
    case ColumnType::Guid: {
        Guid guid;
        std::memcpy(guid.bytes.data(), bytes.data(), guid.bytes.size());
        return guid;
    }
    case ColumnType::Numeric: return decodeNumeric(field, column);
    case ColumnType::Text: return decodeText(bytes);
    case ColumnType::Binary:
    case ColumnType::LongBinary: return Binary(bytes.begin(), bytes.end());
    case ColumnType::Memo: {
        auto stored = readLongValue(file, field);
        return decodeText(stored);
    }
    case ColumnType::Ole: return readLongValue(file, field);
    }
    return {};
}

}  // namespace

StoredRow::StoredRow(const ByteView& row) : row_(row), columnCount_(row.u16(0)) {
    namespace r = format::row;
    const std::size_t maskSize = (columnCount_ + 7) / 8;
    if (maskSize + r::kColumnCountSize + 2 > row.size())
        throw FormatError(row.where() + ": a row is shorter than its null mask; the file is damaged");
    maskStart_ = row.size() - maskSize;
    variableCount_ = row.u16(maskStart_ - 2);
}

bool StoredRow::present(const Column& column) const {
    return row_.u8(maskStart_ + column.number / 8) & 1 << column.number % 8;
}

std::optional<ByteView> StoredRow::variable(std::size_t variableIndex) const {
    if (variableIndex >= variableCount_) return std::nullopt;
    // The variable-offset table runs backwards from before the variable count, its last entry
    // where the variable data ends: a column's end is the entry just before its start.
    const std::size_t endAt = maskStart_ - 2 - format::row::kVariableOffsetSize * (variableIndex + 2);
    if (endAt > maskStart_)
        throw FormatError(row_.where() + ": a row's variable-offset table is too long; the file is damaged");
    const std::size_t end = row_.u16(endAt);
    const std::size_t start = row_.u16(endAt + format::row::kVariableOffsetSize);
    if (end < start || end > maskStart_)
        throw FormatError(row_.where() + ": a variable column's offsets are out of order; the file is damaged");
    return row_.sub(start, end - start);
}

std::optional<ByteView> StoredRow::bytes(const Column& column) const {
    if (!holds(column) || !present(column)) return std::nullopt;
    if (column.type == ColumnType::Boolean) return ByteView();
    if (column.isFixedLength())
        return row_.sub(format::row::kColumnCountSize + column.fixedOffset,
                        fixedColumnSize(column.type, column.length));
    std::optional<ByteView> bytes = variable(column.variableIndex);
    // Columns of a fixed-size type can be variable; such a column without bytes holds no value.
    if (bytes && bytes->size() == 0 && hasIntrinsicSize(column.type)) return std::nullopt;
    return bytes;
}

Value StoredRow::value(const PageFile& file, const Column& column) const {
    if (column.type == ColumnType::Boolean && holds(column)) return present(column);
    std::optional<ByteView> field = bytes(column);
    return field ? decode(file, column, *field) : Value();
}

void StoredRow::readValue(const PageFile& file, const Column& column, Value& into) const {
    // A text is made where it stays rather than moved there.
    if (column.type != ColumnType::Text) {
        into = value(file, column);
    } else if (std::optional<ByteView> field = bytes(column)) {
        decodeTextInto(field->bytes(), into.emplace<std::string>());
    } else {
        into = Value();
    }
}

std::vector<Value> crackRow(const PageFile& file, const TableDef& def, const StoredRow& row) {
    std::vector<Value> values;
    crackRowInto(file, def, row, values);
    return values;
}

void crackRowInto(const PageFile& file, const TableDef& def, const StoredRow& row, std::vector<Value>& values) {
    values.resize(def.columns.size());
    for (std::size_t c = 0; c < def.columns.size(); ++c) row.readValue(file, def.columns[c], values[c]);
}

}  // namespace kv::jet
