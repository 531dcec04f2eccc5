#include "data_access/provider_choice.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "data_access/access/access_provider.h"
#include "data_access/connection_string.h"
#include "data_access/excel_provider.h"
#include "data_access/sqlite_provider.h"
#include "data_access/text_fold.h"
#include "data_access/text_provider.h"
#include "jet/header.h"

namespace kv::data_access {
namespace {

std::string fileStart(const std::string& path, std::size_t size) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) throw std::runtime_error("File " + path + " not found");
    if (std::filesystem::is_directory(path, error)) throw std::runtime_error(path + " is a folder, not a file");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("Cannot open file " + path);
    std::string bytes(size, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

void requireExcelWorkbook(const std::string& path) {
    if (fileStart(path, 8) != std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))
        throw std::runtime_error(path + " is not an Excel workbook");
}

bool isSqliteDatabase(const std::string& path) { return fileStart(path, 16) == std::string("SQLite format 3\0", 16); }

// A file named as SQLite databases are named was taken for one, so its refusal says it is none.
bool namedAsSqliteDatabase(const std::string& path) {
    const std::string extension = foldCase(std::filesystem::path(path).extension().string());
    return extension == ".s3db" || extension == ".sqlite" || extension == ".sqlite3" || extension == ".db3";
}

void requireAccessDatabase(const std::string& path) {
    const std::string start = fileStart(path, jet::kDatabaseSignatureSize);
    auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(start.data()), start.size());
    if (jet::databaseSignature(bytes) == jet::DatabaseSignature::None)
        throw std::runtime_error(
            path + (namedAsSqliteDatabase(path) ? " is not a SQLite database" : " is not an Access database"));
}

}  // namespace

ProviderChoice chooseProvider(const std::string& connectionString) {
    auto settings = ConnectionString::parse(connectionString);
    auto dataSource = settings.value("Data Source");
    if (!dataSource || dataSource->empty())
        throw std::runtime_error("Connection string has no Data Source: " + connectionString);
    std::string properties = foldCase(settings.value("Extended Properties").value_or(""));
    ProviderKind kind = properties.starts_with("excel")  ? ProviderKind::Excel
                        : properties.starts_with("text") ? ProviderKind::Text
                                                         : ProviderKind::Access;
    return {kind, *dataSource};
}

std::unique_ptr<Provider> openProvider(const ProviderChoice& choice) {
    if (choice.kind != ProviderKind::Text && isSqliteDatabase(choice.dataSource))
        return openSqliteProvider(choice.dataSource);
    switch (choice.kind) {
    case ProviderKind::Excel: requireExcelWorkbook(choice.dataSource); return openExcelProvider(choice.dataSource);
    case ProviderKind::Text: return openTextProvider(choice.dataSource);
    case ProviderKind::Access: break;
    }
    requireAccessDatabase(choice.dataSource);
    return openAccessProvider(choice.dataSource);
}

}  // namespace kv::data_access
