#include <QApplication>
#include <QFont>
#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ui/sub_slider.h"

using dashcam::CSubSlider;

namespace {

std::vector<int> Indices(const std::vector<std::pair<int, float>>& positions) {
    std::vector<int> out;
    for (const auto& p : positions)
        out.push_back(p.first);
    return out;
}

QFont LabelFont() {
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(13);
    return font;
}

void SendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

} // namespace

TEST(SubSliderLabels, EveryLabelOnThreeHundredPixels) {
    const auto positions = CSubSlider::LabelPositions(0, 300, 5, 0x10);
    ASSERT_EQ(positions.size(), 5u);
    const float expected[] = {14.0f, 82.25f, 150.5f, 218.75f, 287.0f};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(positions[k].first, k);
        EXPECT_FLOAT_EQ(positions[k].second, expected[k]);
    }
}

TEST(SubSliderLabels, FlagsSelectLabelsInDrawingOrder) {
    EXPECT_THAT(Indices(CSubSlider::LabelPositions(0, 300, 5, 0x09)), testing::ElementsAre(0, 4, 2));
    EXPECT_THAT(Indices(CSubSlider::LabelPositions(0, 300, 5, 0x05)), testing::ElementsAre(0, 4, 3));
    // Bit 4 wins over the others.
    EXPECT_THAT(Indices(CSubSlider::LabelPositions(0, 300, 4, 0x1D)), testing::ElementsAre(0, 1, 2, 3));
    EXPECT_TRUE(CSubSlider::LabelPositions(0, 300, 1, 0x10).empty());
    EXPECT_TRUE(CSubSlider::LabelPositions(0, 300, 1, 0x0D).empty());
    EXPECT_TRUE(CSubSlider::LabelPositions(0, 300, 5, 0).empty());
    EXPECT_TRUE(CSubSlider::LabelPositions(0, 300, 0, 0x10).empty());
}

TEST(SubSliderLabels, MiddleAndEndPositionsAreTruncated) {
    // Eight voltage labels on a 350-pixel slider: step 323 / 7.
    const auto positions = CSubSlider::LabelPositions(0, 350, 8, 0x05);
    ASSERT_EQ(positions.size(), 3u);
    EXPECT_FLOAT_EQ(positions[0].second, 14.0f);
    EXPECT_FLOAT_EQ(positions[1].second, 337.0f);
    EXPECT_EQ(positions[2].first, 4);
    EXPECT_FLOAT_EQ(positions[2].second, 198.0f); // 14 + 4 * 46.14...
    // Three labels with 0x08 on 300 pixels: label 1 at 14 + 136.5, truncated.
    const auto mid = CSubSlider::LabelPositions(0, 300, 3, 0x08);
    ASSERT_EQ(mid.size(), 1u);
    EXPECT_FLOAT_EQ(mid[0].second, 150.0f);
}

TEST(SubSliderLabels, AppendingKeepsEarlierLabelsAndReplacesFlags) {
    CSubSlider slider;
    slider.SetTickLabels({"1", "2"}, 0x01);
    slider.SetTickLabels({"3"}, 0x10);
    EXPECT_EQ(slider.tickLabels(), QStringList({"1", "2", "3"}));
    EXPECT_EQ(slider.labelFlags(), 0x10u);
}

TEST(SubSliderLabels, TextSitsOnTheBottomEdgeHalfItsWidthLeftOfTheTick) {
    const QFont font = LabelFont();
    CSubSlider slider;
    slider.resize(300, 55);
    slider.SetLabelFont(&font);
    slider.SetTickLabels({"OFF", "1", "3", "5"}, 0x10);
    const auto layout = slider.LabelLayout();
    ASSERT_EQ(layout.size(), 4u);
    const QFontMetrics metrics(font);
    for (const auto& label : layout) {
        const int w =
            metrics.boundingRect(QRect(), Qt::AlignLeft | Qt::AlignTop, slider.tickLabels()[label.index])
                .width();
        EXPECT_EQ(label.rect.left(), static_cast<int>(label.x - static_cast<float>(w / 2)));
        EXPECT_EQ(label.rect.bottom(), 54);
        EXPECT_EQ(label.rect.height(), metrics.height());
    }
}

