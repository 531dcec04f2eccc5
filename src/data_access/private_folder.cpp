#include "data_access/private_folder.h"

#include <cerrno>
#include <stdexcept>
#include <system_error>

#include "jet/platform_file.h"

namespace kv::data_access {

namespace fs = std::filesystem;

PrivateFolder::PrivateFolder(const std::string& prefix) {
    std::error_code error;
    const fs::path temporary = fs::temp_directory_path(error);
    if (error) throw std::runtime_error("There is no temporary folder to work in: " + error.message());
    std::string name = (temporary / (prefix + "XXXXXX")).string();
    if (!jet::platform_file::makeUniqueFolder(name))
        throw std::runtime_error("Cannot make a folder in " + temporary.string() + ": " +
                                 std::generic_category().message(errno));
    path_ = name;
}

PrivateFolder::~PrivateFolder() {
    std::error_code ignored;  // a folder left behind in the temporary folder harms no one
    fs::remove_all(path_, ignored);
}

}  // namespace kv::data_access
