#include "app/setting_dlg.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>
#include <vector>

#include "i18n/interface_language.h"
#include "i18n/language_table.h"
#include "pages/etc_dlg.h"
#include "pages/parking_dlg.h"
#include "pages/system_dlg.h"
#include "platform/host_system.h"
#include "platform/prompt.h"
#include "platform/text_codec.h"
#include "settings/card.h"
#include "settings/hand_over.h"
#include "settings/settings_record.h"
#include "settings/user_text.h"
#include "ui/base_dialog.h"
#include "ui/controls.h"
#include "ui/dpi_scale.h"
#include "ui/fonts.h"
#include "ui/pixel_ops.h"
#include "ui/png_image.h"
#include "ui/qt_translations.h"
#include "ui/r_button.h"
#include "ui/r_static_text.h"
#include "ui/skin_painter.h"
#include "ui/skin_text_info.h"
#include "ui/ui_text.h"

namespace dashcam {
namespace {

constexpr int kWindowWidth = 722;
constexpr int kWindowHeight = 587;
constexpr int kSkinImage = 501;
constexpr int kIconImage = 128;
const QPoint kPageOrigin(11, 85);

// One row per tab: its id, its name on the command line, where it stands, its images (selected, normal, hover,
// pressed), its caption, whether it is the tab shown at start-up, and how its page is made. Rows stand in the
// order the pages are refreshed.
struct PageRow {
    int tabId;
    std::string_view name;
    Rect rect;
    int selected, normal, hover, pressed;
    const char16_t* key;
    bool shownFirst;
    CBaseDialog* (*create)(Card& card, QWidget* parent);
};
const PageRow kPageRows[] = {
    {CSettingDlg::kRecordTab, "record", {151, 48, 291, 85}, 150, 147, 148, 149, u"IDS_STRING228", false,
     [](Card& card, QWidget* parent) -> CBaseDialog* { return new CParkingDlg(card, parent); }},
    {CSettingDlg::kMemoryCardTab, "memory", {11, 48, 151, 85}, 146, 143, 144, 145, u"IDS_STRING105", true,
     [](Card& card, QWidget* parent) -> CBaseDialog* { return new CEtcDlg(card, parent); }},
    {CSettingDlg::kSystemTab, "system", {291, 48, 431, 85}, 154, 151, 152, 153, u"IDS_STRING213", false,
     [](Card& card, QWidget* parent) -> CBaseDialog* { return new CSystemDlg(card, parent); }},
};
static_assert(std::size(kPageRows) == 3);

SkinTextInfo Caption(const QString& text, QColor normal, QColor hover, int align) {
    SkinTextInfo info;
    info.text = text;
    info.normalColour = normal;
    info.hoverColour = hover;
    info.pressedColour = Qt::white;
    info.fontHeight = 13;
    info.align = align;
    return info;
}

} // namespace

int CSettingDlg::TabOfPageName(std::string_view name) {
    for (const PageRow& row : kPageRows)
        if (row.name == name)
            return row.tabId;
    return 0;
}

CSettingDlg::CSettingDlg(std::u16string cardRoot, QWidget* parent) : QDialog(parent), card_(std::move(cardRoot)) {
    for (std::size_t i = 0; i < pages_.size(); ++i)
        pages_[i] = PageSlot{kPageRows[i].tabId};
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
}

CSettingDlg::~CSettingDlg() {
    ReleasePagesAndRecord();
}

CRButton* CSettingDlg::button(int id) const {
    return qobject_cast<CRButton*>(FindControl(this, id));
}

bool CSettingDlg::OnInitDialog() {
    return OnInitDialog(Options{});
}

bool CSettingDlg::OnInitDialog(const Options& options) {
    ReadViewerLanguage();
    if (PngImage icon; icon.LoadPng(kIconImage, QStringLiteral("ICON")))
        appIcon_ = QIcon(QPixmap::fromImage(icon.Bitmap()));
    setWindowIcon(appIcon_);

    programFolder_ = QString::fromStdU16String(FolderOf(Host().ModuleFilePath()));
    const bool removable = options.handOver && IsStartedFromRemovableDrive();
    if (removable && CopyProgramToLocalFolder() && StartLocalCopy())
        return false; // the local copy carries on with the card

    card_.AllocateRecord();
    card_.clock().timeSyncRequested = 0;
    SizeWindow();
    if (card_.root().empty())
        return false;
    // A folder that is not there would open as an all-zero record and save beside nothing useful. The user is
    // told in the language the window would have had.
    if (!Host().FolderExists(card_.root())) {
        ChooseLanguage(options);
        Tell(FillIn(LookupText(u"IDS_STRING901"), {card_.root()}));
        return false;
    }

    card_.ReadClockFile(card_.FilePath(u"time.dat"));
    ReadVersionFile(card_.FilePath(u"lang") + kPathSeparator, cardVersionInfo_);
    const CardSettingsLoad load = card_.LoadCardSettings();
    ChooseLanguage(options);
    // Said once, before anything can be saved: Save leaves that setup.cfg alone unless Initialize is pressed.
    if (!load.problem.empty())
        Tell(FillIn(LookupText(u"IDS_STRING902"), {Utf8ToUtf16(load.problem)}));

    // The task bar names the window as its title does, in the interface language.
    setWindowTitle(UiText(u"IDS_STRING101"));
    QGuiApplication::setApplicationDisplayName(windowTitle());
    // The skin and the controls' pictures need no font: they are made while the fonts are still being
    // registered, and the title's font is made last.
    BuildSkin();
    CreateControls();
    CreatePages();
    SetKeyboardOrder();
    readyToPaint_ = true;
    RefreshPages();
    return true;
}

void CSettingDlg::ChooseLanguage(const Options& options) {
    std::u16string language;
    if (options.forcedLanguage) {
        language = options.forcedLanguage->toStdU16String();
        LoadLanguage(language);
    } else {
        const int index = ChooseInterfaceLanguageIndex(cardVersionInfo_, card_.record());
        SetInterfaceLanguage(index);
        language = InterfaceLanguageName(index);
    }
    // The message boxes' standard buttons in the same language.
    InstallQtTranslations(language);
}

void CSettingDlg::Tell(const std::u16string& text) {
    prompt::Ask({prompt::Kind::MessageOk, LookupText(u"IDS_STRING101"), text, true});
}

void CSettingDlg::SizeWindow() {
    setGeometry(0, 0, ToDevice(kWindowWidth), ToDevice(kWindowHeight));
    setFixedSize(ToDevice(kWindowWidth), ToDevice(kWindowHeight));
    hide();
    clientRect_ = Rect{0, 0, width(), height()};
}

void CSettingDlg::BuildSkin() {
    const int w = clientRect_.width(), h = clientRect_.height();
    skinSurface_.Create(w, h);
    if (ToLogical(w) == w && ToLogical(h) == h) {
        // At 100 % the logical skin is the device skin: blending it onto the empty surface would copy it.
        AcquirePainter().DrawStretchImage(skinSurface_, kSkinImage);
        ReleasePainter();
    } else {
        MemorySurface logical;
        logical.Create(ToLogical(w), ToLogical(h));
        AcquirePainter().DrawStretchImage(logical, kSkinImage);
        ReleasePainter();
        if (logical.IsValid() && skinSurface_.IsValid())
            AlphaBlendPixels(*skinSurface_.Dc(), 0, 0, w, h, *logical.Dc(), 0, 0, logical.Width(),
                             logical.Height());
    }
    skinOpaque_ = skinSurface_.IsValid() && IsOpaque(*skinSurface_.Dc());
}

void CSettingDlg::CreateControls() {
    const QColor titleColour(214, 223, 233), tabColour(119, 148, 177), buttonColour(176, 187, 200);

    titleLabel_ = new CRStaticText(this);
    titleLabel_->Create(Rect{11, 7, 411, 27}, this, 2001);

    for (std::size_t i = 0; i < pages_.size(); ++i) {
        const PageRow& row = kPageRows[i];
        CRButton* tab = new CRButton(this);
        tab->Create(row.rect, this, row.tabId);
        tab->SetSelectedImage(row.selected);
        SkinTextInfo caption = Caption(UiText(row.key), tabColour, tabColour, 1);
        tab->SetImagesWithText(row.normal, row.hover, row.pressed, &skinSurface_, &caption);
        tab->SetCheck(row.shownFirst);
        pages_[i].tab = tab;
        connect(tab, &CRButton::command, this, &CSettingDlg::OnCommand);
    }

    minimiseButton_ = new CRButton(this);
    minimiseButton_->Create(Rect{648, 0, 677, 26}, this, kMinimiseCommand);
    minimiseButton_->SetImages(155, 156, 157, &skinSurface_);
    closeButton_ = new CRButton(this);
    closeButton_->Create(Rect{677, 0, 706, 26}, this, kCloseCommand);
    closeButton_->SetImages(158, 159, 160, &skinSurface_);
    // The two picture buttons are named for screen readers with the toolkit's own window-button words, which
    // come in the interface language with its translations.
    minimiseButton_->setAccessibleName(QCoreApplication::translate("QMdiSubWindow", "Minimize"));
    closeButton_->setAccessibleName(QCoreApplication::translate("QMdiSubWindow", "Close"));

    struct Command {
        CRButton*& button;
        int id;
        Rect rect;
        QString text;
    };
    const Command commands[] = {
        {initializeButton_, kInitializeCommand, {63, 546, 284, 575}, UiText(u"IDS_STRING106")},
        {cancelButton_, kCancelCommand, {510, 546, 610, 575}, UiText(u"IDS_STRING107")},
        {saveButton_, kSaveCommand, {614, 546, 714, 575}, UiText(u"IDS_STRING108")},
        {backButton_, kBackCommand, {8, 546, 58, 575}, QStringLiteral("<")},
    };
    for (const Command& c : commands) {
        c.button = new CRButton(this);
        c.button->Create(c.rect, this, c.id);
        SkinTextInfo caption = Caption(c.text, buttonColour, Qt::white, 1);
        c.button->SetImagesWithText(161, 162, 163, &skinSurface_, &caption);
    }

    for (CRButton* b : {minimiseButton_, closeButton_, initializeButton_, cancelButton_, saveButton_, backButton_})
        connect(b, &CRButton::command, this, &CSettingDlg::OnCommand);

    titleFont_ = CellHeightFont(QString::fromStdU16String(GetUiFontFaceName()), ToDevice(13), 700);
    SkinTextInfo title = Caption(UiText(u"IDS_STRING101"), titleColour, Qt::white, 0);
    titleLabel_->SetContent(0, titleFont_, &skinSurface_, &title);
}

void CSettingDlg::SetKeyboardOrder() {
    std::vector<QWidget*> order{minimiseButton_, closeButton_};
    std::vector<CRButton*> tabs;
    for (const PageSlot& slot : pages_)
        tabs.push_back(slot.tab);
    std::sort(tabs.begin(), tabs.end(), [](const CRButton* a, const CRButton* b) { return a->x() < b->x(); });
    order.insert(order.end(), tabs.begin(), tabs.end());
    // Each page's controls in the page's own order; Tab skips those of the hidden pages.
    for (const PageSlot& slot : pages_)
        for (QWidget* w = slot.page->nextInFocusChain(); w != slot.page && slot.page->isAncestorOf(w);
             w = w->nextInFocusChain())
            if (w->focusPolicy() & Qt::TabFocus)
                order.push_back(w);
    order.insert(order.end(), {backButton_, initializeButton_, cancelButton_, saveButton_});
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    // The window opens with the focus on the page, not on a window button that a stray Space would press.
    if (QWidget* first = FirstTabStop(shownPage()))
        first->setFocus(Qt::OtherFocusReason);
}

QWidget* CSettingDlg::FirstTabStop(const CBaseDialog* page) const {
    if (!page)
        return nullptr;
    for (QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain())
        if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(this))
            return w;
    return nullptr;
}

