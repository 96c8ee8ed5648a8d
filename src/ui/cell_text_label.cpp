#include "ui/cell_text_label.h"

#include <QFontMetrics>
#include <QPainter>

#include "ui/fonts.h"

namespace dashcam {

QString MessageLines(QString message) {
    message.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return message;
}

CellTextLabel::CellTextLabel(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setWordWrap(false);
    setTextFormat(Qt::PlainText);
}

void CellTextLabel::SetMessage(const QString& message) {
    setText(MessageLines(message));
}

int CellTextLabel::LineStep() const {
    return CellHeight(font());
}

void CellTextLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    const QFontMetrics metrics(font());
    const QRect area = contentsRect();
    const int step = LineStep();
    int top = area.top();
    for (const QString& line : text().split(QLatin1Char('\n'))) {
        const int width = metrics.horizontalAdvance(line);
        const int x = (alignment() & Qt::AlignHCenter) ? area.left() + (area.width() - width) / 2 : area.left();
        painter.drawText(x, top + CellAscent(font()), line);
        top += step;
    }
}

} // namespace dashcam
