#pragma once
// The text of the status line `StatusBar1`. It wraps onto as many lines as the text needs, at
// word boundaries where it can and anywhere in a word too long for a line (a long file name), so
// no status is cut off at the window's edge.

#include <QLabel>

class QTextLayout;

namespace kv::windows {

class StatusLine : public QLabel {
public:
    StatusLine();

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Lays the text out in lines of `width` pixels; returns the height they take.
    int layOut(QTextLayout& layout, int width) const;
    void fitHeight();
};

} // namespace kv::windows
