#include "ui/msg_popup_dlg.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "i18n/language_table.h"
#include "platform/prompt.h"
#include "ui/cell_text_label.h"
#include "ui/controls.h"
#include "ui/dpi_scale.h"
#include "ui/fonts.h"
#include "ui/popup_look.h"
#include "ui/ui_text.h"

namespace dashcam {
CMsgPopupDlg::CMsgPopupDlg(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    ApplyPopupLook(*this);

    // Created in tab order: the Confirm button first, so it has the focus when the popup opens.
    confirm_ = new QPushButton(this);
    SetControlId(confirm_, kIdOk);
    confirm_->setDefault(true);
    cancel_ = new QPushButton(this);
    SetControlId(cancel_, kIdCancel);
    messageLabel_ = new CellTextLabel(this);
    SetControlId(messageLabel_, kMessageLabelId);

    connect(confirm_, &QPushButton::clicked, this, [this] { done(kIdOk); });
    connect(cancel_, &QPushButton::clicked, this, [this] { done(kIdCancel); });
}

void CMsgPopupDlg::SetPopupText(const QString& title, const QString& message, int width, int height) {
    title_ = title;
    message_ = message;
    width_ = width;
    height_ = height;
}

QPushButton* CMsgPopupDlg::button(int id) const {
    if (id == kIdOk)
        return confirm_;
    if (id == kIdCancel)
        return cancel_;
    return nullptr;
}

void CMsgPopupDlg::InitDialog() {
    initialised_ = true;
    resize(PopupClientSize(width_, height_));
    setWindowTitle(title_);
    messageLabel_->SetMessage(message_);

    // The language file's own interface font; the character set is left to Qt's font matching.
    messageFont_ = CellHeightFont(QString::fromStdU16String(GetUiFontFaceName()), ToDevice(14), 400);

    messageLabel_->setGeometry(5, 28, width_ - 20, 90);
    messageLabel_->setFont(messageFont_);

    // The buttons' captions in the face and size of the editor's other buttons, so that the longest of them
    // keeps a margin inside its 85 × 25 button.
    const QFont captionFont = CellHeightFont(PageFaceName(), ToDevice(13), 400);
    cancel_->setFont(captionFont);
    confirm_->setFont(captionFont);
    cancel_->setText(UiText(u"IDS_STRING107"));
    cancel_->setGeometry(width_ / 2 - 95, height_ - 80, 85, 25);
    cancel_->show();
    confirm_->setText(UiText(u"IDS_STRING167"));
    confirm_->setGeometry(width_ / 2 + 10, height_ - 80, 85, 25);
    confirm_->show();
    confirm_->setFocus();
}

void CMsgPopupDlg::showEvent(QShowEvent* event) {
    if (!initialised_)
        InitDialog();
    QDialog::showEvent(event);
}

void CMsgPopupDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        event->accept();
        return;
    case Qt::Key_Y:
        done(kIdOk);
        return;
    case Qt::Key_N:
        done(kIdCancel);
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

int CMsgPopupDlg::DoModal() {
    prompt::Request request;
    request.kind = prompt::Kind::Confirm;
    request.caption = title_.toStdU16String();
    request.text = message_.toStdU16String();
    const prompt::Answer answer =
        prompt::Ask(request, [this] { return exec() == kIdOk ? prompt::Answer::Yes : prompt::Answer::No; });
    return (answer == prompt::Answer::Yes || answer == prompt::Answer::Ok) ? kIdOk : kIdCancel;
}

} // namespace dashcam
