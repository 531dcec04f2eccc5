// The property list that MSysObjects keeps in LvProp for a table: "MR2\0", a block of property
// names, a block for the table itself, then one block per column that has properties. Each property
// is a record of its length, a flag byte, a data type, the index of its name and its value.

#include <array>

#include "jet/byte_writer.h"
#include "jet/table_def_builder.h"
#include "jet/text_encoder.h"

namespace kv::jet {
namespace {

constexpr std::array<std::uint8_t, 4> kPropertiesMark = {'M', 'R', '2', '\0'};
constexpr std::uint16_t kNamesBlock = 0x80;
constexpr std::uint16_t kObjectBlock = 0x00;
constexpr std::uint16_t kColumnBlock = 0x01;
constexpr std::uint8_t kDdlFlag = 0x01;  // as Access writes "Required"
constexpr std::uint8_t kBooleanProperty = 0x01;
constexpr std::uint16_t kRequiredName = 0;  // index in the names block
constexpr std::uint8_t kTrue = 0x01;

std::vector<std::uint8_t> utf16Bytes(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    for (char16_t unit : utf8ToUtf16(text)) appendU16(bytes, unit);
    return bytes;
}

void appendBlock(std::vector<std::uint8_t>& out, std::uint16_t type, const std::vector<std::uint8_t>& body) {
    appendU32(out, static_cast<std::uint32_t>(body.size() + 6));
    appendU16(out, type);
    out.insert(out.end(), body.begin(), body.end());
}

// The start of a table's or column's block: the length of this header, then the object's name.
std::vector<std::uint8_t> objectHeader(const std::string& name) {
    std::vector<std::uint8_t> name16 = utf16Bytes(name);
    std::vector<std::uint8_t> body;
    appendU32(body, static_cast<std::uint32_t>(6 + name16.size()));
    appendU16(body, static_cast<std::uint16_t>(name16.size()));
    body.insert(body.end(), name16.begin(), name16.end());
    return body;
}

}  // namespace

std::vector<std::uint8_t> tableProperties(const TableDesign& design) {
    if (!design.properties.empty()) return design.properties;
    bool anyRequired = false;
    for (const auto& column : design.columns) anyRequired |= column.required;
    if (!anyRequired) return {};

    std::vector<std::uint8_t> out(kPropertiesMark.begin(), kPropertiesMark.end());
    std::vector<std::uint8_t> names;
    std::vector<std::uint8_t> required = utf16Bytes("Required");
    appendU16(names, static_cast<std::uint16_t>(required.size()));
    names.insert(names.end(), required.begin(), required.end());
    appendBlock(out, kNamesBlock, names);
    appendBlock(out, kObjectBlock, objectHeader(design.name));
    for (const auto& column : design.columns) {
        if (!column.required) continue;
        std::vector<std::uint8_t> body = objectHeader(column.name);
        appendU16(body, 9);  // this record's length: 8 bytes of header and the 1-byte value
        body.push_back(kDdlFlag);
        body.push_back(kBooleanProperty);
        appendU16(body, kRequiredName);
        appendU16(body, 1);
        body.push_back(kTrue);
        appendBlock(out, kColumnBlock, body);
    }
    return out;
}

}  // namespace kv::jet
