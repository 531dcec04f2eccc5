#pragma once
// The main window's two small modal dialogs besides its boxes and file dialogs: a day typed as
// YYYY-MM-DD, and one entry chosen from a list. Each is named ("DateDialog", "EntryChoiceDialog")
// so that a test can find it while it is up.

#include <QWidget>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kv::windows {

// The text the user confirmed; nothing when they cancel.
std::optional<std::string> askDateDialog(QWidget* parent, const std::string& prompt, const std::string& initial);
// The index of the entry the user chose; nothing when they cancel.
std::optional<std::size_t> chooseEntryDialog(QWidget* parent, const std::string& prompt,
                                             const std::vector<std::string>& entries);

}  // namespace kv::windows
