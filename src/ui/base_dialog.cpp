#include "ui/base_dialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOption>
#include <QWheelEvent>

#include <algorithm>

#include "ui/alpha_text.h"
#include "ui/controls.h"
#include "ui/dpi_scale.h"
#include "ui/fonts.h"
#include "ui/shared_style.h"
#include "ui/ui_text.h"

namespace dashcam {

namespace {

// The application's style, drawing a tall scroll bar band by band into pictures of at most 47 rows. The
// raster engine hands any fill of 96 spans or more to Qt's global thread pool (a rectangle's outline is two
// spans a row), so a page's scroll bar would start the pool's threads at the window's first paint and wait for
// them several times; drawn into the small pictures, each fill stays on the window's thread. A picture's edges
// cut the drawing as the window's edges would, so the pixels are those the style draws straight onto the
// window.
class BandedScrollBarStyle : public QProxyStyle {
public:
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override {
        constexpr int kBand = 47;
        if (control != CC_ScrollBar || !option || !painter || option->rect.height() <= kBand ||
            option->rect.width() <= 0 || !painter->device() ||
            painter->device()->devicePixelRatioF() != 1.0 || !painter->transform().isIdentity() ||
            painter->hasClipping() || painter->opacity() != 1.0 ||
            painter->compositionMode() != QPainter::CompositionMode_SourceOver) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        const QRect whole = option->rect;
        for (int top = whole.top(); top <= whole.bottom(); top += kBand) {
            QImage band(whole.width(), std::min(kBand, whole.bottom() + 1 - top),
                        QImage::Format_ARGB32_Premultiplied);
            band.fill(Qt::transparent);
            {
                QPainter bandPainter(&band);
                bandPainter.setRenderHints(painter->renderHints());
                bandPainter.setFont(painter->font());
                bandPainter.setPen(painter->pen());
                bandPainter.setBrush(painter->brush());
                bandPainter.setLayoutDirection(painter->layoutDirection());
                bandPainter.translate(-whole.left(), -top);
                QProxyStyle::drawComplexControl(control, option, &bandPainter, widget);
            }
            painter->drawImage(whole.left(), top, band);
        }
    }
};

// The style of the check boxes and radio buttons that are taller than their text (to hold their whole box or
// circle): the text keeps the place it has in a control of the text's own height.
constexpr char kTextHeightProperty[] = "dashcamTextHeight";
class OptionTextStyle : public QProxyStyle {
public:
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const int textHeight = widget ? widget->property(kTextHeightProperty).toInt() : 0;
        if ((element == CE_CheckBox || element == CE_RadioButton) && textHeight > 0 &&
            textHeight < option->rect.height()) {
            if (const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option)) {
                // Drawn as in a control of the text's height; the box or circle below it is no longer cut.
                QStyleOptionButton shorter = *button;
                shorter.rect.setHeight(textHeight);
                QProxyStyle::drawControl(element, &shorter, painter, widget);
                return;
            }
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

} // namespace

CBaseDialog::CBaseDialog(int templateId, QWidget* parent)
    : QWidget(parent), templateId_(templateId), backgroundColour_(254, 254, 254) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, backgroundColour_);
    setPalette(palette);
    setAutoFillBackground(true);

    scrollBar_ = new QScrollBar(Qt::Vertical, this);
    scrollBar_->setStyle(SharedStyle<BandedScrollBarStyle>());
    scrollBar_->setRange(0, 0);
    scrollBar_->hide();
    connect(scrollBar_, &QAbstractSlider::actionTriggered, this, &CBaseDialog::OnScrollBarAction);
    PlaceScrollBar();

    // Key presses reach the page before the focused control, so Enter never confirms anything.
    qApp->installEventFilter(this);
}

CBaseDialog::~CBaseDialog() {
    if (qApp)
        qApp->removeEventFilter(this);
}

bool CBaseDialog::Create() {
    if (!created_) {
        created_ = true;
        createResult_ = OnInitDialog();
    }
    return createResult_;
}

QWidget* CBaseDialog::item(int id) const {
    return FindControl(this, id);
}

void CBaseDialog::AdoptItem(int id, QWidget* control) {
    if (!control)
        return;
    if (control->parentWidget() != this)
        control->setParent(this);
    SetControlId(control, id);
    // As in a dialog of the platform the editor comes from: the wheel edits the focused control only, and
    // scrolls the page everywhere else.
    WheelOnlyWhenFocused(control);
    scrollBar_->raise();
}

int CBaseDialog::clientWidth() const {
    return scrollBar_->isVisibleTo(this) ? width() - kScrollBarWidth : width();
}

bool CBaseDialog::OnInitDialog() {
    BeginPageSetUp();
    FinishPageSetUp();
    return true;
}

