#pragma once
// A folder of this process's own in the user's temporary folder (TMPDIR, or the system's): made
// with mode 0700 under a name no other user can predict or take first, and removed with all it
// holds when its owner lets it go. Work files kept there never meet another run's.

#include <filesystem>
#include <string>

namespace kv::data_access {

class PrivateFolder {
public:
    // Makes <temporary folder>/<prefix>XXXXXX. Throws, naming the temporary folder and the
    // cause, when it cannot be made.
    explicit PrivateFolder(const std::string& prefix);
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace kv::data_access
