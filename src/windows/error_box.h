#pragma once
// The standard error box, and the guard that every handler of the windows runs under: an error
// that escapes a handler ends that handler only, is shown in the box, and the program goes on.

#include <QString>

#include <functional>

namespace kv::windows {

// Stop icon, "OK", the program's title as caption, the message with its closing period.
void showStandardErrorBox(const QString& message);

void runGuarded(const std::function<void()>& handler);

}  // namespace kv::windows
