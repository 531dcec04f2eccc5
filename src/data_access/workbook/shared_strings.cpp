#include "data_access/workbook/shared_strings.h"

#include "data_access/workbook/biff_string.h"

namespace kv::data_access::workbook {

std::vector<std::string> readSharedStrings(std::vector<jet::ByteView> parts) {
    ContinuedBytes bytes(std::move(parts));
    bytes.u32();  // the number of cells that use the table
    const std::uint32_t count = bytes.u32();
    std::vector<std::string> strings;
    while (strings.size() < count && !bytes.atEnd()) strings.push_back(readUnicodeString(bytes, CountSize::Word));
    return strings;
}

}  // namespace kv::data_access::workbook
