#pragma once
// The editor's horizontal slider: a standard slider with a row of text labels drawn under the channel at the
// tick positions, and a tooltip that shows, while the thumb is dragged, the position or the value it stands
// for.
#include <QSlider>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

#include "settings/slider_scale.h"

class QFont;

namespace dashcam {

class CSubSlider : public QSlider {
    Q_OBJECT
public:
    // Which labels are drawn.
    static constexpr std::uint32_t kLabelEnds = kTickLabelEnds;
    static constexpr std::uint32_t kLabelUpperMid = kTickLabelUpperMid;
    static constexpr std::uint32_t kLabelLowerMid = kTickLabelLowerMid;
    static constexpr std::uint32_t kLabelEvery = kTickLabelEvery;

    explicit CSubSlider(QWidget* parent = nullptr);

    // The font is borrowed from the page and must outlive the slider.
    void SetLabelFont(const QFont* font) { labelFont_ = font; }
    // Appends the labels to the ones already held and replaces the flags.
    void SetTickLabels(const QStringList& labels, std::uint32_t flags);
    // The positions of `scale`, one tick each, labelled with the scale's tick texts as `flags` selects.
    void SetScale(const SliderScale& scale, std::uint32_t flags);
    void SetTooltipKind(int kind) { tooltipKind_ = kind; }

    int tooltipKind() const { return tooltipKind_; }
    std::uint32_t labelFlags() const { return labelFlags_; }
    const QStringList& tickLabels() const { return tickLabels_; }
    const QFont* labelFont() const { return labelFont_; }

    // The tooltip text for the current thumb position, and for any kind and position.
    QString TooltipText() const;
    static QString TooltipTextFor(int kind, int position);

    // One label as it is drawn: its number, the tick position it belongs to and its text rectangle (Qt's
    // inclusive rectangle, bottom on the slider's bottom edge).
    struct LabelPlacement {
        int index = 0;
        float x = 0;
        QRect rect;
    };
    // The labels that the flags select, in drawing order, for the slider's current size and label font.
    std::vector<LabelPlacement> LabelLayout() const;
    // The tick positions for a client area from `left` to `right` (exclusive) with `count` labels, before any
    // label is measured.
    static std::vector<std::pair<int, float>> LabelPositions(int left, int right, int count,
                                                             std::uint32_t flags);

    // Where the thumb is drawn for the current position, in the slider's coordinates.
    QRect HandleRect() const;
    // Where the tick mark of `value` stands: the thumb's centre at that value.
    int TickX(int value) const;

signals:
    // Every position change made by the user (key, wheel, click, each step of a drag), and every key press
    // even when the thumb is already at the end. Programmatic setValue does not emit it.
    void scrolled(int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void initStyleOption(QStyleOptionSlider* option) const override;
    void sliderChange(SliderChange change) override;
    // Up and Left step towards the minimum, Down and Right towards the maximum; Page Up a page towards the
    // minimum, Page Down towards the maximum; Home and End to the ends.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnAction(int action);
    void ShowValueTip();
    QFont EffectiveLabelFont() const;

    int tooltipKind_ = 0;
    const QFont* labelFont_ = nullptr;
    std::uint32_t labelFlags_ = 0;
    QStringList tickLabels_;
};

} // namespace dashcam
