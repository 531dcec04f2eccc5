#pragma once
// The text of the standard error box, which shows every error that escapes an operation; the
// command-line program prints errors the same way.

#include <string>
#include <string_view>

namespace kv::data_access {

// The message with a period appended, unless it is empty or already ends in a character up to
// the period itself (a control character, a blank, or one of ! " # $ % & ' ( ) * + , - .).
std::string errorBoxText(std::string_view message);

}  // namespace kv::data_access