void CSettingDlg::CreatePages() {
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        CBaseDialog* page = kPageRows[i].create(card_, this);
        page->Create();
        page->move(ToDevice(kPageOrigin.x()), ToDevice(kPageOrigin.y()));
        page->setVisible(kPageRows[i].shownFirst);
        if (pages_[i].tab)
            page->setAccessibleName(pages_[i].tab->caption());
        pages_[i].page = page;
    }
    systemPage()->SetVersionInfo(&cardVersionInfo_);
}

void CSettingDlg::RefreshPages() {
    for (const PageSlot& slot : pages_)
        if (slot.page)
            slot.page->Refresh();
}

void CSettingDlg::ReleasePagesAndRecord() {
    for (PageSlot& slot : pages_) {
        delete slot.page;
        slot.page = nullptr;
    }
    card_.ReleaseRecord();
}

void CSettingDlg::ShowTab(int id) {
    CBaseDialog* shown = nullptr;
    for (const PageSlot& slot : pages_) {
        if (slot.tab)
            slot.tab->SetCheck(slot.tabId == id);
        if (slot.page && slot.tabId == id) {
            slot.page->setVisible(true);
            shown = slot.page;
        }
    }
    // A page hidden with the focus in it would have the toolkit pass the focus on as Tab does, to a window
    // button that then shows the keyboard's mark after a click: the focus goes to the shown page first.
    QWidget* focus = focusWidget();
    if (shown && focus && !shown->isAncestorOf(focus)) {
        const bool inPage = std::any_of(pages_.begin(), pages_.end(), [focus](const PageSlot& slot) {
            return slot.page && slot.page->isAncestorOf(focus);
        });
        if (inPage) {
            if (QWidget* first = FirstTabStop(shown))
                first->setFocus(Qt::OtherFocusReason);
            else
                focus->clearFocus();
        }
    }
    for (const PageSlot& slot : pages_)
        if (slot.page && slot.tabId != id)
            slot.page->setVisible(false);
}