bool CBaseDialog::SetUpPageControls(bool scaledFonts) {
    BeginPageSetUp();
    CreatePageFonts(scaledFonts);
    Layout();
    FinishPageSetUp();
    if (QWidget* sink = item(focusSinkId_))
        sink->hide();
    OrderTabStopsByPlace();
    return true;
}

void CBaseDialog::OrderTabStopsByPlace() {
    // Tab goes through the page as it is read: row by row from the top, and along a row from the left.
    std::vector<QWidget*> stops;
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (child != scrollBar_ && !child->isHidden() && (child->focusPolicy() & Qt::TabFocus))
            stops.push_back(child);
    std::stable_sort(stops.begin(), stops.end(), [](const QWidget* a, const QWidget* b) {
        return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x();
    });
    for (std::size_t i = 1; i < stops.size(); ++i)
        setTabOrder(stops[i - 1], stops[i]);
}

void CBaseDialog::BeginPageSetUp() {
    setGeometry(0, 0, kPageWidth, kPageHeight);
    update();
    scrollPos = 0;
}

void CBaseDialog::FinishPageSetUp() {
    // The bar's range is 0 … scrollMax + 437 with a page of 437: the thumb reaches scrollMax + 1.
    const int maximum = scrollMax + kPageHeight;
    const bool scrollable = maximum + 1 > kPageHeight;
    QSignalBlocker block(scrollBar_);
    scrollBar_->setRange(0, scrollable ? maximum - kPageHeight + 1 : 0);
    scrollBar_->setPageStep(kPageHeight);
    scrollBar_->setSingleStep(std::max(1, lineStep));
    scrollBar_->setValue(0);
    scrollBar_->setVisible(scrollable);
    scrollBar_->raise();
    PlaceScrollBar();
}

void CBaseDialog::ScrollBy(int delta) {
    scrollPos += delta;
    {
        QSignalBlocker block(scrollBar_);
        scrollBar_->setSliderPosition(scrollPos);
        scrollBar_->setValue(scrollPos);
    }
    ScrollWindow(-delta);
}

void CBaseDialog::ScrollWindow(int dy) {
    if (dy != 0) {
        for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (child != scrollBar_)
                child->move(child->x(), child->y() + dy);
    }
    update();
}

void CBaseDialog::OnMouseWheel(int wheelDelta) {
    int delta = 0;
    if (wheelDelta > 0)
        delta = std::max(-scrollPos, -lineStep);
    else if (wheelDelta < 0)
        delta = std::min(lineStep, scrollMax - scrollPos);
    ScrollBy(delta);
}

void CBaseDialog::OnVScroll(ScrollCode code, int nPos) {
    const int page = scrollBar_->pageStep();
    int delta = 0;
    switch (code) {
    case ScrollCode::LineUp:
        delta = std::max(-scrollPos, -lineStep);
        break;
    case ScrollCode::LineDown:
        delta = std::min(lineStep, scrollMax - scrollPos);
        break;
    case ScrollCode::PageUp:
        delta = std::max(-scrollPos, -page);
        break;
    case ScrollCode::PageDown:
        delta = std::min(page, scrollMax - scrollPos);
        break;
    case ScrollCode::ThumbPosition:
    case ScrollCode::ThumbTrack:
        delta = nPos - scrollPos;
        break;
    default:
        return;
    }
    ScrollBy(delta);
}

const QWidget* CBaseDialog::SectionTitleOf(const QWidget* control) const {
    const int top = control->mapTo(this, QPoint(0, 0)).y();
    const QWidget* title = nullptr;
    for (int id : leaderIds) {
        const QWidget* candidate = item(id);
        if (candidate && candidate != control && candidate->y() <= top && (!title || candidate->y() > title->y()))
            title = candidate;
    }
    return title;
}

void CBaseDialog::ScrollToShow(const QWidget* control) {
    int top = control->mapTo(this, QPoint(0, 0)).y();
    const int bottom = top + control->height();
    // The section title the control stands under comes into view with it, where both fit.
    if (const QWidget* title = SectionTitleOf(control); title && bottom - title->y() <= height())
        top = title->y();
    int delta = 0;
    if (top < 0)
        delta = std::max(top, -scrollPos);
    else if (bottom > height())
        delta = std::min({bottom - height(), top, scrollMax - scrollPos});
    if (delta != 0)
        ScrollBy(delta);
}

