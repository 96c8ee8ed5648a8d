#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

#include "i18n/language_table.h"
#include "pages/etc_dlg.h"
#include "platform/prompt.h"
#include "settings/card.h"
#include "settings/settings_record.h"
#include "page_test_env.h"
#include "support/temp_dir.h"
#include "ui/dpi_scale.h"
#include "ui/fonts.h"

using dashcam::CEtcDlg;
using dashcam::SettingsRecord;

namespace {

const QColor kPageColour(254, 254, 254);

class MemoryCardPageTest : public dashcam::test::PageTest<CEtcDlg> {
protected:
    QString percentage(int k) { return page_->itemAs<QLabel>(CEtcDlg::kFirstPercentage + k)->text(); }
    void Click(int id) { QTest::mouseClick(button(id), Qt::LeftButton, {}, QPoint(6, button(id)->height() / 2)); }

    // Lengths of the five bars as painted: the run of non-background pixels from the diagram's origin along
    // the middle row of each bar.
    std::vector<int> PaintedBars() {
        const QImage image = page_->grab().toImage();
        const QPoint origin = page_->DiagramOrigin();
        std::vector<int> lengths;
        for (int k = 0; k < CEtcDlg::kKinds; ++k) {
            const int y = origin.y() + 30 * k + 7;
            int x = origin.x();
            while (x < image.width() && image.pixelColor(x, y) != kPageColour)
                ++x;
            // Nothing of the bar stands before its origin.
            EXPECT_EQ(image.pixelColor(origin.x() - 1, y), kPageColour) << k;
            lengths.push_back(x - origin.x());
        }
        return lengths;
    }
    std::vector<QString> Percentages() {
        std::vector<QString> texts;
        for (int k = 0; k < CEtcDlg::kKinds; ++k)
            texts.push_back(percentage(k));
        return texts;
    }

};

} // namespace

TEST_F(MemoryCardPageTest, RowsFollowTheirTextsAndThePageScrollsSixtySevenPixels) {
    EXPECT_EQ(page_->scrollMaximum(), 67);
    EXPECT_EQ(page_->scrollLineStep(), 100);
    EXPECT_EQ(page_->leaders(), (std::vector<int>{1305, 1340, 1300}));

    const QWidget* typeA = page_->item(CEtcDlg::kTypeA);
    const QWidget* typeB = page_->item(CEtcDlg::kTypeB);
    EXPECT_EQ(typeA->pos(), QPoint(25, 45));
    EXPECT_EQ(typeB->x(), 25 + typeA->width() + 30);
    EXPECT_EQ(page_->item(CEtcDlg::kTypeC)->x(), typeB->x() + typeB->width() + 100);

    // The percentages stand right of the widest legend, in boxes sized for "000", right-aligned.
    int widest = 0;
    for (int k = 0; k < CEtcDlg::kKinds; ++k) {
        EXPECT_EQ(page_->item(CEtcDlg::kFirstLegend + k)->pos(), QPoint(25, 85 + 30 * k));
        widest = std::max(widest, page_->item(CEtcDlg::kFirstLegend + k)->width());
    }
    const int boxWidth = CEtcDlg::MeasureTextWidth(QStringLiteral("000"), page_->normalFont()) + 30;
    for (int k = 0; k < CEtcDlg::kKinds; ++k) {
        const auto* label = page_->itemAs<QLabel>(CEtcDlg::kFirstPercentage + k);
        EXPECT_EQ(label->geometry(), QRect(widest + 50, 85 + 30 * k, boxWidth, label->height()));
        EXPECT_TRUE(label->alignment() & Qt::AlignRight);
    }

    // "Format" has six characters: 6 × 6 + 40 by 30.
    EXPECT_EQ(page_->item(CEtcDlg::kFormatButton)->geometry(), QRect(25, 284, 76, 30));
    EXPECT_EQ(page_->item(1323)->pos(), QPoint(25, 474));
}

