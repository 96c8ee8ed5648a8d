#include "ui/sub_slider.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QStylePainter>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QToolTip>

#include <algorithm>
#include <array>
#include <cmath>

#include "settings/slider_scale.h"
#include "ui/controls.h"

namespace dashcam {
namespace {

// Where the first and the last tick sit, measured from the left and the right end of the slider.
constexpr int kFirstTickOffset = 14;
constexpr int kTickSpanMargin = 27;

// The scale whose values a tooltip kind shows; none for kind 0 and unknown kinds, which show the position.
const SliderScale* ScaleOfTooltipKind(int kind) {
    switch (kind) {
    case 1:
    case 4:
        return &kRecordTimerScale;
    case 2:
        return &kCutoff12VScale;
    case 3:
        return &kCutoff24VScale;
    case 5:
        return &kMotionSensitivityScale;
    default:
        return nullptr;
    }
}

} // namespace

CSubSlider::CSubSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setTickPosition(QSlider::TicksBothSides);
    setTickInterval(1);
    setFocusPolicy(Qt::StrongFocus);
    setTracking(true);
    // The wheel moves the slider only while it has the keyboard focus, as on the platform the editor comes from.
    WheelOnlyWhenFocused(this);
    connect(this, &QAbstractSlider::actionTriggered, this, &CSubSlider::OnAction);
    connect(this, &QAbstractSlider::sliderPressed, this, &CSubSlider::ShowValueTip);
    connect(this, &QAbstractSlider::sliderReleased, this, [] { QToolTip::hideText(); });
}

void CSubSlider::SetScale(const SliderScale& scale, std::uint32_t flags) {
    QStringList texts;
    for (int position = scale.minimum; position <= scale.maximum; ++position)
        texts.append(QString::fromStdString(scale.TickText(position)));
    SetTickLabels(texts, flags);
    setRange(scale.minimum, scale.maximum);
    setTickInterval(1);
}

void CSubSlider::SetTickLabels(const QStringList& labels, std::uint32_t flags) {
    tickLabels_.append(labels);
    labelFlags_ = flags;
    update();
}

QString CSubSlider::TooltipText() const {
    return TooltipTextFor(tooltipKind_, sliderPosition());
}

QString CSubSlider::TooltipTextFor(int kind, int p) {
    // A position outside a kind's table has no value to show; the raw position is shown instead.
    const SliderScale* scale = ScaleOfTooltipKind(kind);
    return scale ? QString::fromStdString(scale->ValueText(p)) : QString::number(p);
}

std::vector<std::pair<int, float>> CSubSlider::LabelPositions(int left, int right, int count,
                                                              std::uint32_t flags) {
    std::vector<std::pair<int, float>> out;
    const int n = count;
    if (n < 1)
        return out;
    const float x0 = static_cast<float>(left + kFirstTickOffset);
    // With a single label the step is never used (every path below needs two labels).
    const float step =
        n > 1 ? static_cast<float>(right - left - kTickSpanMargin) / static_cast<float>(n - 1) : 0.0f;
    auto truncated = [](float v) { return static_cast<float>(static_cast<int>(v)); };

    if (flags & kLabelEvery) {
        if (n > 1) {
            float x = x0;
            for (int k = 0; k < n; ++k) {
                out.emplace_back(k, x);
                x += step;
            }
        }
        return out;
    }
    if (n < 2)
        return out;
    if (flags & kLabelEnds) {
        out.emplace_back(0, x0);
        out.emplace_back(n - 1, truncated(x0 + step * static_cast<float>(n - 1)));
    }
    if (flags & kLabelUpperMid) {
        const int k = (n + 1) / 2;
        if (k < n)
            out.emplace_back(k, truncated(x0 + step * static_cast<float>(k)));
    }
    if (flags & kLabelLowerMid) {
        const int k = (n - 1) / 2;
        out.emplace_back(k, truncated(x0 + step * static_cast<float>(k)));
    }
    return out;
}

QFont CSubSlider::EffectiveLabelFont() const {
    return labelFont_ ? *labelFont_ : font();
}

