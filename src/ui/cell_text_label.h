#pragma once
// A label for the popups' messages: lines broken at "\r\n", each centred, one cell height apart, as the
// platform lays out a multi-line message (a font's own line spacing can be smaller than its cell).
#include <QLabel>

namespace dashcam {

// A message's lines as the toolkit shows them: "\r\n" becomes "\n".
QString MessageLines(QString message);

class CellTextLabel : public QLabel {
    Q_OBJECT
public:
    explicit CellTextLabel(QWidget* parent = nullptr);
    // Shows a message whose lines end in "\r\n".
    void SetMessage(const QString& message);
    // Distance of one line's top from the next one's.
    int LineStep() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace dashcam
