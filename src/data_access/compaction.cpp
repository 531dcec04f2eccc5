#include "data_access/compaction.h"

#include <stdexcept>

#include "data_access/provider_choice.h"
#include "jet/compactor.h"

namespace kv::data_access {

void compactDatabase(const std::string& connectionString) {
    ProviderChoice choice = chooseProvider(connectionString);
    if (choice.kind != ProviderKind::Access)
        throw std::runtime_error("Only an Access database can be compacted: " + connectionString);
    jet::compactInPlace(choice.dataSource);
}

}  // namespace kv::data_access
