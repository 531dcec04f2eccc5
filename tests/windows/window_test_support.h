#pragma once
// What the tests of the real windows share: one application object for the whole test program,
// and a way to act on a modal box or dialog once it is up.

#include <QWidget>

#include <functional>

namespace kv::windows::testing {

// Creates the application object on first use; it lives until the test program ends.
void ensureApplication();

// Arranges for `act` to run on the next modal widget as soon as it is shown; the test fails if
// none shows within a few seconds. Call it before the call that opens the modal widget.
void whenModalShows(std::function<void(QWidget*)> act);

} // namespace kv::windows::testing
