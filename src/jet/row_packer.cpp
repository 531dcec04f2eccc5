#include "jet/row_packer.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

#include "jet/byte_writer.h"
#include "jet/data_page_writer.h"
#include "jet/text_encoder.h"

namespace kv::jet {
namespace {

[[noreturn]] void mismatch(const Column& column) {
    throw std::runtime_error(std::string("The value for column ") + column.name + " is not of its type (" +
                             columnTypeName(column.type) + ")");
}

template <typename T>
const T& as(const Value& value, const Column& column) {
    if (const T* typed = std::get_if<T>(&value)) return *typed;
    mismatch(column);
}

std::vector<std::uint8_t> textBytes(const Column& column, const std::string& text) {
    requireTextFits(column, text);
    return encodeStoredText(text, column.isCompressedText());
}

// The bytes of a value that has no long-value storage.
std::vector<std::uint8_t> plainBytes(const Column& column, const Value& value) {
    std::vector<std::uint8_t> out;
    switch (column.type) {
    case ColumnType::Byte: out.push_back(as<std::uint8_t>(value, column)); break;
    case ColumnType::Integer: appendU16(out, static_cast<std::uint16_t>(as<std::int16_t>(value, column))); break;
    case ColumnType::Long: appendU32(out, static_cast<std::uint32_t>(as<std::int32_t>(value, column))); break;
    case ColumnType::Currency:
        appendU64(out, static_cast<std::uint64_t>(as<Currency>(value, column).tenThousandths));
        break;
    case ColumnType::Single: appendU32(out, std::bit_cast<std::uint32_t>(as<float>(value, column))); break;
    case ColumnType::Double: appendU64(out, std::bit_cast<std::uint64_t>(as<double>(value, column))); break;
    case ColumnType::DateTime: appendU64(out, std::bit_cast<std::uint64_t>(as<DateTime>(value, column).days)); break;
    case ColumnType::Guid: {
        const auto& bytes = as<Guid>(value, column).bytes;
        out.assign(bytes.begin(), bytes.end());
        break;
    }
    case ColumnType::Numeric: {
        const Numeric& number = as<Numeric>(value, column);
        out.push_back(number.negative ? format::numeric::kNegative : 0);
        for (std::uint32_t word : number.magnitude) appendU32(out, word);
        break;
    }
    case ColumnType::Text: out = textBytes(column, as<std::string>(value, column)); break;
    case ColumnType::Binary:
        out = as<Binary>(value, column);
        if (out.size() > column.length)
            throw std::runtime_error("The value for column " + column.name + " is longer than the column allows (" +
                                     std::to_string(column.length) + " bytes)");
        break;
    default: mismatch(column);
    }
    return out;
}

std::vector<std::uint8_t> longValueBytes(const Column& column, const Value& value) {
    if (column.type == ColumnType::Memo)
        return encodeStoredText(as<std::string>(value, column), column.isCompressedText());
    return as<Binary>(value, column);
}

}  // namespace

void requireTextFits(const Column& column, const std::string& text) {
    if (column.type == ColumnType::Text && utf16Length(text) * 2 > column.length)
        throw std::runtime_error("The value '" + text + "' is too long for column " + column.name + " (at most " +
                                 std::to_string(column.length / 2) + " characters)");
}

std::vector<std::uint8_t> packRow(const TableDef& def, const std::vector<Value>& values, LongValueWriter& longValues) {
    if (values.size() != def.columns.size())
        throw std::logic_error("a row with " + std::to_string(values.size()) + " values for a table of " +
                               std::to_string(def.columns.size()) + " columns");
    std::size_t columnCount = def.maxColumns;
    std::size_t fixedSize = 0;
    std::size_t variableCount = 0;
    for (const Column& column : def.columns) {
        columnCount = std::max<std::size_t>(columnCount, column.number + 1u);
        if (column.isFixedLength())
            fixedSize =
                std::max<std::size_t>(fixedSize, column.fixedOffset + fixedColumnSize(column.type, column.length));
        else
            variableCount = std::max<std::size_t>(variableCount, column.variableIndex + 1u);
    }

    std::vector<std::uint8_t> nullMask((columnCount + 7) / 8, 0);
    std::vector<std::uint8_t> row;
    appendU16(row, static_cast<std::uint16_t>(columnCount));
    row.resize(format::row::kColumnCountSize + fixedSize, 0);
    std::vector<std::vector<std::uint8_t>> variable(variableCount);
    std::vector<std::size_t> longColumns;

    for (std::size_t i = 0; i < def.columns.size(); ++i) {
        const Column& column = def.columns[i];
        const Value& value = values[i];
        bool present = !isNull(value);
        if (column.type == ColumnType::Boolean) present = present && as<bool>(value, column);
        if (present) nullMask[column.number / 8] |= static_cast<std::uint8_t>(1u << column.number % 8);
        if (!present || column.type == ColumnType::Boolean) continue;
        if (column.isLongValue()) {
            longColumns.push_back(i);
            continue;
        }
        std::vector<std::uint8_t> bytes = plainBytes(column, value);
        if (column.isFixedLength()) {
            bytes.resize(fixedColumnSize(column.type, column.length), 0);
            std::copy(bytes.begin(), bytes.end(), row.begin() + format::row::kColumnCountSize + column.fixedOffset);
        } else {
            variable[column.variableIndex] = std::move(bytes);
        }
    }

    // End-of-data offset, one offset per variable column, their count, the mask.
    std::size_t trailer = 2 + 2 * variableCount + 2 + nullMask.size();
    auto rowSize = [&] {
        std::size_t size = row.size() + trailer;
        for (const auto& bytes : variable) size += bytes.size();
        return size;
    };
    for (std::size_t i : longColumns) {
        const Column& column = def.columns[i];
        std::vector<std::uint8_t> bytes = longValueBytes(column, values[i]);
        std::size_t headerOnly = rowSize() + format::long_value::kHeaderSize;
        bool inlineAllowed = headerOnly + bytes.size() <= DataPageWriter::kMaxRowSize;
        variable[column.variableIndex] = longValues.store(bytes, inlineAllowed);
    }
    if (rowSize() > DataPageWriter::kMaxRowSize)
        throw std::runtime_error("A row of table " + def.name + " is " + std::to_string(rowSize()) +
                                 " bytes long, more than a page holds (" + std::to_string(DataPageWriter::kMaxRowSize) +
                                 ")");

    std::vector<std::uint16_t> offsets;
    for (const auto& bytes : variable) {
        offsets.push_back(static_cast<std::uint16_t>(row.size()));
        row.insert(row.end(), bytes.begin(), bytes.end());
    }
    appendU16(row, static_cast<std::uint16_t>(row.size()));
    for (std::size_t i = offsets.size(); i-- > 0;) appendU16(row, offsets[i]);
    appendU16(row, static_cast<std::uint16_t>(variableCount));
    row.insert(row.end(), nullMask.begin(), nullMask.end());
    return row;
}

}  // namespace kv::jet
