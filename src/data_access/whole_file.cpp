#include "data_access/whole_file.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kv::data_access {

std::string readWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("Cannot open file " + path.string());
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) throw std::runtime_error("Cannot read file " + path.string());
    return std::move(bytes).str();
}

}  // namespace kv::data_access
