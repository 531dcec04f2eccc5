#include "cli/process_host.h"

#ifdef _WIN32
// windows.h comes first: shellapi.h builds on it.
#include <windows.h>

#include <io.h>
#include <shellapi.h>
#else
#include <unistd.h>
#endif

#include <cstdio>
#include <filesystem>

namespace kv::cli {

#ifdef _WIN32
namespace {

std::string utf8Of(const wchar_t* text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? static_cast<std::size_t>(size) : 1, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
    bytes.pop_back();
    return bytes;
}

}  // namespace

std::vector<std::string> programArguments(int, char*[]) {
    int count = 0;
    wchar_t** words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; words != nullptr && i < count; ++i) arguments.push_back(utf8Of(words[i]));
    ::LocalFree(words);
    return arguments;
}

std::string executablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return utf8Of(path.c_str());
        }
        path.resize(path.size() * 2);
    }
}

bool errorOutputIsTerminal() { return ::_isatty(_fileno(stderr)) != 0; }

#else

std::vector<std::string> programArguments(int argc, char* argv[]) { return {argv + 1, argv + argc}; }

std::string executablePath() { return std::filesystem::read_symlink("/proc/self/exe").string(); }

bool errorOutputIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

#endif

}  // namespace kv::cli