void CBaseDialog::OnScrollBarAction(int action) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        OnVScroll(ScrollCode::LineDown, 0);
        break;
    case QAbstractSlider::SliderSingleStepSub:
        OnVScroll(ScrollCode::LineUp, 0);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        OnVScroll(ScrollCode::PageDown, 0);
        break;
    case QAbstractSlider::SliderPageStepSub:
        OnVScroll(ScrollCode::PageUp, 0);
        break;
    case QAbstractSlider::SliderMove:
        OnVScroll(ScrollCode::ThumbTrack, scrollBar_->sliderPosition());
        break;
    case QAbstractSlider::SliderToMinimum:
        OnVScroll(ScrollCode::Top, 0);
        break;
    case QAbstractSlider::SliderToMaximum:
        OnVScroll(ScrollCode::Bottom, 0);
        break;
    default:
        break;
    }
    // The bar shows the page's offset, whatever it would have done on its own.
    scrollBar_->setSliderPosition(scrollPos);
}

void CBaseDialog::PlaceScrollBar() {
    scrollBar_->setGeometry(width() - kScrollBarWidth, 0, kScrollBarWidth, height());
}

void CBaseDialog::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceScrollBar();
}

void CBaseDialog::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), backgroundColour_);
    if (leaderIds.empty())
        return;
    // A line from just after each visible title to near the right edge, at the title's vertical middle.
    painter.setPen(QPen(LeaderColour(), 1));
    const int end = clientWidth() - 15;
    for (int id : leaderIds) {
        const QWidget* control = item(id);
        if (!control || !control->isVisibleTo(this) || control->width() == 0)
            continue;
        const QRect r = control->geometry();
        const int top = r.top();
        const int bottom = r.top() + r.height();
        const int y = top + (bottom - top) / 2;
        const int start = r.width() + 27;
        if (end > start)
            painter.drawLine(start, y, end - 1, y);
    }
}

void CBaseDialog::mousePressEvent(QMouseEvent* event) {
    // A click on the page's background takes the keyboard focus away from the control that had it. The focus
    // goes to the hidden button; a hidden widget cannot hold it here, so the page holds it in its place.
    if (focusSinkId_ != 0) {
        QWidget* sink = item(focusSinkId_);
        if (sink)
            sink->setFocus(Qt::MouseFocusReason);
        if (!sink || !sink->hasFocus())
            setFocus(Qt::MouseFocusReason);
    }
    QWidget::mousePressEvent(event);
}

void CBaseDialog::AddFocusSink(int id) {
    auto* sink = AddItem(id, new QPushButton(this));
    sink->setGeometry(0, 0, 0, 0);
    sink->setAutoDefault(false);
    focusSinkId_ = id;
}

void CBaseDialog::CreatePageFonts(bool scaled) {
    auto height = [scaled](int h) { return scaled ? ToDevice(h) : h; };
    titleFont_ = CellHeightFont(PageFaceName(), height(14), 700);
    boldSmallFont_ = CellHeightFont(PageFaceName(), height(13), 700);
    normalFont_ = CellHeightFont(PageFaceName(), height(13), 400);
}

QSize CBaseDialog::PlaceTitle(int id, std::u16string_view key, int x, int y) {
    const QSize size = PlaceOptionItem(this, id, UiText(key), titleFont_, x, y);
    leaderIds.push_back(id);
    return size;
}

void CBaseDialog::NameAfterCaptions(int id, std::span<const int> captionIds) {
    QWidget* control = item(id);
    if (!control)
        return;
    QStringList texts;
    for (int captionId : captionIds)
        if (const QString text = ControlText(item(captionId)); !text.isEmpty())
            texts << text;
    control->setAccessibleName(texts.join(QLatin1Char(' ')));
    // Where the toolkit names a list box by its current entry, the label relation carries the caption.
    for (int captionId : captionIds) {
        if (auto* label = qobject_cast<QLabel*>(item(captionId)); label && !label->buddy()) {
            label->setBuddy(control);
            break;
        }
    }
}

void CBaseDialog::AddRadioGroup(const std::vector<int>& ids) {
    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    for (int id : ids) {
        // The group keeps one of them checked; the buttons keep their default auto-exclusivity, which the
        // group overrides and which makes assistive technology present them as radio buttons.
        auto* radio = AddItem(id, new QRadioButton(this));
        radio->setGeometry(0, 0, 0, 0);
        group->addButton(radio, id);
        const FormControl* row = form_->Find(id);
        connect(radio, &QAbstractButton::clicked, this, [this, row] { OnFormInput(*row, 1); });
    }
}

void CBaseDialog::SetChecked(int id, bool checked) {
    auto* button = itemAs<QAbstractButton>(id);
    if (!button)
        return;
    // An exclusive group never lets its checked button go; the group steps aside for that moment.
    QButtonGroup* group = button->group();
    const bool exclusive = group && group->exclusive();
    if (exclusive && !checked)
        group->setExclusive(false);
    button->setChecked(checked);
    if (exclusive && !checked)
        group->setExclusive(true);
}

