#pragma once
// The caption of the standard error box, which shows every error that escapes a handler (its
// text is data_access/error_box_text.h).

#include <string>
#include <string_view>

namespace kv::ui {

// The executable's file name without its directory, cut at its first period, with every letter
// after the first in lower case: "C:\\Tools\\MyTool.EXE" gives "Mytool".
std::string programTitle(std::string_view executablePath);

}  // namespace kv::ui