CBaseDialog* CSettingDlg::page(int tabId) const {
    for (const PageSlot& slot : pages_)
        if (slot.tabId == tabId)
            return slot.page;
    return nullptr;
}

CParkingDlg* CSettingDlg::recordPage() const {
    return static_cast<CParkingDlg*>(page(kRecordTab));
}

CEtcDlg* CSettingDlg::memoryCardPage() const {
    return static_cast<CEtcDlg*>(page(kMemoryCardTab));
}

CSystemDlg* CSettingDlg::systemPage() const {
    return static_cast<CSystemDlg*>(page(kSystemTab));
}

CBaseDialog* CSettingDlg::shownPage() const {
    for (const PageSlot& slot : pages_)
        if (slot.page && slot.page->isVisibleTo(this))
            return slot.page;
    return nullptr;
}

void CSettingDlg::OnCommand(int id) {
    switch (id) {
    case kNoTabCommand:
    case kNoTabCommand2:
    case kRecordTab:
    case kMemoryCardTab:
    case kSystemTab:
        ShowTab(id);
        break;
    case kMinimiseCommand:
        showMinimized();
        break;
    case kCloseCommand:
    case kCancelCommand:
        ReleasePagesAndRecord();
        reject();
        break;
    case kInitializeCommand:
        if (SettingsRecord* record = card_.record()) {
            card_.RestoreDefaultSettings(*record);
            RefreshPages();
        }
        break;
    case kSaveCommand:
        Save();
        break;
    default: // kBackCommand and unknown commands: no action
        break;
    }
}