TEST(SubSliderLabels, OnlySelectedLabelsArePainted) {
    const QFont font = LabelFont();
    CSubSlider slider;
    slider.setRange(1, 5);
    slider.resize(300, 55);
    slider.SetLabelFont(&font);
    slider.SetTickLabels({"1", "2", "3", "4", "5"}, 0x09);
    QPalette palette = slider.palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    slider.setPalette(palette);
    const QImage image = slider.grab().toImage();
    auto redInColumns = [&](int from, int to) {
        int count = 0;
        for (int y = 40; y < 55; ++y)
            for (int x = std::max(0, from); x < std::min(300, to); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() > 150 && c.green() < 110 && c.blue() < 110)
                    ++count;
            }
        return count;
    };
    EXPECT_GT(redInColumns(8, 22), 0);    // "1" at 14
    EXPECT_GT(redInColumns(144, 158), 0); // "3" at 150
    EXPECT_GT(redInColumns(281, 295), 0); // "5" at 287
    EXPECT_EQ(redInColumns(76, 90), 0);   // "2" is not drawn
    EXPECT_EQ(redInColumns(212, 226), 0); // nor "4"
}

TEST(SubSliderLabels, ThumbCentreMeetsTheLabelPositions) {
    CSubSlider slider;
    slider.setRange(0, 3);
    slider.resize(350, 55);
    slider.SetTickLabels({"6", "12", "24", "48"}, 0x10);
    const auto positions = CSubSlider::LabelPositions(0, 350, 4, 0x10);
    for (int p = 0; p <= 3; ++p) {
        slider.setValue(p);
        EXPECT_NEAR(slider.HandleRect().center().x(), positions[p].second, 2.0) << "position " << p;
    }
}

TEST(SubSliderLabels, TickMarksStandUnderTheThumbCentreAndTheLabels) {
    CSubSlider slider;
    const QFont font = LabelFont();
    slider.SetLabelFont(&font);
    slider.SetTickLabels({"OFF", "1", "3", "5"}, 0x10);
    slider.setRange(0, 3);
    slider.resize(350, 55);
    const QImage image = slider.grab().toImage();
    const QColor background = image.pixelColor(1, 1);
    // The columns of the top row of tick marks.
    std::vector<int> columns;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 1; y <= 4; ++y)
            if (image.pixelColor(x, y) != background) {
                columns.push_back(x);
                break;
            }
    std::vector<int> centres;
    for (int p = 0; p <= 3; ++p) {
        slider.setValue(p);
        centres.push_back(slider.HandleRect().center().x());
        EXPECT_EQ(slider.TickX(p), centres.back());
    }
    EXPECT_EQ(columns, centres);
    const auto labels = slider.LabelLayout();
    ASSERT_EQ(labels.size(), 4u);
    for (int p = 0; p <= 3; ++p)
        EXPECT_NEAR(labels[static_cast<std::size_t>(p)].x, centres[static_cast<std::size_t>(p)], 1.0) << p;
}

TEST(SubSliderTooltip, TextByKindAndPosition) {
    EXPECT_EQ(CSubSlider::TooltipTextFor(0, 3), "3");
    EXPECT_EQ(CSubSlider::TooltipTextFor(2, 4), "12.0");
    EXPECT_EQ(CSubSlider::TooltipTextFor(3, 4), "24.0");
    EXPECT_EQ(CSubSlider::TooltipTextFor(2, 0), "11.6");
    EXPECT_EQ(CSubSlider::TooltipTextFor(2, 7), "12.3");
    EXPECT_EQ(CSubSlider::TooltipTextFor(3, 7), "24.6");
    EXPECT_EQ(CSubSlider::TooltipTextFor(5, 0), "0");
    EXPECT_EQ(CSubSlider::TooltipTextFor(5, 2), "3");
    EXPECT_EQ(CSubSlider::TooltipTextFor(4, 0), "6");
    EXPECT_EQ(CSubSlider::TooltipTextFor(1, 3), "48");
    EXPECT_EQ(CSubSlider::TooltipTextFor(9, 7), "7");
    // Outside a table there is no value: the position itself is shown rather than reading past the table.
    EXPECT_EQ(CSubSlider::TooltipTextFor(4, 4), "4");
    EXPECT_EQ(CSubSlider::TooltipTextFor(2, -1), "-1");
}

