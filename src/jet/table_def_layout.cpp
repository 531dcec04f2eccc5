#include "jet/table_def_layout.h"

#include <algorithm>
#include <stdexcept>

#include "jet/usage_map_writer.h"

namespace kv::jet {
namespace {
namespace td = format::tdef;
}

std::size_t realIndexDefinitionOffset(const TableDef& def, std::size_t index) {
    ByteView view(def.raw, "definition of table " + def.name);
    std::size_t offset = td::kRealIndexBlocksOffset + def.realIndexes.size() * td::kRealIndexBlockSize +
                         def.columns.size() * td::kColumnEntrySize;
    for (std::size_t i = 0; i < def.columns.size(); ++i) offset += 2 + view.u16(offset);
    return offset + index * td::kRealIndexSize;
}

void writeTableDefinition(const PageFile& file, const TableDef& def, const std::vector<std::uint8_t>& raw,
                          PageImages& images) {
    std::size_t done = 0;
    for (std::uint32_t page = def.page; page != 0 && done < raw.size();) {
        std::vector<std::uint8_t>& image = pageImage(file, page, images);
        std::size_t start = page == def.page ? 0 : td::kContinuationHeaderSize;
        std::size_t take = std::min(format::kPageSize - start, raw.size() - done);
        std::copy_n(raw.begin() + static_cast<std::ptrdiff_t>(done), take,
                    image.begin() + static_cast<std::ptrdiff_t>(start));
        done += take;
        page = ByteView(image, file.path()).u32(td::kNextPageOffset);
    }
    if (done != raw.size()) throw std::logic_error("a table definition longer than its pages");
}

}  // namespace kv::jet
