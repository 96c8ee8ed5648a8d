#pragma once
// Base of the setting pages: a near-white page with child controls found by numeric id, vertical scrolling by
// scroll bar and mouse wheel, Enter (and in the pages also Escape) swallowed, and layout operations that size
// a control from the width of its text.
#include <QColor>
#include <QFont>
#include <QSize>
#include <QString>
#include <QWidget>

#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "forms/page_form.h"

class QButtonGroup;
class QScrollBar;
class QKeyEvent;
class QMouseEvent;

namespace dashcam {

class CBaseDialog : public QWidget {
    Q_OBJECT
public:
    // Size of every page and of its visible window.
    static constexpr int kPageWidth = 700;
    static constexpr int kPageHeight = 437;
    // Width of the vertical scroll bar at the page's right edge.
    static constexpr int kScrollBarWidth = 17;

    // Codes of a vertical scroll request.
    enum class ScrollCode {
        LineUp,
        LineDown,
        PageUp,
        PageDown,
        ThumbPosition,
        ThumbTrack,
        Top,
        Bottom,
        EndScroll
    };

    CBaseDialog(int templateId, QWidget* parent);
    ~CBaseDialog() override;

    int templateId() const { return templateId_; }

    // Runs the page's initialisation (OnInitDialog) once; later calls return the first result.
    bool Create();
    // Brings every control of the page up to date with the settings record.
    virtual void Refresh() {}

    // Child control `id`, or null.
    QWidget* item(int id) const;
    template <class T> T* itemAs(int id) const { return qobject_cast<T*>(item(id)); }
    // Makes `control` a child of the page under control id `id` and returns it.
    template <class T> T* AddItem(int id, T* control) {
        AdoptItem(id, control);
        return control;
    }

    QColor backgroundColour() const { return backgroundColour_; }
    int scrollPosition() const { return scrollPos; }
    int scrollMaximum() const { return scrollMax; }
    int scrollLineStep() const { return lineStep; }
    const std::vector<int>& leaders() const { return leaderIds; }
    QScrollBar* scrollBar() const { return scrollBar_; }
    // Width left to the controls beside the scroll bar.
    int clientWidth() const;

    // Scrolling, as the scroll bar and the mouse wheel ask for it. `nPos` is the thumb position of
    // ThumbPosition and ThumbTrack. Top, Bottom and EndScroll are ignored.
    void OnVScroll(ScrollCode code, int nPos);
    // Scrolls as little as needed for the whole of a control of the page to be in view (a control that Tab
    // gives the focus to is brought into view this way).
    void ScrollToShow(const QWidget* control);
    // The section title that `control` stands under: the nearest one at or above its top; null when none is.
    const QWidget* SectionTitleOf(const QWidget* control) const;
    // One wheel message: moves at most one lineStep whatever the size of `wheelDelta` (positive: wheel away
    // from the user, content moves down towards the top).
    void OnMouseWheel(int wheelDelta);

    // Width of `text` in `font`; the widest line when the text has line breaks.
    static int MeasureTextWidth(const QString& text, const QFont& font);
    // Sets font and text of child `id` and moves it to (x, y, width, height); with autoWidth the width is the
    // text width plus four spaces (0 for empty text). Does nothing when there is no such child.
    void SetItemText(int id, const QFont& font, const QString& text, int x, int y, int width, int height,
                     bool autoWidth);
    // As SetItemText, but keeps the child's text and measures `text` without the space margin.
    void SetItemFont(int id, const QFont& font, const QString& text, int x, int y, int width, int height,
                     bool autoWidth);
    // Moves child `id` of `parent` (the page itself) and returns {width, height}.
    QSize MoveItem(QWidget* parent, int id, int x, int y, int width, int height);
    // Labels, section titles, check boxes and radio buttons: shows the trimmed `text` in `font`, sized to the
    // text width + 30 (25 for empty text) and the text height (25 when that is 0), at (x, y). Returns the
    // size.
    QSize PlaceOptionItem(QWidget* parent, int id, const QString& text, const QFont& font, int x, int y);
    // Height of the box of a check box or the circle of a radio button; 0 for other controls.
    static int IndicatorHeight(const QWidget* control);
    // The height PlaceOptionItem gave a control's text: its height, less the rows added for a box or circle.
    static int TextRowHeight(const QWidget* control);

    // Checks or unchecks button `id`; a checked button of an exclusive group is let go too.
    void SetChecked(int id, bool checked);
    void SetEnabled(int id, bool enabled);

    // The three fonts every page draws with: section titles, bold small labels, everything else.
    const QFont& titleFont() const { return titleFont_; }
    const QFont& boldSmallFont() const { return boldSmallFont_; }
    const QFont& normalFont() const { return normalFont_; }

