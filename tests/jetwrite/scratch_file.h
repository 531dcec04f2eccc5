#pragma once
// Test helpers: a private folder with a copy of a fixture to change, and the output of the
// independent reader mdb-export.

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>

#include <unistd.h>

#include "../jet/jet_fixtures.h"

namespace kv::jet::testing {

class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kv-jetwrite-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
        path_ = pattern;
    }
    ~ScratchFolder() { std::filesystem::remove_all(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // A writable copy of the fixture in this folder.
    std::string copyOf(const std::string& fixtureName) const {
        std::filesystem::path target = path_ / fixtureName;
        std::filesystem::copy_file(fixture(fixtureName), target, std::filesystem::copy_options::overwrite_existing);
        std::filesystem::permissions(target, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
        return target.string();
    }

private:
    std::filesystem::path path_;
};

// Standard output of a shell command; throws when it fails.
inline std::string run(const std::string& command) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) throw std::runtime_error("cannot run " + command);
    std::string out;
    char buffer[65536];
    while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    if (pclose(pipe) != 0) throw std::runtime_error("failed: " + command);
    return out;
}

inline std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

inline std::string mdbExport(const std::string& file, const std::string& table) {
    return run("mdb-export " + quoted(file) + " " + quoted(table));
}

}  // namespace kv::jet::testing
