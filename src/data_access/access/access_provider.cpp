#include "data_access/access/access_provider.h"

#include <stdexcept>

namespace kv::data_access {

// Placeholder until the Jet engine's reader is connected.
std::unique_ptr<Provider> openAccessProvider(const std::string& path) {
    throw std::runtime_error("Cannot open " + path + ": Access databases are not supported yet");
}

} // namespace kv::data_access
