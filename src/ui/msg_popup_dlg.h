#pragma once
// The confirmation popup: a white window with a title, a centred message and the two buttons "Confirm" and
// "Cancel" in the interface language. The caller learns which one the user chose.
#include <QDialog>
#include <QFont>
#include <QString>

class QPushButton;

namespace dashcam {

class CellTextLabel;

class CMsgPopupDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kIdOk = 1;
    static constexpr int kIdCancel = 2;
    static constexpr int kMessageLabelId = 1501;

    explicit CMsgPopupDlg(QWidget* parent = nullptr);

    // Title, message (lines separated by "\r\n") and the window's outer size; call before running the popup.
    void SetPopupText(const QString& title, const QString& message, int width, int height);

    // Runs the popup modally through the prompt seam and returns kIdOk or kIdCancel.
    int DoModal();

    // Sizes and fills the window and its controls; runs by itself when the popup is first shown.
    void InitDialog();

    CellTextLabel* messageLabel() const { return messageLabel_; }
    // Control 1 (Confirm) or 2 (Cancel); nullptr for any other id.
    QPushButton* button(int id) const;
    const QFont& messageFont() const { return messageFont_; }
    const QString& title() const { return title_; }
    const QString& message() const { return message_; }

    void accept() override { done(kIdOk); }
    void reject() override { done(kIdCancel); }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString title_;
    QString message_;
    int width_ = 0;
    int height_ = 0;
    QFont messageFont_;
    CellTextLabel* messageLabel_ = nullptr;
    QPushButton* confirm_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool initialised_ = false;
};

} // namespace dashcam
