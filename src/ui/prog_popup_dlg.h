#pragma once
// The progress popup: a white window with a title, a centred message and a bar from 0 to 100 that a worker
// thread advances. It closes when the worker tells it to; the user cannot close it.
#include <QDialog>
#include <QString>

#include <atomic>

class QProgressBar;

namespace dashcam {

class CellTextLabel;

class CProgPopupDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kIdOk = 1;
    static constexpr int kIdCancel = 2;
    static constexpr int kProgressBarId = 1118;
    static constexpr int kMessageLabelId = 1120;

    explicit CProgPopupDlg(QWidget* parent = nullptr);

    void SetPopupText(const QString& title, const QString& message, int width, int height);

    // Runs the popup modally through the prompt seam; returns kIdCancel once Close() has ended it.
    int DoModal();
    void InitDialog();

    // Callable from any thread. Values above 100 become 100. The value is stored at once; the bar shows it on
    // the interface thread.
    void SetProgress(int value);
    int GetProgress() const { return progress_.load(); }

    // Callable from any thread: ends the popup with kIdCancel on the interface thread. A close that arrives
    // before the popup is shown ends it as soon as it appears.
    void Close();

    CellTextLabel* messageLabel() const { return messageLabel_; }
    QProgressBar* progressBar() const { return progressBar_; }

    void accept() override { done(kIdOk); }
    void reject() override { done(kIdCancel); }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QString title_;
    QString message_;
    int width_ = 0;
    int height_ = 0;
    std::atomic<int> progress_{0};
    std::atomic<bool> closeRequested_{false};
    CellTextLabel* messageLabel_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    bool initialised_ = false;
};

} // namespace dashcam
