#include "jet/table_snapshot.h"

#include <algorithm>

#include "jet/data_page.h"
#include "jet/usage_map.h"
#include "jet/usage_map_writer.h"

namespace kv::jet {
namespace {

bool samePage(const PageFile& before, const PageFile& now, std::uint32_t page) {
    if (page >= before.pageCount() || page >= now.pageCount())
        return page >= before.pageCount() && page >= now.pageCount();
    auto a = before.page(page).bytes();
    auto b = now.page(page).bytes();
    if (a.data() == b.data()) return true;  // a page the later read shares with the earlier one
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

// The map's own row is compared, not its page: the rows of other tables' maps may share it.
bool sameMapRow(const PageFile& before, const PageFile& now, std::uint32_t pointer) {
    RowLocation location = RowLocation::fromPointer(pointer);
    if (location.page >= now.pageCount()) return false;
    RowSlot a = rowSlot(before.page(location.page), location.row);
    ByteView nowPage = now.page(location.page);
    if (location.row >= rowCount(nowPage)) return false;
    RowSlot b = rowSlot(nowPage, location.row);
    auto x = a.bytes.bytes();
    auto y = b.bytes.bytes();
    return a.deleted == b.deleted && std::equal(x.begin(), x.end(), y.begin(), y.end());
}

bool sameMapAndPages(const PageFile& before, const PageFile& now, std::uint32_t pointer) {
    if (pointer == 0) return true;
    if (!sameMapRow(before, now, pointer)) return false;
    for (std::uint32_t page : referencedMapPages(before, pointer))
        if (!samePage(before, now, page)) return false;
    for (std::uint32_t page : readUsageMap(before, pointer))
        if (!samePage(before, now, page)) return false;
    return true;
}

}  // namespace

bool sameTablePages(const PageFile& before, const PageFile& now, const TableDef& def) {
    for (std::uint32_t page = def.page; page != 0; page = before.page(page).u32(format::tdef::kNextPageOffset))
        if (!samePage(before, now, page)) return false;
    if (!sameMapAndPages(before, now, def.ownedPagesMap)) return false;
    if (def.freeSpaceMap != 0 && !sameMapRow(before, now, def.freeSpaceMap)) return false;
    return std::all_of(def.realIndexes.begin(), def.realIndexes.end(),
                       [&](const RealIndex& index) { return sameMapAndPages(before, now, index.ownedPagesMap); });
}

}  // namespace kv::jet
