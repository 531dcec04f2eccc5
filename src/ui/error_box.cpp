#include "ui/error_box.h"

#include <cctype>

namespace kv::ui {

std::string programTitle(std::string_view executablePath) {
    std::string_view name = executablePath;
    if (auto slash = name.find_last_of("/\\"); slash != std::string_view::npos) name.remove_prefix(slash + 1);
    name = name.substr(0, name.find('.'));

    std::string title(name);
    for (std::size_t i = 1; i < title.size(); ++i)
        title[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(title[i])));
    return title;
}

}  // namespace kv::ui