    // Colour of the leader lines after the section titles.
    static QColor LeaderColour() { return QColor(163, 181, 198); }

protected:
    // Creates the page fonts: Tahoma with cell heights 14 bold, 13 bold and 13 regular; `scaled` passes the
    // heights through the display scale first.
    void CreatePageFonts(bool scaled);
    // Places section title `id` with the text of `key` in the title font and gives it a leader line.
    QSize PlaceTitle(int id, std::u16string_view key, int x, int y);
    // Gives control `id`, which shows no caption of its own (a slider, a list box, a date or time field), the
    // accessible name of the captions it stands under or beside: their texts joined by a space. Ids without a
    // control (0) are passed over.
    void NameAfterCaptions(int id, std::span<const int> captionIds);
    // A control the template holds but the layout never places: zero size and out of sight.
    template <class T> static T* Unplaced(T* control) {
        control->setGeometry(0, 0, 0, 0);
        control->hide();
        return control;
    }
    int focusSinkId() const { return focusSinkId_; }

    // Creates the page's controls from its table, in the table's order; the rows without a place stay out of
    // sight. Each input on a control goes to OnFormInput.
    void CreateForm(const PageForm& form);
    const PageForm& form() const { return *form_; }
    // Places, sizes and captions every row of the table that has a place, in the current language and fonts, names
    // the controls after their captions and sets the sliders' scales up. Part of each page's Layout.
    void PlaceForm();
    // Sets every radio button, check box and slider that edits a field as `record` holds it; writes nothing.
    void ShowRecord(const SettingsRecord& record);
    // A user's input on the control of `row`: a radio button's click (state 1), a check box's new state (1 or 0),
    // a slider's position, the index picked in a list; 0 for a button's press and a date or time change. The base
    // stores what the row says into EditedRecord(); pages handle their special controls first.
    virtual void OnFormInput(const FormControl& row, int state);
    // The record the page edits, or null while there is none.
    virtual SettingsRecord* EditedRecord() { return nullptr; }

    // Pages swallow Escape as well as Enter.
    bool swallowEscape = false;

    // The page's own initialisation. The default does the whole page set-up with no controls:
    // BeginPageSetUp, then FinishPageSetUp.
    virtual bool OnInitDialog();
    // First steps of a page's set-up: the page moves to (0, 0) at 700 × 437 and scrolls to the top.
    void BeginPageSetUp();
    // Places the page's controls in the current language and fonts; the pages with controls have their own.
    virtual void Layout() {}
    // The set-up of a page with controls, for its OnInitDialog: BeginPageSetUp, the page fonts (`scaledFonts` as
    // CreatePageFonts takes it), Layout, FinishPageSetUp, and the focus sink out of sight.
    bool SetUpPageControls(bool scaledFonts);
    // Puts the page's visible controls in the Tab order of their places: top to bottom, then left to right.
    void OrderTabStopsByPlace();
    // Last step, after the controls are laid out and scrollMax is known: the scroll bar gets range
    // 0 … scrollMax + 437, page 437, position 0.
    void FinishPageSetUp();
    // A key press aimed at the page or one of its controls, before the control sees it. True consumes it.
    // The base consumes Enter; the pages add Escape and then call this.
    virtual bool PreTranslateKey(QKeyEvent* event);
    // Moves every control of the page by dy pixels (the scroll bar stays).
    virtual void ScrollWindow(int dy);

    // Background, then the leader lines after the titles in leaderIds.
    void paintEvent(QPaintEvent* event) override;
    // A click on the page's background moves the keyboard focus to the focus sink.
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    int scrollPos = 0;          // current offset, 0 = top of the content visible
    int scrollMax = 0;          // largest offset line, page and wheel scrolling reach
    int lineStep = 0;           // pixels per arrow click or wheel notch
    std::vector<int> leaderIds; // filled by the page during layout, used by its painting

private:
    void AdoptItem(int id, QWidget* control);
    // Radio buttons `ids` in one exclusive group.
    void AddRadioGroup(const std::vector<int>& ids);
    // Adds the hidden push button that takes the keyboard focus when the page's background is clicked.
    void AddFocusSink(int id);
    // Places one row at (x, y) as its kind and sizing say.
    void PlaceRow(const FormControl& row, int x, int y);
    const QFont& FontOf(FontRole role) const;
    void ScrollBy(int delta);
    void OnScrollBarAction(int action);
    void PlaceScrollBar();
    void ApplyText(int id, const QFont& font, const QString& text, int x, int y, int width, int height,
                   bool autoWidth, bool setText);

    int templateId_;
    QColor backgroundColour_;
    QScrollBar* scrollBar_ = nullptr;
    bool created_ = false;
    bool createResult_ = false;
    int focusSinkId_ = 0;
    const PageForm* form_ = nullptr;
    QFont titleFont_;
    QFont boldSmallFont_;
    QFont normalFont_;
};

} // namespace dashcam
