#pragma once
// Choosing an entry of one of the window's lists by what the command line names, as a user
// would pick it.

#include "ui/ui.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kv::cli {

// The positions of the entries of `list` for which `matches` holds, in the list's order.
std::vector<int> matchingEntries(const ui::Ui& ui, std::string_view list,
                                 const std::function<bool(int index, const std::string& text)>& matches);

// The texts of the entries at `positions`, or of every entry of `list` without them, joined by
// ", " for a message that lists them.
std::string joinedEntries(const ui::Ui& ui, std::string_view list, const std::vector<int>& positions = {});

}  // namespace kv::cli
