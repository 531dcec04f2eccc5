#include "import/regular_file.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace kv::import {

void requireRegularFile(const std::string& chosen) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(chosen, error);
    if (fs::is_regular_file(status)) return;
    if (!fs::exists(status)) throw std::runtime_error("Cannot open file " + chosen);
    const char* kind = fs::is_directory(status)                                     ? "a folder"
                       : fs::is_fifo(status)                                        ? "a pipe"
                       : fs::is_character_file(status) || fs::is_block_file(status) ? "a device"
                                                                                    : "not a regular file";
    throw std::runtime_error(chosen + " is " + kind + "; choose a call-history text file");
}

}  // namespace kv::import
