#include "history_db/copy_whole_file.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace kv::history_db {

void CopyWholeFile(const std::string& source, const std::string& target) {
    namespace fs = std::filesystem;
    std::ifstream in(fs::path(source), std::ios::binary);
    if (!in || fs::is_directory(fs::path(source))) throw std::runtime_error("Cannot open file " + source);

    const fs::path finalPath = fs::path(target);
    fs::path partial = finalPath;
    partial += ".partial";
    auto fail = [&](const std::string& cause) {
        std::error_code ignored;
        fs::remove(partial, ignored);
        throw std::runtime_error("Cannot create file " + target + (cause.empty() ? "" : ": " + cause));
    };

    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        if (!out) fail(std::error_code(errno, std::generic_category()).message());
        std::vector<char> buffer(1 << 16);
        while (in && out) {
            in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            out.write(buffer.data(), in.gcount());
        }
        if (in.bad()) fail("cannot read " + source);
        out.flush();
        if (!out) fail(std::error_code(errno, std::generic_category()).message());
    }
    std::error_code error;
    fs::rename(partial, finalPath, error);
    if (error) fail(error.message());
}

} // namespace kv::history_db
