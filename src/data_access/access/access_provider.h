#pragma once
#include <memory>
#include <string>

#include "data_access/provider.h"

namespace kv::data_access {

// Opens an Access (Jet 4) database file. Throws with a message that names what the file is when
// it is not one we can open.
std::unique_ptr<Provider> openAccessProvider(const std::string& path);

}  // namespace kv::data_access
