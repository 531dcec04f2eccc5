#pragma once
// Help > "About...": the About window with the program's icon and comments.

#include "ui/ui.h"

namespace kv::shell {

// The icon beside the program that the About window shows.
inline constexpr const char* kIconFileName = "kestrovane.ico";

// Reads the icon from the program directory and shows the About window. An icon that cannot be
// read stops it before anything shows: "Cannot open file <path>".
void About1Click(ui::Ui& ui);

}  // namespace kv::shell
