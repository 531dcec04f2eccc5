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

// Appends the bytes of a value that has no long-value storage.
void appendPlainBytes(std::vector<std::uint8_t>& out, const Column& column, const Value& value) {
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
        out.insert(out.end(), bytes.begin(), bytes.end());
        break;
    }
    case ColumnType::Numeric: {
        const Numeric& number = as<Numeric>(value, column);
        out.push_back(number.negative ? format::numeric::kNegative : 0);
        for (std::uint32_t word : number.magnitude) appendU32(out, word);
        break;
    }
    case ColumnType::Text: {
        const std::string& text = as<std::string>(value, column);
        requireTextFits(column, text);
        appendStoredText(out, text, column.isCompressedText());
        break;
    }
    case ColumnType::Binary: {
        const Binary& bytes = as<Binary>(value, column);
        if (bytes.size() > column.length)
            throw std::runtime_error("The value for column " + column.name + " is longer than the column allows (" +
                                     std::to_string(column.length) + " bytes)");
        out.insert(out.end(), bytes.begin(), bytes.end());
        break;
    }
    default: mismatch(column);
    }
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

RowPacker::RowPacker(const TableDef& def) : def_(def), columnCount_(def.maxColumns) {
    for (const Column& column : def.columns) {
        columnCount_ = std::max<std::size_t>(columnCount_, column.number + 1u);
        if (column.isFixedLength())
            fixedSize_ =
                std::max<std::size_t>(fixedSize_, column.fixedOffset + fixedColumnSize(column.type, column.length));
        else
            variableCount_ = std::max<std::size_t>(variableCount_, column.variableIndex + 1u);
    }
}

std::vector<std::uint8_t> RowPacker::pack(const std::vector<Value>& values, LongValueWriter* longValues) {
    std::vector<std::uint8_t> row;
    pack(values, longValues, row);
    return row;
}

void RowPacker::pack(const std::vector<Value>& values, LongValueWriter* longValues, std::vector<std::uint8_t>& row) {
    if (values.size() != def_.columns.size())
        throw std::logic_error("a row with " + std::to_string(values.size()) + " values for a table of " +
                               std::to_string(def_.columns.size()) + " columns");
    nullMask_.assign((columnCount_ + 7) / 8, 0);
    row.clear();
    row.reserve(format::row::kColumnCountSize + fixedSize_ + 16 * variableCount_);
    appendU16(row, static_cast<std::uint16_t>(columnCount_));
    row.resize(format::row::kColumnCountSize + fixedSize_, 0);
    variableBytes_.clear();
    variableSpans_.assign(variableCount_, {0, 0});
    longColumns_.clear();

    for (std::size_t i = 0; i < def_.columns.size(); ++i) {
        const Column& column = def_.columns[i];
        const Value& value = values[i];
        bool present = !isNull(value);
        if (column.type == ColumnType::Boolean) present = present && as<bool>(value, column);
        if (present) nullMask_[column.number / 8] |= static_cast<std::uint8_t>(1u << column.number % 8);
        if (!present || column.type == ColumnType::Boolean) continue;
        if (column.isLongValue()) {
            longColumns_.push_back(i);
            continue;
        }
        const std::size_t start = variableBytes_.size();
        appendPlainBytes(variableBytes_, column, value);
        if (column.isFixedLength()) {
            const std::size_t size =
                std::min(variableBytes_.size() - start, fixedColumnSize(column.type, column.length));
            std::copy_n(variableBytes_.begin() + static_cast<std::ptrdiff_t>(start), size,
                        row.begin() + static_cast<std::ptrdiff_t>(format::row::kColumnCountSize + column.fixedOffset));
            variableBytes_.resize(start);
        } else {
            variableSpans_[column.variableIndex] = {start, variableBytes_.size() - start};
        }
    }

    // End-of-data offset, one offset per variable column, their count, the mask.
    const std::size_t trailer = 2 + 2 * variableCount_ + 2 + nullMask_.size();
    std::vector<std::pair<std::size_t, std::vector<std::uint8_t>>> longBytes;  // variable index, bytes
    std::size_t rowSize = row.size() + variableBytes_.size() + trailer;
    for (std::size_t i : longColumns_) {
        const Column& column = def_.columns[i];
        std::vector<std::uint8_t> bytes = longValueBytes(column, values[i]);
        bool inlineAllowed = rowSize + format::long_value::kHeaderSize + bytes.size() <= DataPageWriter::kMaxRowSize;
        if (!longValues)
            throw std::logic_error("a row of table " + def_.name + " with a long value and no writer for it");
        longBytes.emplace_back(column.variableIndex, longValues->store(bytes, inlineAllowed));
        rowSize += longBytes.back().second.size();
    }
    if (rowSize > DataPageWriter::kMaxRowSize)
        throw std::runtime_error("A row of table " + def_.name + " is " + std::to_string(rowSize) +
                                 " bytes long, more than a page holds (" + std::to_string(DataPageWriter::kMaxRowSize) +
                                 ")");

    row.reserve(rowSize);
    offsets_.assign(variableCount_, 0);
    for (std::size_t v = 0; v < variableCount_; ++v) {
        offsets_[v] = static_cast<std::uint16_t>(row.size());
        auto stored =
            std::find_if(longBytes.begin(), longBytes.end(), [&](const auto& entry) { return entry.first == v; });
        if (stored != longBytes.end()) {
            row.insert(row.end(), stored->second.begin(), stored->second.end());
        } else {
            const auto begin = variableBytes_.begin() + static_cast<std::ptrdiff_t>(variableSpans_[v].first);
            row.insert(row.end(), begin, begin + static_cast<std::ptrdiff_t>(variableSpans_[v].second));
        }
    }
    appendU16(row, static_cast<std::uint16_t>(row.size()));
    for (std::size_t i = offsets_.size(); i-- > 0;) appendU16(row, offsets_[i]);
    appendU16(row, static_cast<std::uint16_t>(variableCount_));
    row.insert(row.end(), nullMask_.begin(), nullMask_.end());
}

}  // namespace kv::jet
