#include "windows/error_box.h"

#include "data_access/error_box_text.h"
#include "ui/error_box.h"
#include "windows/message_box.h"

#include <QCoreApplication>

#include <exception>

namespace kv::windows {

void showStandardErrorBox(const QString& message) {
    const QString title =
        QString::fromStdString(ui::programTitle(QCoreApplication::applicationFilePath().toStdString()));
    showMessageBox(title, QString::fromStdString(data_access::errorBoxText(message.toStdString())),
                   QStyle::SP_MessageBoxCritical, ui::BoxButtons::Ok);
}

void runGuarded(const std::function<void()>& handler) {
    // Catching here, inside the slot, keeps exceptions from unwinding through Qt's own frames.
    try {
        handler();
    } catch (const std::exception& error) {
        showStandardErrorBox(QString::fromStdString(error.what()));
    } catch (...) {
        showStandardErrorBox("Unknown error");
    }
}

}  // namespace kv::windows
