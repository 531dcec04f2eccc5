#include "windows/about_box.h"

namespace kv::windows {

TAboutBox1::TAboutBox1(QWidget* parent) : QDialog(parent) {
    setObjectName("TAboutBox1");
    setWindowTitle("About");
    setFixedSize(298, 213);
}

} // namespace kv::windows
