#include "ui/qt_services.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QString>

#include "platform/prompt.h"
#include "platform/trace.h"
#include "ui/cell_text_label.h"

Q_LOGGING_CATEGORY(dashcamTrace, "dashcam.trace", QtWarningMsg)

namespace dashcam {

void InstallQtTraceSink() {
    SetTraceSink([](std::u16string_view text) {
        if (dashcamTrace().isDebugEnabled())
            qCDebug(dashcamTrace).noquote()
                << QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    });
}

namespace {

// The window a message belongs to: the active one, else the program's window on the screen. A box without one
// would open in the middle of the screen, partly beside the window at its top-left corner.
QWidget* MessageOwner() {
    if (QWidget* active = QApplication::activeWindow())
        return active;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && !window->isMinimized() &&
            (window->windowType() == Qt::Window || window->windowType() == Qt::Dialog))
            return window;
    return nullptr;
}

} // namespace

void InstallMessageBoxPresenter() {
    prompt::SetPresenter([](const prompt::Request& request) {
        const QString caption = request.caption.empty() ? QApplication::applicationDisplayName()
                                                        : QString::fromStdU16String(request.caption);
        // Message texts break their lines with "\r\n" and may end with one; the box shows the lines.
        QString text = MessageLines(QString::fromStdU16String(request.text));
        while (text.endsWith(QLatin1Char('\n')))
            text.chop(1);
        QMessageBox box(request.warning ? QMessageBox::Warning : QMessageBox::NoIcon, caption, text,
                        QMessageBox::NoButton, MessageOwner());
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
        if (request.kind == prompt::Kind::MessageYesNo || request.kind == prompt::Kind::Confirm) {
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(request.defaultNo ? QMessageBox::No : QMessageBox::Yes);
            return box.exec() == QMessageBox::Yes ? prompt::Answer::Yes : prompt::Answer::No;
        }
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return prompt::Answer::Ok;
    });
}

} // namespace dashcam
