#include "cli/listing.h"

#include "import/joined_names.h"

namespace kv::cli {

std::string joined(const std::vector<std::string>& names) {
    return names.empty() ? "none" : import::joinedNames(names);
}

}  // namespace kv::cli
