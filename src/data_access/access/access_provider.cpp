#include "data_access/access/access_provider.h"

#include "data_access/access/access_table.h"
#include "jet/committed_read.h"
#include "jet/database.h"

namespace kv::data_access {
namespace {

std::shared_ptr<const jet::Database> openCommitted(const std::string& path) {
    return std::make_shared<const jet::Database>(jet::readCommittedFile(path));
}

class AccessProvider : public Provider {
public:
    explicit AccessProvider(const std::string& path) : database_(openCommitted(path)) {}

    std::vector<std::string> tableNames() override {
        std::vector<std::string> names;
        for (const auto& table : database_->tables()) names.push_back(table.name);
        return names;
    }

    std::unique_ptr<ProviderTable> openTable(const std::string& name) override {
        return std::make_unique<AccessTable>(database_, database_->table(name));
    }

private:
    std::shared_ptr<const jet::Database> database_;
};

}  // namespace

std::unique_ptr<Provider> openAccessProvider(const std::string& path) { return std::make_unique<AccessProvider>(path); }

}  // namespace kv::data_access
