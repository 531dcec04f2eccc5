#pragma once
// The texts of the standard error box, which shows every error that escapes a handler.

#include <string>
#include <string_view>

namespace kv::ui {

// The executable's file name without its directory, cut at its first period, with every letter
// after the first in lower case: "C:\\Tools\\MyTool.EXE" gives "Mytool".
std::string programTitle(std::string_view executablePath);

// The message with a period appended, unless it is empty or already ends in a character up to
// the period itself (a control character, a blank, or one of ! " # $ % & ' ( ) * + , - .).
std::string errorBoxText(std::string_view message);

}  // namespace kv::ui