TEST_F(MemoryCardPageTest, DiagramAndPercentagesFollowThePartitionType) {
    struct Case {
        std::uint32_t partition;
        std::vector<int> bars;
        std::vector<QString> texts;
        int checked; // radio button, 0 for none
    };
    const Case cases[] = {
        {1, {279, 90, 22, 13, 45}, {"62.0%", "20.0%", "5.0%", "3.0%", "10.0%"}, CEtcDlg::kTypeA},
        {2, {166, 67, 22, 13, 180}, {"37.0%", "15.0%", "5.0%", "3.0%", "40.0%"}, CEtcDlg::kTypeB},
        {3, {247, 67, 67, 22, 45}, {"55.0%", "15.0%", "15.0%", "5.0%", "10.0%"}, CEtcDlg::kTypeC},
        {0, {272, 90, 22, 13, 45}, {"60.6%", "20.0%", "5.0%", "3.0%", "10.0%"}, 0},
    };
    for (const Case& c : cases) {
        record().setMemoryPartition(c.partition);
        page_->Refresh();
        EXPECT_EQ(PaintedBars(), c.bars) << c.partition;
        EXPECT_EQ(Percentages(), c.texts) << c.partition;
        for (int id : {CEtcDlg::kTypeA, CEtcDlg::kTypeB, CEtcDlg::kTypeC})
            EXPECT_EQ(button(id)->isChecked(), id == c.checked) << c.partition << " " << id;
        EXPECT_EQ(record().memoryPartition(), c.partition); // refresh never writes
    }
}

TEST_F(MemoryCardPageTest, ClickStoresTheTypeAndRedrawsAtOnce) {
    ASSERT_EQ(record().memoryPartition(), 1u);
    Click(CEtcDlg::kTypeB);
    EXPECT_EQ(record().memoryPartition(), 2u);
    EXPECT_EQ(PaintedBars(), (std::vector<int>{166, 67, 22, 13, 180}));
    EXPECT_EQ(percentage(4), "40.0%");

    record().setMemoryPartition(3);
    page_->Refresh();
    EXPECT_TRUE(button(CEtcDlg::kTypeC)->isChecked());
    EXPECT_FALSE(button(CEtcDlg::kTypeB)->isChecked());
    EXPECT_EQ(PaintedBars(), (std::vector<int>{247, 67, 67, 22, 45}));
}

TEST_F(MemoryCardPageTest, ScrollingMovesTheBarsWithTheLabels) {
    const QPoint before = page_->DiagramOrigin();
    EXPECT_EQ(before.x(), page_->item(CEtcDlg::kFirstPercentage)->geometry().right() + 1 + 10);
    // 21 below the row of the type A text (its circle reaches one row lower).
    const QWidget* typeA = page_->item(CEtcDlg::kTypeA);
    EXPECT_EQ(before.y(), typeA->y() + CEtcDlg::TextRowHeight(typeA) + 21);
    page_->OnVScroll(CEtcDlg::ScrollCode::ThumbPosition, 67);
    EXPECT_EQ(page_->DiagramOrigin(), before - QPoint(0, 67));
    EXPECT_EQ(PaintedBars(), (std::vector<int>{279, 90, 22, 13, 45}));
}

TEST_F(MemoryCardPageTest, OverwriteBoxesWriteTheirFieldsAndContinuousNeverChanges) {
    using Getter = std::uint32_t (SettingsRecord::*)() const;
    const std::pair<int, Getter> boxes[] = {{1320, &SettingsRecord::overwriteContinuousIncident},
                                            {1321, &SettingsRecord::overwriteParkingMotion},
                                            {1322, &SettingsRecord::overwriteParkingIncident},
                                            {1323, &SettingsRecord::overwriteManual}};
    for (const auto& [id, get] : boxes) {
        const bool was = button(id)->isChecked();
        EXPECT_EQ((record().*get)(), was ? 1u : 0u) << id;
        Click(id);
        EXPECT_EQ((record().*get)(), was ? 0u : 1u) << id;
        Click(id);
        EXPECT_EQ((record().*get)(), was ? 1u : 0u) << id;
    }
    record().setOverwriteManual(0);
    page_->Refresh();
    EXPECT_FALSE(button(1323)->isChecked());

    const std::vector<std::uint8_t> before(record().bytes.begin(), record().bytes.end());
    Click(CEtcDlg::kContinuousOverwrite);
    EXPECT_TRUE(button(CEtcDlg::kContinuousOverwrite)->isChecked());
    EXPECT_FALSE(button(CEtcDlg::kContinuousOverwrite)->isEnabled());
    EXPECT_EQ(std::vector<std::uint8_t>(record().bytes.begin(), record().bytes.end()), before);
}

TEST_F(MemoryCardPageTest, KeysAndBackgroundClick) {
    host_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(host_.get()));
    button(1321)->setFocus();
    const std::uint32_t manual = record().overwriteManual();
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(button(1321), key);
    EXPECT_TRUE(host_->isVisible());
    EXPECT_EQ(record().overwriteManual(), manual);
    QTest::mouseClick(page_, Qt::LeftButton, {}, QPoint(600, 200));
    EXPECT_FALSE(button(1321)->hasFocus());
}
