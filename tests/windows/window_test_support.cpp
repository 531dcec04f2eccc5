#include "window_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

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
        QTimer::singleShot(10, [poll] { if (*poll) (*poll)(); });
    };
    QTimer::singleShot(0, [poll] { if (*poll) (*poll)(); });
}

} // namespace kv::windows::testing
