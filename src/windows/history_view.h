#pragma once
// The History view `TForm_showHist`: created at program start, hidden until View > "History
// database".

#include <QDialog>

namespace kv::windows {

class TForm_showHist : public QDialog {
public:
    explicit TForm_showHist(QWidget* parent = nullptr);
};

} // namespace kv::windows
