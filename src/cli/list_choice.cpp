#include "cli/list_choice.h"

#include <algorithm>

namespace kv::cli {

std::vector<int> matchingEntries(const ui::Ui& ui, std::string_view list,
                                 const std::function<bool(int index, const std::string& text)>& matches) {
    std::vector<int> found;
    const std::vector<std::string> texts = ui.items(list);
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (matches(static_cast<int>(i), texts[i])) found.push_back(static_cast<int>(i));
    return found;
}

std::string joinedEntries(const ui::Ui& ui, std::string_view list, const std::vector<int>& positions) {
    const std::vector<std::string> texts = ui.items(list);
    std::string joined;
    auto join = [&](const std::string& text) { joined += (joined.empty() ? "" : ", ") + text; };
    if (positions.empty())
        std::ranges::for_each(texts, join);
    else
        for (int position : positions) join(texts.at(static_cast<std::size_t>(position)));
    return joined.empty() ? "none" : joined;
}

}  // namespace kv::cli
