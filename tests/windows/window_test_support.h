#pragma once
// What the tests of the real windows share: one application object for the whole test program,
// a way to act on a modal box or dialog once it is up, and a record of what a message box showed.

#include <QString>
#include <QStringList>
#include <QStyle>
#include <QWidget>

#include <functional>

#include "windows/message_box.h"

namespace kv::windows::testing {

// Creates the application object on first use; it lives until the test program ends.
void ensureApplication();

// Arranges for `act` to run on the next modal widget as soon as it is shown; the test fails if
// none shows within a few seconds. Call it before the call that opens the modal widget.
void whenModalShows(std::function<void(QWidget*)> act);

struct SeenBox {
    QString caption, text;
    QStyle::StandardPixmap icon{};
    QStringList buttons;  // left to right
    QString defaultButton, escapeButton;
    bool equalWidths = false;
};

// Records into `seen` what the next message box shows, then closes it the way `close` does.
void inspectThen(SeenBox& seen, std::function<void(MessageBoxDialog*)> close);

}  // namespace kv::windows::testing