void CSettingDlg::Save() {
    if (card_.root().empty() || !card_.record())
        return;
    // A failed write keeps the window and its edits, so the user can free the card and save again, or cancel.
    if (!card_.SaveSettingsFile(card_.FilePath(u"setup.cfg"))) {
        Tell(FillIn(LookupText(u"IDS_STRING903"), {Utf8ToUtf16(card_.LastCardFileError())}));
        return;
    }
    if (!card_.WriteClockFile(card_.FilePath(u"time.dat"))) {
        Tell(LookupText(u"IDS_STRING904"));
        return;
    }
    // Saved; what is left to say is harmless to the card but not kept from the user.
    if (!card_.LastCardFileNote().empty())
        Tell(FillIn(LookupText(u"IDS_STRING905"), {Utf8ToUtf16(card_.LastCardFileNote())}));
    ReleasePagesAndRecord();
    accept();
}

void CSettingDlg::paintEvent(QPaintEvent*) {
    // The skin is the finished background, composed once at initialisation: a paint is one copy to the screen.
    if (!readyToPaint_ || !skinSurface_.IsValid())
        return;
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const QImage& skin = *skinSurface_.Dc();
    if (!skinOpaque_) {
        painter.drawImage(0, 0, skin);
        return;
    }
    // An opaque skin goes to the screen as the opaque picture it is (the same pixels, seen without alpha): the
    // toolkit copies its rows, where a picture with alpha is converted, on a pool of threads at this size.
    painter.drawImage(0, 0, QImage(skin.constBits(), skin.width(), skin.height(), skin.bytesPerLine(),
                                   QImage::Format_RGB32));
}

void CSettingDlg::mousePressEvent(QMouseEvent* event) {
    // Only a press on the uncovered client area or on the title label (which passes its mouse on) starts a
    // drag; the buttons take their presses themselves and never get here.
    QWidget* under = childAt(event->position().toPoint());
    dragging_ = event->button() == Qt::LeftButton && (under == nullptr || under == titleLabel_);
    dragStartGlobal_ = event->globalPosition().toPoint();
    dragStartWindow_ = pos();
    QDialog::mousePressEvent(event);
}

void CSettingDlg::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        QWindow* window = windowHandle();
        if (window && window->startSystemMove())
            dragging_ = false; // the window system carries the move on from here
        else
            move(dragStartWindow_ + event->globalPosition().toPoint() - dragStartGlobal_);
    }
    QDialog::mouseMoveEvent(event);
}

void CSettingDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = false;
        // A press on the skin released over a button is that button's click.
        auto* button = qobject_cast<CRButton*>(childAt(event->position().toPoint()));
        if (button && button->isEnabled())
            button->OnLButtonUp();
    }
    QDialog::mouseReleaseEvent(event);
}

void CSettingDlg::keyPressEvent(QKeyEvent* event) {
    // Escape ends the window without saving, as any dialog does. Enter reaches the window only where no button
    // has the focus (a focused button takes it itself); there it does nothing rather than end the window and
    // take the edits with it.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        ReleasePagesAndRecord();
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace dashcam
