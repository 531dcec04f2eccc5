#include "test_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "data_access/text_fold.h"

namespace kv::data_access::testing {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kv_data_access_XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern;
}

std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "no error";
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string runPython(const std::string& script, const std::vector<std::string>& arguments) {
    std::string command = std::string("'") + KV_PYTHON + "' -c '" + script + "'";
    for (const auto& argument : arguments) command += " '" + argument + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) throw std::runtime_error("cannot run " + command);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    if (pclose(pipe) != 0) throw std::runtime_error("Python failed: " + command);
    return output;
}

void makeWorkbook(const std::string& path, const std::vector<std::pair<std::string, std::string>>& sheets) {
    std::string command = std::string("'") + KV_PYTHON + "' '" + KV_MAKE_WORKBOOK + "' '" + path + "'";
    for (const auto& [name, csv] : sheets) {
        std::string source = path + "." + name + ".csv";
        writeFile(source, csv);
        command += " '" + name + "=" + source + "'";
    }
    if (std::system(command.c_str()) != 0) throw std::runtime_error("make_workbook.py failed: " + command);
}

WritableTable::WritableTable(std::vector<std::string> columns, std::vector<Row> rows, std::vector<IndexInfo> indexes,
                             std::shared_ptr<CommitLog> log)
    : MemoryTable("test table", std::move(columns), std::move(rows), std::move(indexes)), log_(std::move(log)) {}

Value WritableTable::convert(std::size_t, const Value& value) const {
    if (value && *value == "not a value") throw std::runtime_error("value refused");
    return value;
}

std::vector<std::size_t> WritableTable::commit(const TableChanges& changes) {
    if (log_->failNextCommit) {
        log_->failNextCommit = false;
        throw std::runtime_error("disk full");
    }
    ++log_->commits;
    std::vector<Row> rows;
    Row row;
    std::size_t nextRemoved = 0, nextPosted = 0;
    for (std::size_t position = 0; position < rowCount(); ++position) {
        if (nextRemoved < changes.removed.size() && changes.removed[nextRemoved] == position) {
            ++nextRemoved;
            continue;
        }
        if (nextPosted < changes.posted.size() && changes.posted[nextPosted] == position)
            changes.readChange(nextPosted++, row);
        else
            readRow(position, row);
        rows.push_back(row);
    }
    for (std::size_t k = 0; k < changes.added; ++k) {
        changes.readChange(changes.posted.size() + k, row);
        rows.push_back(row);
    }
    log_->lastRows = rows;
    replaceRows(rows);
    return {};
}

std::vector<std::string> WritableProvider::tableNames() {
    std::vector<std::string> names;
    for (const auto& table : tables_) names.push_back(table.name);
    return names;
}

std::unique_ptr<ProviderTable> WritableProvider::openTable(const std::string& name) {
    for (const auto& table : tables_)
        if (equalIgnoringCase(table.name, name))
            return std::make_unique<WritableTable>(table.columns, table.rows, table.indexes, table.log);
    throw std::runtime_error("no table " + name);
}

}  // namespace kv::data_access::testing
