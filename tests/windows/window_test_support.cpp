#include "window_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace kv::windows::testing {

void ensureApplication() {
    static int argc = 1;
    static char name[] = "windows_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt objects of the tests may outlive any static order we could give.
    static auto* application = new QApplication(argc, argv);
    (void)application;
}

void whenModalShows(std::function<void(QWidget*)> act) {
    auto attempts = std::make_shared<int>(0);
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [act = std::move(act), attempts, poll] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            act(modal);
            *poll = nullptr;  // breaks the cycle through the captured pointer
            return;
        }
        if (++*attempts > 300) {
            ADD_FAILURE() << "No modal widget was shown";
            *poll = nullptr;
            return;
        }
        QTimer::singleShot(10, [poll] {
            if (*poll) (*poll)();
        });
    };
    QTimer::singleShot(0, [poll] {
        if (*poll) (*poll)();
    });
}

void inspectThen(SeenBox& seen, std::function<void(MessageBoxDialog*)> close) {
    whenModalShows([&seen, close = std::move(close)](QWidget* modal) {
        auto* box = qobject_cast<MessageBoxDialog*>(modal);
        ASSERT_NE(box, nullptr) << "the modal widget is no message box";
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        auto buttons = box->findChildren<QPushButton*>();
        std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
        seen.equalWidths = true;
        for (QPushButton* button : buttons) {
            seen.buttons << button->text();
            if (button->isDefault()) seen.defaultButton = button->text();
            seen.equalWidths = seen.equalWidths && button->width() == buttons.front()->width();
        }
        seen.escapeButton = box->escapeButton()->text();
        close(box);
    });
}

}  // namespace kv::windows::testing
