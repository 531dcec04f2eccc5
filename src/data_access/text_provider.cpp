#include "data_access/text_provider.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "data_access/csv_reader.h"
#include "data_access/field_separator.h"
#include "data_access/memory_table.h"
#include "data_access/text_encoding.h"
#include "data_access/text_fold.h"
#include "data_access/whole_file.h"

namespace kv::data_access {
namespace {

namespace fs = std::filesystem;

// No call-history file comes near these: 14 fields the logger knows, lines of a hundred bytes.
constexpr RecordLimits kLineLimits{.fields = 64, .bytes = 64 * 1024};

// Rows are kept as short as their lines: a cell past a row's end reads as NULL.
std::unique_ptr<ProviderTable> loadTextTable(const fs::path& path) {
    std::string fileName = path.string();
    const std::string text = decodeTextFile(readWholeFile(path), fileName);
    requireCommaSeparated(text, fileName);
    std::vector<Row> records = readCommaDelimited(text, fileName, Blanks::Dropped, kLineLimits);
    std::size_t width = 0;
    for (const auto& record : records) width = std::max(width, record.size());
    std::vector<std::string> columns;
    for (std::size_t k = 1; k <= width; ++k) columns.push_back("field" + std::to_string(k));
    std::vector<Row> rows;
    if (!records.empty())
        rows.assign(std::make_move_iterator(records.begin() + 1), std::make_move_iterator(records.end()));
    return std::make_unique<MemoryTable>(fileName, std::move(columns), std::move(rows));
}

class TextFolderProvider : public Provider {
public:
    explicit TextFolderProvider(fs::path folder) : folder_(std::move(folder)) {}

    std::vector<std::string> tableNames() override {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_))
            if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // The folder may hold names that differ only in letter case; an exact match wins.
    std::unique_ptr<ProviderTable> openTable(const std::string& name) override {
        if (fs::is_regular_file(folder_ / name)) return loadTextTable(folder_ / name);
        for (const auto& fileName : tableNames())
            if (equalIgnoringCase(fileName, name)) return loadTextTable(folder_ / fileName);
        throw std::runtime_error("Text file " + (folder_ / name).string() + " not found");
    }

private:
    fs::path folder_;
};

}  // namespace

std::unique_ptr<Provider> openTextProvider(const std::string& folder) {
    std::error_code error;
    if (!fs::is_directory(folder, error)) throw std::runtime_error("Text data source " + folder + " is not a folder");
    return std::make_unique<TextFolderProvider>(folder);
}

}  // namespace kv::data_access