void CBaseDialog::SetEnabled(int id, bool enabled) {
    if (QWidget* w = item(id))
        w->setEnabled(enabled);
}

void CBaseDialog::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0 && event->angleDelta().x() != 0) {
        event->ignore();
        return;
    }
    OnMouseWheel(delta);
    event->accept();
}

bool CBaseDialog::PreTranslateKey(QKeyEvent* event) {
    if (swallowEscape && event->key() == Qt::Key_Escape)
        return true;
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return false;
    // Enter confirms nothing on a page; only a push button of the page that has the focus takes it as a press.
    auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
    if (button && isAncestorOf(button) && button->isEnabled() && !event->isAutoRepeat())
        button->click();
    return true;
}

bool CBaseDialog::eventFilter(QObject* watched, QEvent* event) {
    // The wheel over the scroll bar scrolls the page like anywhere else on it.
    if (watched == scrollBar_ && event->type() == QEvent::Wheel) {
        OnMouseWheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
        return true;
    }
    // Tab brings the control it gives the focus to into view; a click leaves the page where it is.
    if (event->type() == QEvent::FocusIn && watched != scrollBar_ && watched->isWidgetType() &&
        isAncestorOf(static_cast<QWidget*>(watched))) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)
            ScrollToShow(static_cast<QWidget*>(watched));
    }
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget == this || isAncestorOf(widget))
            if (PreTranslateKey(static_cast<QKeyEvent*>(event)))
                return true;
    }
    return QWidget::eventFilter(watched, event);
}

int CBaseDialog::MeasureTextWidth(const QString& text, const QFont& font) {
    return MeasureText(text, font).width();
}

void CBaseDialog::ApplyText(int id, const QFont& font, const QString& text, int x, int y, int width,
                            int height, bool autoWidth, bool setText) {
    QWidget* child = item(id);
    if (!child)
        return;
    child->setFont(font);
    if (setText)
        SetControlText(child, text);
    int w = width;
    if (autoWidth) {
        w = MeasureTextWidth(text, font);
        if (setText && w > 0)
            w += 4 * QFontMetrics(font).horizontalAdvance(QLatin1Char(' '));
    }
    child->setGeometry(x, y, w, height);
    child->update();
}

void CBaseDialog::SetItemText(int id, const QFont& font, const QString& text, int x, int y, int width,
                              int height, bool autoWidth) {
    ApplyText(id, font, text, x, y, width, height, autoWidth, true);
}

void CBaseDialog::SetItemFont(int id, const QFont& font, const QString& text, int x, int y, int width,
                              int height, bool autoWidth) {
    ApplyText(id, font, text, x, y, width, height, autoWidth, false);
}

QSize CBaseDialog::MoveItem(QWidget* parent, int id, int x, int y, int width, int height) {
    // A missing child is skipped rather than trusted to exist.
    if (QWidget* child = FindControl(parent ? parent : this, id)) {
        child->setGeometry(x, y, width, height);
        child->update();
    }
    return QSize(width, height);
}

int CBaseDialog::TextRowHeight(const QWidget* control) {
    const int textHeight = control->property(kTextHeightProperty).toInt();
    return textHeight > 0 ? textHeight : control->height();
}

int CBaseDialog::IndicatorHeight(const QWidget* control) {
    if (qobject_cast<const QRadioButton*>(control))
        return control->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, nullptr, control);
    if (qobject_cast<const QCheckBox*>(control))
        return control->style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, control);
    return 0;
}

QSize CBaseDialog::PlaceOptionItem(QWidget* parent, int id, const QString& text, const QFont& font, int x,
                                   int y) {
    QWidget* child = FindControl(parent ? parent : this, id);
    if (!child)
        return QSize(0, 0);
    const QString trimmed = text.trimmed();
    child->setFont(font);
    SetControlText(child, trimmed);
    const int measuredHeight = MeasureTextHeight(trimmed, child->font());
    const int w = MeasureTextWidth(trimmed, font);
    const int width = w > 0 ? w + 30 : 25;
    // A check box or radio button is at least as tall as its box or circle, which would lose its bottom row.
    const int textHeight = measuredHeight > 0 ? measuredHeight : 25;
    const int height = std::max(textHeight, IndicatorHeight(child));
    if (height > textHeight) {
        child->setProperty(kTextHeightProperty, textHeight);
        if (child->style() != SharedStyle<OptionTextStyle>())
            child->setStyle(SharedStyle<OptionTextStyle>());
    }
    child->setGeometry(x, y, width, height);
    child->update();
    return QSize(width, height);
}

} // namespace dashcam
