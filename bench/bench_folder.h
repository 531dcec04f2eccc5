#pragma once
// Where a benchmark program writes its files and finds the program's own beside it.

#include <filesystem>

namespace kv::bench {

// The folder a benchmark writes into, made if missing: its first argument, or `name` in the
// system's temporary folder.
inline std::filesystem::path benchFolder(int argc, char** argv, const char* name) {
    const std::filesystem::path folder =
        argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directories(folder);
    return folder;
}

// This executable's folder, which holds mapping.xls and kestrovane_mdb.template beside it.
inline std::filesystem::path programDirectory() { return std::filesystem::canonical("/proc/self/exe").parent_path(); }

}  // namespace kv::bench
