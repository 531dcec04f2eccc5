#pragma once
// A list of names in a message: "NAQP, SS, FD", or "none".

#include <string>
#include <vector>

namespace kv::cli {

std::string joined(const std::vector<std::string>& names);

}  // namespace kv::cli
