#include "windows/status_line.h"

#include <QEvent>
#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace kv::windows {

StatusLine::StatusLine() {
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void StatusLine::setStatus(const QString& text) {
    setText(text);
    fitHeight();
}

int StatusLine::layOut(QTextLayout& layout, int width) const {
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.setFont(font());
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(width, 1));
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    return static_cast<int>(std::ceil(height));
}

int StatusLine::heightAt(int width) const {
    const QMargins margins = contentsMargins();
    QTextLayout layout(text());
    const int textHeight = std::max(layOut(layout, width - margins.left() - margins.right()), fontMetrics().height());
    return textHeight + margins.top() + margins.bottom();
}

int StatusLine::neededHeight() const { return heightAt(isVisible() ? width() : QWIDGETSIZE_MAX); }

QSize StatusLine::minimumSizeHint() const { return QSize(0, neededHeight()); }

void StatusLine::paintEvent(QPaintEvent*) {
    QTextLayout layout(text());
    const QRect room = contentsRect();
    layOut(layout, room.width());
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    layout.draw(&painter, room.topLeft());
}

void StatusLine::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    fitHeight();
}

void StatusLine::showEvent(QShowEvent* event) {
    QLabel::showEvent(event);
    fitHeight();
}

void StatusLine::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) fitHeight();
}

// The status bar sizes itself by its widgets' minimum heights, not by the height their text
// needs at their present width, so the line asks for that height itself whenever either changes.
void StatusLine::fitHeight() {
    const int needed = neededHeight();
    if (needed != minimumHeight()) setMinimumHeight(needed);
}

}  // namespace kv::windows