TEST(SubSliderTooltip, FollowsTheThumbWhileDragging) {
    CSubSlider slider;
    slider.setRange(0, 7);
    slider.SetTooltipKind(2);
    slider.resize(350, 55);
    slider.setValue(0);
    slider.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&slider));

    QSignalSpy spy(&slider, &CSubSlider::scrolled);
    const auto positions = CSubSlider::LabelPositions(0, 350, 8, 0x10);
    const int y = slider.HandleRect().center().y();
    SendMouse(&slider, QEvent::MouseButtonPress, QPoint(slider.HandleRect().center().x(), y), Qt::LeftButton);
    EXPECT_TRUE(slider.isSliderDown());
    EXPECT_EQ(QToolTip::text(), "11.6");
    for (int p = 1; p <= 4; ++p)
        SendMouse(&slider, QEvent::MouseMove, QPoint(static_cast<int>(positions[p].second), y),
                  Qt::LeftButton);
    // Every step of the drag reached the page, with the thumb's position at that step.
    ASSERT_EQ(spy.count(), 4);
    for (int p = 1; p <= 4; ++p)
        EXPECT_EQ(spy.at(p - 1).at(0).toInt(), p);
    EXPECT_EQ(QToolTip::text(), "12.0");
    SendMouse(&slider, QEvent::MouseButtonRelease, QPoint(static_cast<int>(positions[4].second), y),
              Qt::NoButton);
    EXPECT_EQ(slider.value(), 4);
}

TEST(SubSliderMoves, KeysWheelAndClicksReachThePageButSetValueDoesNot) {
    CSubSlider slider;
    slider.setRange(1, 5);
    slider.resize(350, 55);
    slider.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&slider));
    QSignalSpy spy(&slider, &CSubSlider::scrolled);

    slider.setValue(3);
    EXPECT_EQ(spy.count(), 0);

    QTest::keyClick(&slider, Qt::Key_Right);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.takeFirst().at(0).toInt(), 4);
    QTest::keyClick(&slider, Qt::Key_End);
    QTest::keyClick(&slider, Qt::Key_Right); // already at the end: still reported
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(1).at(0).toInt(), 5);
    spy.clear();

    QWheelEvent wheel(QPointF(100, 20), slider.mapToGlobal(QPointF(100, 20)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    slider.clearFocus();
    QApplication::sendEvent(&slider, &wheel); // without the focus the wheel is not the slider's
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(slider.value(), 5);
    slider.setFocus();
    ASSERT_TRUE(slider.hasFocus());
    QApplication::sendEvent(&slider, &wheel);
    ASSERT_GE(spy.count(), 1);
    EXPECT_EQ(spy.last().at(0).toInt(), slider.value());
    EXPECT_EQ(slider.value(), 4);
    spy.clear();

    // The keys of the platform's trackbar: Up, Left and Page Up towards the minimum, the others towards the
    // maximum.
    slider.setRange(0, 10);
    const std::pair<Qt::Key, int> keys[] = {{Qt::Key_Up, 4},       {Qt::Key_Left, 4},  {Qt::Key_Down, 6},
                                            {Qt::Key_Right, 6},    {Qt::Key_PageUp, 3}, {Qt::Key_PageDown, 7},
                                            {Qt::Key_Home, 0},     {Qt::Key_End, 10}};
    for (const auto& [key, expected] : keys) {
        slider.setValue(5);
        spy.clear();
        QTest::keyClick(&slider, key);
        EXPECT_EQ(slider.value(), expected) << key;
        ASSERT_EQ(spy.count(), 1) << key;
        EXPECT_EQ(spy.at(0).at(0).toInt(), expected) << key;
    }
    slider.setRange(1, 5);
    spy.clear();

    // A click on the channel left of the thumb moves one page (a fifth of the range, at least one).
    slider.setValue(5);
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(20, slider.HandleRect().center().y()));
    ASSERT_GE(spy.count(), 1);
    EXPECT_EQ(slider.value(), 4);
    EXPECT_EQ(spy.last().at(0).toInt(), 4);
}
