#include "data_access/workbook/biff_string.h"

#include "data_access/workbook/workbook_damage.h"
#include "jet/utf8.h"

namespace kv::data_access::workbook {
namespace {

constexpr std::uint8_t kUncompressed = 0x01;
constexpr std::uint8_t kHasExtendedData = 0x04;
constexpr std::uint8_t kHasRichText = 0x08;
constexpr std::size_t kRichTextRunSize = 4;
constexpr char32_t kReplacement = 0xFFFD;

bool isHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

ContinuedBytes::ContinuedBytes(std::vector<jet::ByteView> parts) : parts_(std::move(parts)) {}

bool ContinuedBytes::haveByte() {
    while (part_ < parts_.size() && offset_ == parts_[part_].size()) {
        ++part_;
        offset_ = 0;
    }
    return part_ < parts_.size();
}

bool ContinuedBytes::atEnd() { return !haveByte(); }

std::uint8_t ContinuedBytes::u8() {
    if (!haveByte()) throw WorkbookDamage("a string or count runs past the end of its record");
    return parts_[part_].u8(offset_++);
}

std::uint16_t ContinuedBytes::u16() {
    const std::uint16_t low = u8();
    return static_cast<std::uint16_t>(low | u8() << 8);
}

std::uint32_t ContinuedBytes::u32() {
    const std::uint32_t low = u16();
    return low | static_cast<std::uint32_t>(u16()) << 16;
}

void ContinuedBytes::skip(std::size_t count) {
    while (count > 0) {
        if (!haveByte()) throw WorkbookDamage("a string's formatting runs past the end of its record");
        const std::size_t step = std::min(count, parts_[part_].size() - offset_);
        offset_ += step;
        count -= step;
    }
}

std::uint16_t ContinuedBytes::codeUnit(bool compressed) {
    if (compressed) return u8();
    if (parts_[part_].size() - offset_ < 2) throw WorkbookDamage("a character is split between two records");
    const std::uint16_t unit = parts_[part_].u16(offset_);
    offset_ += 2;
    return unit;
}

std::string ContinuedBytes::characters(std::size_t count, bool compressed) {
    std::string text;
    char32_t pendingHigh = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (!haveByte()) throw WorkbookDamage("a string's characters run past the end of its record");
        if (offset_ == 0 && part_ > 0) compressed = (u8() & kUncompressed) == 0;  // a CONTINUE record starts
        if (!haveByte()) throw WorkbookDamage("a string's characters run past the end of its record");
        const char32_t unit = codeUnit(compressed);
        if (pendingHigh && isLowSurrogate(unit)) {
            jet::appendUtf8(text, 0x10000 + ((pendingHigh - 0xD800) << 10) + (unit - 0xDC00));
            pendingHigh = 0;
            continue;
        }
        if (pendingHigh) jet::appendUtf8(text, kReplacement);
        pendingHigh = 0;
        if (isHighSurrogate(unit))
            pendingHigh = unit;
        else
            jet::appendUtf8(text, isLowSurrogate(unit) ? kReplacement : unit);
    }
    if (pendingHigh) jet::appendUtf8(text, kReplacement);
    return text;
}

std::string readUnicodeString(ContinuedBytes& bytes, CountSize countSize) {
    const std::size_t count = countSize == CountSize::Word ? bytes.u16() : bytes.u8();
    const std::uint8_t options = bytes.u8();
    const std::size_t runs = options & kHasRichText ? bytes.u16() : 0;
    const std::size_t extended = options & kHasExtendedData ? bytes.u32() : 0;
    std::string text = bytes.characters(count, (options & kUncompressed) == 0);
    bytes.skip(runs * kRichTextRunSize);
    bytes.skip(extended);
    return text;
}

std::string readUnicodeString(const jet::ByteView& body, std::size_t offset, CountSize countSize) {
    ContinuedBytes bytes({body.sub(offset, body.size() - std::min(offset, body.size()))});
    return readUnicodeString(bytes, countSize);
}

}  // namespace kv::data_access::workbook
