#pragma once
// The modal message box of the program: the kind's icon left of the word-wrapped text, the
// buttons centred below it, all of one width, the box centred on the screen. Esc presses the
// button that answers it; closing the box by its frame presses none, so the answer is None.

#include "ui/ui.h"

#include <QDialog>
#include <QStyle>

class QLabel;
class QPushButton;

namespace kv::windows {

class MessageBoxDialog : public QDialog {
    Q_OBJECT
public:
    MessageBoxDialog(const QString& caption, const QString& text, QStyle::StandardPixmap icon, ui::BoxButtons buttons);

    QString text() const;
    QStyle::StandardPixmap icon() const { return icon_; }
    QPushButton* escapeButton() const { return escapeButton_; }
    ui::BoxAnswer answer() const { return answer_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QPushButton* addAnswerButton(const QString& caption, ui::BoxAnswer answer);

    QLabel* textLabel_ = nullptr;
    QStyle::StandardPixmap icon_;
    QPushButton* escapeButton_ = nullptr;
    ui::BoxAnswer answer_ = ui::BoxAnswer::None;
    std::vector<QPushButton*> buttons_;
};

// Shows the box modally and returns the button pressed.
ui::BoxAnswer showMessageBox(const QString& caption, const QString& text, QStyle::StandardPixmap icon,
                             ui::BoxButtons buttons);

}  // namespace kv::windows
