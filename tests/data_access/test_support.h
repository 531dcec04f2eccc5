#pragma once
// Helpers of the table access tests: temporary folders, generated files, and a writable table
// in memory whose commits the test can watch and make fail.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data_access/memory_table.h"

namespace kv::data_access::testing {

class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

void writeFile(const std::string& path, const std::string& bytes);
// The message of the runtime error `action` throws, or "no error".
std::string errorOf(const std::function<void()>& action);
std::string readFile(const std::string& path);

// Runs a Python script with the system's Python (where xlwt and xlrd live); returns its output.
std::string runPython(const std::string& script, const std::vector<std::string>& arguments);

// Writes a workbook with make_workbook.py; each sheet is (name, CSV text).
void makeWorkbook(const std::string& path, const std::vector<std::pair<std::string, std::string>>& sheets);

// What happened to a WritableTable, kept apart from it because the connection owns the table.
struct CommitLog {
    int commits = 0;
    std::vector<Row> lastRows;
    bool failNextCommit = false;
};

class WritableTable : public MemoryTable {
public:
    WritableTable(std::vector<std::string> columns, std::vector<Row> rows, std::vector<IndexInfo> indexes,
                  std::shared_ptr<CommitLog> log);
    Value convert(std::size_t column, const Value& value) const override;
    std::vector<std::size_t> commit(const TableChanges& changes) override;

private:
    std::shared_ptr<CommitLog> log_;
};

// A provider of WritableTables made by `makeTable(name)`.
class WritableProvider : public Provider {
public:
    struct Definition {
        std::string name;
        std::vector<std::string> columns;
        std::vector<Row> rows;
        std::vector<IndexInfo> indexes;
        std::shared_ptr<CommitLog> log = std::make_shared<CommitLog>();
    };
    explicit WritableProvider(std::vector<Definition> tables) : tables_(std::move(tables)) {}
    std::vector<std::string> tableNames() override;
    std::unique_ptr<ProviderTable> openTable(const std::string& name) override;

private:
    std::vector<Definition> tables_;
};

}  // namespace kv::data_access::testing
