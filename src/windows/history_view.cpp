#include "windows/history_view.h"

namespace kv::windows {

TForm_showHist::TForm_showHist(QWidget* parent) : QDialog(parent) {
    setObjectName("TForm_showHist");
    setWindowTitle("History database");
    resize(946, 589);
    move(276, 231);
}

} // namespace kv::windows
