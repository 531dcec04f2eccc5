#pragma once
// Where the rows of a small commit go. A changed row stays on its page while the page holds it;
// a new row (or one that outgrew its page) goes to the page being filled, then to the first page
// of the table with room for it, then to a new page. Only pages whose rows changed are written.

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "jet/data_page.h"
#include "jet/data_page_edit.h"
#include "jet/page_allocator.h"
#include "jet/page_file.h"
#include "jet/table_def.h"

namespace kv::jet {

class RowPlacement {
public:
    // Throws NeedsRebuild for a table with moved rows.
    RowPlacement(const PageFile& file, const TableDef& def, PageAllocator& allocator);

    void remove(RowLocation row);
    // False, changing nothing, when the row's page cannot hold its new bytes.
    bool replace(RowLocation row, std::vector<std::uint8_t> bytes);
    RowLocation add(std::vector<std::uint8_t> bytes);

    struct Pages {
        std::vector<std::uint32_t> taken;  // new data pages of the table
        std::vector<std::uint32_t> freed;  // data pages left without rows, blanked
    };
    // Puts the images of the pages changed into `images`.
    Pages write(PageImages& images) const;

private:
    DataPageEdit& edit(std::uint32_t page);

    const PageFile& file_;
    const TableDef& def_;
    PageAllocator& allocator_;
    std::map<std::uint32_t, DataPageEdit> edits_;
    std::vector<std::uint32_t> withRoom_;  // the table's pages that had free space, ascending
    std::size_t nextWithRoom_ = 0;
    std::optional<std::uint32_t> filling_;
    std::vector<std::uint32_t> taken_;
};

}  // namespace kv::jet
