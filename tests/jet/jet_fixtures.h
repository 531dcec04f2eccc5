#pragma once
// The Jet 4 fixture files, and copies of them to change in a temporary directory.

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace kv::jet::testing {

inline std::filesystem::path jet4Fixtures() { return std::filesystem::path(KV_FIXTURES_DIR) / "jet4"; }

inline std::vector<std::filesystem::path> allJet4Fixtures() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(jet4Fixtures()))
        if (entry.path().extension() == ".mdb") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

inline std::string fixture(const std::string& name) { return (jet4Fixtures() / name).string(); }

inline std::vector<std::uint8_t> fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Writes `bytes` to a file in the test's own temporary directory and returns its path.
inline std::string writeTemporary(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    auto dir = std::filesystem::temp_directory_path() / ("kv_jet_tests_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    auto path = dir / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

}  // namespace kv::jet::testing
