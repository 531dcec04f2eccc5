#include "cli/session.h"

#include "cli/subcommands.h"

#include <filesystem>

namespace kv::cli {
namespace {

std::string fullPath(const std::string& path) { return std::filesystem::absolute(path).string(); }

}  // namespace

std::string Session::path(std::string_view option) const { return fullPath(line.value(option).value_or("")); }

std::string Session::argumentPath() const { return fullPath(line.arguments.at(0)); }

std::vector<std::string> Session::argumentPaths() const {
    std::vector<std::string> paths;
    for (const std::string& argument : line.arguments) paths.push_back(fullPath(argument));
    return paths;
}

std::string Session::mappingPath() const {
    return fullPath(line.value(kMappingOption).value_or(programDirectory + "mapping.xls"));
}

}  // namespace kv::cli
