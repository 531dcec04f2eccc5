#include "data_access/connection.h"

#include <stdexcept>

#include "data_access/cursor.h"
#include "data_access/memory_table.h"
#include "data_access/provider_choice.h"
#include "data_access/text_fold.h"

namespace kv::data_access {

Connection::~Connection() {
    try {
        close();
    } catch (...) {
        // Nobody is left to tell; a commit that matters runs in bulk work or at its post.
    }
}

void Connection::setConnectionString(std::string connectionString) {
    close();
    connectionString_ = std::move(connectionString);
}

void Connection::open() {
    if (!isOpen()) provider_ = openProvider(chooseProvider(connectionString_));
}

void Connection::open(std::unique_ptr<Provider> provider) {
    close();
    provider_ = std::move(provider);
}

void Connection::close() {
    std::string failure = commitAll();
    for (auto& [name, table] : tables_) table->detach();
    tables_.clear();
    provider_.reset();
    if (!failure.empty()) throw std::runtime_error(failure);
}

void Connection::listTables(Cursor& cursor) {
    open();
    std::vector<Row> rows;
    for (auto& name : provider_->tableNames()) {
        std::string type = foldCase(name).starts_with("msys") ? "SYSTEM TABLE" : "TABLE";
        rows.push_back({name, type});
    }
    auto listing = std::make_unique<MemoryTable>("The table list", std::vector<std::string>{"TABLE_NAME", "TABLE_TYPE"},
                                                 std::move(rows));
    cursor.openOn(std::make_shared<SharedTable>("Tables", std::move(listing)));
}

std::shared_ptr<SharedTable> Connection::table(const std::string& name) {
    open();
    std::string folded = foldCase(name);
    auto loaded = tables_.find(folded);
    if (loaded != tables_.end()) return loaded->second;
    auto table = std::make_shared<SharedTable>(name, provider_->openTable(name));
    table->setCommitDeferred(bulkDepth_ > 0);
    tables_.emplace(folded, table);
    return table;
}

void Connection::deferCommits() {
    if (bulkDepth_++ == 0)
        for (auto& [name, table] : tables_) table->setCommitDeferred(true);
}

void Connection::endDeferring() {
    if (--bulkDepth_ == 0)
        for (auto& [name, table] : tables_) table->setCommitDeferred(false);
}

void Connection::runAllOrNothing(const std::function<void()>& work) {
    deferCommits();
    try {
        work();
    } catch (...) {
        endDeferring();
        if (bulkDepth_ == 0)
            for (auto& [name, table] : tables_) table->discardPending();
        throw;
    }
    endDeferring();
    if (bulkDepth_ > 0) return;
    std::string failure = commitAll();
    if (!failure.empty()) throw std::runtime_error(failure);
}

void Connection::runBulkWork(const std::function<void()>& work) {
    deferCommits();
    auto finish = [this] {
        endDeferring();
        return bulkDepth_ > 0 ? std::string() : commitAll();
    };
    try {
        work();
    } catch (const std::exception& interruption) {
        std::string failure = finish();
        if (!failure.empty())
            throw std::runtime_error(std::string(interruption.what()) +
                                     "; besides, the rows posted so far were not saved: " + failure);
        throw;
    } catch (...) {
        std::string failure = finish();
        if (!failure.empty()) throw std::runtime_error("The rows posted so far were not saved: " + failure);
        throw;
    }
    std::string failure = finish();
    if (!failure.empty()) throw std::runtime_error(failure);
}

std::string Connection::commitAll() {
    std::string failures;
    for (auto& [name, table] : tables_) {
        try {
            table->commitPending();
        } catch (const std::exception& error) {
            failures += (failures.empty() ? "" : "; ") + std::string(error.what());
        }
    }
    return failures;
}

}  // namespace kv::data_access
