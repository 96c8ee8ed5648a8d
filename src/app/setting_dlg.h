#pragma once
// The editor's main window: a frameless, skinned 722 × 587 window at the top-left of the screen with the
// title, three tabs over the page frame, the window buttons and the Initialize, Cancel, Save and "<" buttons.
#include <QDialog>
#include <QFont>
#include <QIcon>
#include <QPoint>
#include <QString>
#include <optional>

#include "settings/card_version_info.h"
#include "ui/memory_surface.h"
#include "ui/rect.h"

namespace dashcam {

class CBaseDialog;
class CParkingDlg;
class CRButton;
class CRStaticText;

class CSettingDlg : public QDialog {
    Q_OBJECT
public:
    // What a start-up may do besides the editor's own sequence (the screenshot command uses these).
    struct Options {
        bool handOver = true;                  // hand the program over from a removable drive
        std::optional<QString> forcedLanguage; // load this interface language instead of choosing one
    };

    explicit CSettingDlg(QWidget* parent = nullptr);
    ~CSettingDlg() override;

    // The initialisation sequence. False when this instance is to end at once (handed over, or no card).
    bool OnInitDialog();
    bool OnInitDialog(const Options& options);

    // Window commands 2300-2305 and tab commands 2200-2204.
    void OnCommand(int id);
    void RefreshPages();
    void ReleasePagesAndRecord();

    const CardVersionInfo& cardVersionInfo() const { return cardVersionInfo_; }
    const QString& programFolder() const { return programFolder_; }
    CParkingDlg* recordPage() const { return recordPage_; }
    CBaseDialog* memoryCardPage() const { return memoryCardPage_; }
    CBaseDialog* systemPage() const { return systemPage_; }
    // The page its tab shows, or null before the pages exist and after a tab id without a page.
    CBaseDialog* shownPage() const;
    CRButton* button(int id) const;
    CRStaticText* titleLabel() const { return titleLabel_; }
    const MemorySurface& skinSurface() const { return skinSurface_; }
    bool readyToPaint() const { return readyToPaint_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SizeWindow();
    void BuildSkin();
    void CreateControls();
    void CreatePages();
    void ShowTab(int id);
    void Save();

    QIcon appIcon_;
    QString programFolder_;
    CardVersionInfo cardVersionInfo_;
    CParkingDlg* recordPage_ = nullptr;
    CBaseDialog* memoryCardPage_ = nullptr;
    CBaseDialog* systemPage_ = nullptr;

    CRStaticText* titleLabel_ = nullptr;
    CRButton* recordTab_ = nullptr;
    CRButton* memoryCardTab_ = nullptr;
    CRButton* systemTab_ = nullptr;
    CRButton* minimiseButton_ = nullptr;
    CRButton* closeButton_ = nullptr;
    CRButton* initializeButton_ = nullptr;
    CRButton* cancelButton_ = nullptr;
    CRButton* saveButton_ = nullptr;
    CRButton* backButton_ = nullptr;
    QFont titleFont_;

    MemorySurface skinSurface_;
    MemorySurface frameSurface_;
    bool frameBitmap_ = false; // whether frameSurface holds the finished background
    Rect clientRect_;
    bool frameStale_ = true;
    bool readyToPaint_ = false;

    QPoint dragStartGlobal_;
    QPoint dragStartWindow_;
    bool dragging_ = false;
};

} // namespace dashcam
