#pragma once
// The About window `TAboutBox1`: created at program start, hidden until Help > "About...". A fixed
// dialog centred on the screen: the program's icon, name, version, credit and comments on a
// bevelled panel, and OK below it.

#include "ui/ui.h"

#include <QDialog>

class QLabel;

namespace kv::windows {

class TAboutBox1 : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox1(QWidget* parent = nullptr);

    // Shows the content modally until OK. Icon bytes that are no image throw "Cannot open file
    // <iconFile>" before anything shows.
    void showModal(const ui::AboutBoxContent& content);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OKButtonClick();

    QLabel* programIcon_ = nullptr;
    QLabel* comments_ = nullptr;
};

}  // namespace kv::windows