std::vector<CSubSlider::LabelPlacement> CSubSlider::LabelLayout() const {
    std::vector<LabelPlacement> out;
    const QRect client = rect();
    const int left = client.left();
    const int right = client.left() + client.width();
    const int bottom = client.top() + client.height();
    const QFontMetrics metrics(EffectiveLabelFont());
    for (const auto& [index, x] :
         LabelPositions(left, right, static_cast<int>(tickLabels_.size()), labelFlags_)) {
        const QString& text = tickLabels_[index];
        const QRect measured = metrics.boundingRect(QRect(0, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, text);
        const int w = measured.width();
        const int h = measured.height();
        const int l = static_cast<int>(x - static_cast<float>(w / 2));
        const int r = static_cast<int>(x + static_cast<float>(w));
        LabelPlacement placement;
        placement.index = index;
        placement.x = x;
        placement.rect = QRect(QPoint(l, bottom - h), QPoint(r - 1, bottom - 1));
        out.push_back(placement);
    }
    return out;
}

void CSubSlider::paintEvent(QPaintEvent* /*event*/) {
    // Channel and thumb by the style; the tick marks here, under the thumb's centre at each value (the style
    // would measure them from the slider's edge and not from the channel it draws).
    QStyleOptionSlider option;
    initStyleOption(&option);
    {
        QStylePainter stylePainter(this);
        option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
        if (isSliderDown()) {
            option.activeSubControls = QStyle::SC_SliderHandle;
            option.state |= QStyle::State_Sunken;
        }
        stylePainter.drawComplexControl(QStyle::CC_Slider, option);
        if (tickPosition() != NoTicks && tickInterval() > 0) {
            const int tickSize = style()->pixelMetric(QStyle::PM_SliderTickmarkOffset, &option, this);
            stylePainter.setPen(QColor(34, 100, 141));
            const QRect& r = option.rect;
            for (int v = minimum(); v <= maximum(); v += tickInterval()) {
                // The ticks at the ends are one pixel longer.
                const int extra = (v == minimum() || v == maximum()) ? 1 : 2;
                const int x = TickX(v);
                if (tickPosition() & TicksAbove)
                    stylePainter.drawLine(x, r.top() + extra, x, r.top() + tickSize);
                if (tickPosition() & TicksBelow)
                    stylePainter.drawLine(x, r.bottom() - extra, x, r.bottom() - tickSize);
                if (v > maximum() - tickInterval())
                    break;
            }
        }
    }
    if (tickLabels_.isEmpty())
        return;
    QPainter painter(this);
    painter.setFont(EffectiveLabelFont());
    painter.setPen(palette().color(QPalette::Active, QPalette::WindowText));
    painter.setBackgroundMode(Qt::TransparentMode);
    for (const LabelPlacement& label : LabelLayout())
        painter.drawText(label.rect, Qt::AlignLeft | Qt::AlignTop, tickLabels_[label.index]);
}

void CSubSlider::initStyleOption(QStyleOptionSlider* option) const {
    QSlider::initStyleOption(option);
    // The thumb travels so that its centre meets the label positions: from 14 pixels after the left end to 13
    // before the right end. The labels keep the bottom of the slider for themselves.
    const int length = style()->pixelMetric(QStyle::PM_SliderLength, option, this);
    const int insetLeft = std::max(0, kFirstTickOffset - length / 2);
    const int insetRight = std::max(0, kTickSpanMargin - kFirstTickOffset - (length + 1) / 2);
    QRect r = option->rect.adjusted(insetLeft, 0, -insetRight, 0);
    if (!tickLabels_.isEmpty()) {
        const int labelHeight = QFontMetrics(EffectiveLabelFont()).height();
        const int channelHeight = r.height() - labelHeight;
        if (channelHeight >= 20)
            r.setHeight(channelHeight);
    }
    option->rect = r;
}

void CSubSlider::sliderChange(SliderChange change) {
    if (change == SliderRangeChange)
        setPageStep(std::max(1, (maximum() - minimum()) / 5));
    QSlider::sliderChange(change);
}

void CSubSlider::OnAction(int) {
    // The thumb position is already the new one; the value follows when the action ends.
    if (isSliderDown())
        ShowValueTip();
    emit scrolled(sliderPosition());
}

QRect CSubSlider::HandleRect() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
}

int CSubSlider::TickX(int value) const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    const int length = style()->pixelMetric(QStyle::PM_SliderLength, &option, this);
    return option.rect.left() +
           QStyle::sliderPositionFromValue(minimum(), maximum(), value, option.rect.width() - length) + length / 2;
}

void CSubSlider::keyPressEvent(QKeyEvent* event) {
    SliderAction action = SliderNoAction;
    switch (event->key()) {
    case Qt::Key_Up:
        action = SliderSingleStepSub;
        break;
    case Qt::Key_Down:
        action = SliderSingleStepAdd;
        break;
    case Qt::Key_PageUp:
        action = SliderPageStepSub;
        break;
    case Qt::Key_PageDown:
        action = SliderPageStepAdd;
        break;
    default:
        QSlider::keyPressEvent(event);
        return;
    }
    triggerAction(action);
    event->accept();
}

void CSubSlider::ShowValueTip() {
    const QRect handle = HandleRect();
    QToolTip::showText(mapToGlobal(QPoint(handle.center().x(), handle.top() - 24)), TooltipText(), this);
}

} // namespace dashcam
