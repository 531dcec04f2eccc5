#include "layer_rules.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <optional>
#include <regex>
#include <sstream>

namespace kv::layers {
namespace {

struct Layer {
    std::string_view folder;
    std::vector<std::string_view> uses;  // its own folder is allowed whether listed or not
    bool qt = false;
    bool terminal = false;
};

std::vector<std::string_view> joined(std::initializer_list<std::vector<std::string_view>> parts) {
    std::vector<std::string_view> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

const std::vector<Layer>& layerTable() {
    static const std::vector<Layer> table = [] {
        // The domain knows nothing of the window: neither the Ui port nor the window's operations.
        const std::vector<std::string_view> domain = {"mapping", "history_db", "import", "export"};
        const std::vector<std::string_view> domainUses = joined({{"data_access"}, domain});
        std::vector<Layer> layers = {
            {"jet", {}},
            {"data_access", {"jet"}},
            {"ui", {}},
        };
        for (std::string_view folder : domain) layers.push_back({folder, domainUses});
        layers.push_back({"shell", joined({{"data_access", "ui"}, domain})});
        layers.push_back({"windows", joined({{"jet", "data_access", "ui", "shell"}, domain}), true, true});
        layers.push_back({"app", {"windows"}, true, true});
        layers.push_back({"cli", domainUses, false, true});
        return layers;
    }();
    return table;
}

const Layer* findLayer(std::string_view folder) {
    const auto& table = layerTable();
    auto found =
        std::find_if(table.begin(), table.end(), [folder](const Layer& layer) { return layer.folder == folder; });
    return found == table.end() ? nullptr : &*found;
}

std::string listOf(const std::vector<std::string_view>& folders) {
    std::string text;
    for (std::string_view folder : folders) text += (text.empty() ? "" : ", ") + std::string(folder) + "/";
    return text;
}

std::string folderRule(const Layer& layer) {
    std::vector<std::string_view> others;
    std::copy_if(layer.uses.begin(), layer.uses.end(), std::back_inserter(others),
                 [&layer](std::string_view folder) { return folder != layer.folder; });
    const std::string rule = std::string(layer.folder) + "/ may include only its own folder";
    return others.empty() ? rule : rule + " and " + listOf(others);
}

std::string layersWith(bool Layer::*permission) {
    std::vector<std::string_view> folders;
    for (const Layer& layer : layerTable())
        if (layer.*permission) folders.push_back(layer.folder);
    return listOf(folders) + " only";
}

// The first folder under src/ that a quoted include names, resolved from the including file
// for a relative path; none for a header of the including file's own folder.
std::optional<std::string> includedFolder(std::string_view file, const std::string& include) {
    namespace fs = std::filesystem;
    fs::path path(include);
    if (!path.has_parent_path()) return std::nullopt;
    if (*path.begin() == "..") path = (fs::path(file).parent_path() / path).lexically_normal();
    return path.begin()->string();
}

// The rule the include breaks in `layer`, or none.
std::optional<std::string> brokenRule(const Layer& layer, std::string_view file, char opening,
                                      const std::string& include) {
    if (opening == '<') {
        if (include.starts_with('Q') && !layer.qt) return "Qt is for " + layersWith(&Layer::qt);
        if (include == "iostream" && !layer.terminal) return "a terminal is for " + layersWith(&Layer::terminal);
        return std::nullopt;
    }
    const std::optional<std::string> folder = includedFolder(file, include);
    if (!folder || *folder == layer.folder) return std::nullopt;
    if (std::find(layer.uses.begin(), layer.uses.end(), *folder) != layer.uses.end()) return std::nullopt;
    return folderRule(layer);
}

}  // namespace

std::string Violation::describe() const {
    const std::string what = include.empty() ? "the file" : "#include " + include;
    return "src/" + file + ":" + std::to_string(line) + ": " + what + " breaks the rule: " + rule;
}

std::vector<Violation> checkIncludes(std::string_view file, std::string_view text) {
    const std::string folder = std::filesystem::path(file).begin()->string();
    const Layer* layer = findLayer(folder);
    if (!layer)
        return {{std::string(file), 1, "",
                 "every folder of src/ has a place in the layer table, and " + folder + "/ has none"}};

    static const std::regex includeLine(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    std::vector<Violation> violations;
    std::istringstream lines{std::string(text)};
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        std::smatch match;
        if (!std::regex_search(line, match, includeLine)) continue;
        const char opening = match[1].str()[0];
        const std::string include = match[2].str();
        if (auto rule = brokenRule(*layer, file, opening, include)) {
            const std::string written = opening == '<' ? "<" + include + ">" : "\"" + include + "\"";
            violations.push_back({std::string(file), number, written, *rule});
        }
    }
    return violations;
}

}  // namespace kv::layers
