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

    // The text shown; the line takes the height it needs at once.
    void setStatus(const QString& text);

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Lays the text out in lines of `width` pixels; returns the height they take.
    int layOut(QTextLayout& layout, int width) const;
    // The line's height with its text laid out `width` pixels wide, margins included. Not Qt's
    // height-for-width: layouts would ask it for every width down to none, and grow the window.
    int heightAt(int width) const;
    // The height the text needs at the line's width; before the line is shown its width means
    // nothing yet, and the text counts as one line.
    int neededHeight() const;
    void fitHeight();
};

}  // namespace kv::windows
