// libFuzzer target: reads the input as an Excel 8.0 workbook, every sheet's cells. Any outcome but
// a WorkbookDamage, a WorkbookProtected or success is a bug.

#include <cstddef>
#include <cstdint>

#include "data_access/workbook/workbook_damage.h"
#include "data_access/workbook/workbook_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace workbook = kv::data_access::workbook;
    try {
        workbook::readWorkbook({data, size});
    } catch (const workbook::WorkbookDamage&) {
    } catch (const workbook::WorkbookProtected&) {
    }
    return 0;
}
