#include "history_db/compact_history_database.h"

#include "data_access/compaction.h"

#include <exception>
#include <filesystem>

namespace kv::history_db {
namespace {

std::string accessConnectionString(const std::string& path) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path + ";";
}

}  // namespace

void CompactHistoryDatabase(ui::Ui& ui, const std::string& path) {
    namespace fs = std::filesystem;
    if (!fs::exists(fs::path(path))) {
        ui.showMessageBox(path + " not found", ui::BoxKind::Error, ui::BoxButtons::Ok);
        return;
    }
    const std::string compacted = (fs::path(path).parent_path() / kCompactedFileName).string();
    fs::remove(fs::path(compacted));

    try {
        data_access::compactDatabase(accessConnectionString(path),
                                     accessConnectionString(compacted) + "Jet OLEDB:Engine Type=5");
        data_access::replaceDatabaseFile(compacted, path);
    } catch (const std::exception& error) {
        std::error_code ignored;
        fs::remove(fs::path(compacted), ignored);
        ui.showMessageBox(std::string("Error: ") + error.what(), ui::BoxKind::Error, ui::BoxButtons::Ok);
    }
}

}  // namespace kv::history_db
