#include "history_db/copy_whole_file.h"

#include "data_access/file_replacement.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace kv::history_db {

void CopyWholeFile(const std::string& source, const std::string& target, CopyPermissions permissions,
                   const std::function<void()>& beforeReplacing) {
    std::ifstream in(source, std::ios::binary);
    if (!in || std::filesystem::is_directory(source)) throw std::runtime_error("Cannot open file " + source);
    try {
        data_access::FileReplacement copy(target, permissions == CopyPermissions::OfSource
                                                      ? data_access::FileReplacement::permissionsOf(source)
                                                      : std::nullopt);
        std::vector<char> buffer(1 << 16);
        while (in) {
            in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            copy.write(std::string_view(buffer.data(), static_cast<std::size_t>(in.gcount())));
        }
        if (in.bad()) throw std::runtime_error("Cannot read file " + source);
        if (beforeReplacing) beforeReplacing();
        copy.commit();
    } catch (const data_access::FileError& error) {
        throw std::runtime_error("Cannot create file " + target + ": " + std::generic_category().message(error.code()));
    }
}

}  // namespace kv::history_db
