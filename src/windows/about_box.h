#pragma once
// The About window `TAboutBox1`: created at program start, hidden until Help > "About...".

#include <QDialog>

namespace kv::windows {

class TAboutBox1 : public QDialog {
public:
    explicit TAboutBox1(QWidget* parent = nullptr);
};

} // namespace kv::windows
