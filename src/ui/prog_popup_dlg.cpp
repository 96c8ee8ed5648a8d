#include "ui/prog_popup_dlg.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>

#include <algorithm>

#include "platform/prompt.h"
#include "ui/cell_text_label.h"
#include "ui/controls.h"
#include "ui/popup_look.h"

namespace dashcam {
namespace {

int CountLineBreaks(const QString& text) {
    return static_cast<int>(text.count(QStringLiteral("\r\n")));
}
} // namespace

CProgPopupDlg::CProgPopupDlg(QWidget* parent) : QDialog(parent) {
    // A caption without a close box: only the worker ends this popup.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);
    ApplyPopupLook(*this);

    progressBar_ = new QProgressBar(this);
    SetControlId(progressBar_, kProgressBarId);
    progressBar_->setTextVisible(false);
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    messageLabel_ = new CellTextLabel(this);
    SetControlId(messageLabel_, kMessageLabelId);
}

void CProgPopupDlg::SetPopupText(const QString& title, const QString& message, int width, int height) {
    title_ = title;
    message_ = message;
    width_ = width;
    height_ = height;
}

void CProgPopupDlg::InitDialog() {
    initialised_ = true;
    resize(PopupClientSize(width_, height_));
    setWindowTitle(title_);
    messageLabel_->SetMessage(message_);
    messageLabel_->setGeometry(0, 28, width_, CountLineBreaks(message_) == 2 ? 50 : 40);
    progressBar_->setGeometry(40, height_ - 70, width_ - 80, 30);
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    progress_.store(0);
}

void CProgPopupDlg::SetProgress(int value) {
    const int stored = std::min(value, 100);
    progress_.store(stored);
    // The bar cannot go below its range; the stored value keeps what was given.
    const int shown = std::max(stored, 0);
    QMetaObject::invokeMethod(
        progressBar_, [bar = progressBar_, shown] { bar->setValue(shown); }, Qt::AutoConnection);
}

void CProgPopupDlg::Close() {
    closeRequested_.store(true);
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (isVisible())
                done(kIdCancel);
        },
        Qt::AutoConnection);
}

void CProgPopupDlg::showEvent(QShowEvent* event) {
    if (!initialised_)
        InitDialog();
    QDialog::showEvent(event);
    if (closeRequested_.load())
        QMetaObject::invokeMethod(
            this, [this] { done(kIdCancel); }, Qt::QueuedConnection);
}

void CProgPopupDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CProgPopupDlg::closeEvent(QCloseEvent* event) {
    // Only the worker ends this popup, through Close(). A close request from the window system would leave
    // the work behind it running unwatched, so it is refused.
    event->ignore();
}

int CProgPopupDlg::DoModal() {
    prompt::Request request;
    request.kind = prompt::Kind::Progress;
    request.caption = title_.toStdU16String();
    request.text = message_.toStdU16String();
    const prompt::Answer answer = prompt::Ask(
        request, [this] { return exec() == kIdOk ? prompt::Answer::Ok : prompt::Answer::Cancel; });
    return (answer == prompt::Answer::Ok || answer == prompt::Answer::Yes) ? kIdOk : kIdCancel;
}

} // namespace dashcam
