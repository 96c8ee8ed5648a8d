#pragma once
// The editor's main window: a frameless, skinned 722 × 587 window at the top-left of the screen with the
// title, three tabs over the page frame, the window buttons and the Initialize, Cancel, Save and "<" buttons.
#include <QDialog>
#include <QFont>
#include <QIcon>
#include <QPoint>
#include <QString>
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "settings/card.h"
#include "settings/card_version_info.h"
#include "ui/memory_surface.h"
#include "ui/rect.h"

namespace dashcam {

class CBaseDialog;
class CEtcDlg;
class CParkingDlg;
class CSystemDlg;
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

    // The window on the card folder `cardRoot` (CardRootFromArgument's form); empty: no card, the window ends at
    // OnInitDialog.
    explicit CSettingDlg(std::u16string cardRoot = {}, QWidget* parent = nullptr);
    ~CSettingDlg() override;

    // The initialisation sequence. False when this instance is to end at once (handed over, or no card).
    bool OnInitDialog();
    bool OnInitDialog(const Options& options);

    // The window's commands: its buttons, and the tabs.
    static constexpr int kMinimiseCommand = 2300;
    static constexpr int kCloseCommand = 2301;
    static constexpr int kInitializeCommand = 2302;
    static constexpr int kCancelCommand = 2303;
    static constexpr int kSaveCommand = 2304;
    static constexpr int kBackCommand = 2305; // the "<" button, which does nothing
    // Two tab commands that no button sends: every tab let go and every page hidden.
    static constexpr int kNoTabCommand = 2200;
    static constexpr int kNoTabCommand2 = 2201;
    void OnCommand(int id);
    void RefreshPages();
    void ReleasePagesAndRecord();

    const CardVersionInfo& cardVersionInfo() const { return cardVersionInfo_; }
    // The card the window edits; its record exists from OnInitDialog until the pages are released.
    Card& card() { return card_; }
    const QString& programFolder() const { return programFolder_; }
    // The tabs, each with its page, in the order the pages are refreshed.
    static constexpr int kRecordTab = 2202;
    static constexpr int kMemoryCardTab = 2203;
    static constexpr int kSystemTab = 2204;
    struct PageSlot {
        int tabId;
        CRButton* tab = nullptr;
        CBaseDialog* page = nullptr;
    };
    // Tab id of the page the command line calls `name`; 0 when there is none.
    static int TabOfPageName(std::string_view name);
    // The page shown by tab `tabId`, or null.
    CBaseDialog* page(int tabId) const;

    CParkingDlg* recordPage() const;
    CEtcDlg* memoryCardPage() const;
    CSystemDlg* systemPage() const;
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
    // Loads the interface language: the forced one, or the one the viewer and the card choose.
    void ChooseLanguage(const Options& options);
    // The editor's own message for the user, in the interface language, with a warning sign.
    static void Tell(const std::u16string& text);
    void SizeWindow();
    void BuildSkin();
    void CreateControls();
    void CreatePages();
    // Tab goes through the window in the order a reader sees it: the window buttons, the tabs, the visible
    // page's controls, then the buttons along the bottom.
    void SetKeyboardOrder();
    void ShowTab(int id);
    // The first control of `page` that Tab reaches while it is shown; null when it has none.
    QWidget* FirstTabStop(const CBaseDialog* page) const;
    void Save();

    Card card_;
    QIcon appIcon_;
    QString programFolder_;
    CardVersionInfo cardVersionInfo_;
    std::array<PageSlot, 3> pages_;

    CRStaticText* titleLabel_ = nullptr;
    CRButton* minimiseButton_ = nullptr;
    CRButton* closeButton_ = nullptr;
    CRButton* initializeButton_ = nullptr;
    CRButton* cancelButton_ = nullptr;
    CRButton* saveButton_ = nullptr;
    CRButton* backButton_ = nullptr;
    QFont titleFont_;

    MemorySurface skinSurface_;
    Rect clientRect_;
    bool readyToPaint_ = false;
    bool skinOpaque_ = false; // every pixel of the composed skin has full alpha

    QPoint dragStartGlobal_;
    QPoint dragStartWindow_;
    bool dragging_ = false;
};

} // namespace dashcam
