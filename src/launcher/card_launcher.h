#pragma once
// What the desktop's menu entry starts: finds the mounted dash cam cards and opens the editor on one of them.
// One card: at once. Several: the user picks one. None: a message asks for the card and the launcher goes on by
// itself when one is mounted, until the user cancels.
#include <QObject>
#include <QString>
#include <memory>
#include <string>
#include <vector>

class QInputDialog;
class QMessageBox;
class QSocketNotifier;
class QTimer;
class QFile;

namespace dashcam {

class CardLauncher : public QObject {
    Q_OBJECT
public:
    // editorPath: the editor program, started with the card folder as its one argument. language: the interface
    // language name of the launcher's own texts.
    CardLauncher(QString editorPath, std::u16string language, QObject* parent = nullptr);
    ~CardLauncher() override;

    // Looks for cards and goes on as above; finished() tells how it ended.
    void Start();
    // How often the mounted volumes are looked at again while waiting, besides every change of the mount table.
    void SetRescanInterval(int milliseconds);

    // The question or message on screen, if any (tests).
    QMessageBox* waitingBox() const { return waiting_; }
    QInputDialog* picker() const { return picker_; }

    // The launcher's own texts in a language: the request for the card and the question which card to open.
    static QString WaitingText(std::u16string_view language);
    static QString PickText(std::u16string_view language);

signals:
    // True when the editor was started on a card; false when the user cancelled or the start failed.
    void finished(bool editorStarted);

private:
    void Rescan();
    void Found(const std::vector<std::u16string>& cards);
    void Open(const std::u16string& card);
    void ShowWaiting();
    void StopWaiting();
    void End(bool editorStarted);

    QString editorPath_;
    std::u16string language_;
    int rescanMilliseconds_ = 2000;
    bool ended_ = false;
    QMessageBox* waiting_ = nullptr;
    QInputDialog* picker_ = nullptr;
    QTimer* rescanTimer_ = nullptr;
    std::unique_ptr<QFile> mountTable_;
    QSocketNotifier* mountWatch_ = nullptr;
};

} // namespace dashcam
