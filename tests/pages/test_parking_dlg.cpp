#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "i18n/language_table.h"
#include "pages/parking_dlg.h"
#include "platform/prompt.h"
#include "settings/card.h"
#include "settings/settings_record.h"
#include "page_test_env.h"
#include "support/temp_dir.h"
#include "ui/dpi_scale.h"
#include "ui/fonts.h"
#include "ui/sub_slider.h"

using dashcam::CParkingDlg;
using dashcam::CSubSlider;
using dashcam::SettingsRecord;
namespace prompt = dashcam::prompt;

namespace {


class ParkingPageTest : public dashcam::test::PageTest<CParkingDlg> {
protected:
    CSubSlider* slider(int id) { return page_->slider(id); }
    bool enabled(int id) { return page_->item(id)->isEnabled(); }
    // Enablement of 1160, 1161, 1162, 1163, 1164.
    std::vector<bool> parkingSliders() {
        return {enabled(1160), enabled(1161), enabled(1162), enabled(1163), enabled(1164)};
    }
    void ShowPage() {
        host_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(host_.get()));
    }
    // Drags the slider's thumb from where it is to the tick of `position`, one tick at a time.
    void DragTo(CSubSlider* s, int position) {
        const auto ticks = CSubSlider::LabelPositions(0, s->width(), s->maximum() - s->minimum() + 1, 0x10);
        const QPoint start = s->HandleRect().center();
        auto send = [s](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
            QMouseEvent e(type, QPointF(at), s->mapToGlobal(QPointF(at)), Qt::LeftButton, buttons,
                          Qt::NoModifier);
            QApplication::sendEvent(s, &e);
        };
        send(QEvent::MouseButtonPress, start, Qt::LeftButton);
        const QPoint end(static_cast<int>(ticks[static_cast<std::size_t>(position - s->minimum())].second),
                         start.y());
        send(QEvent::MouseMove, QPoint((start.x() + end.x()) / 2, start.y()), Qt::LeftButton);
        send(QEvent::MouseMove, end, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, end, Qt::NoButton);
    }
    std::vector<std::uint8_t> Bytes() { return {record().bytes.begin(), record().bytes.end()}; }

};

} // namespace

TEST_F(ParkingPageTest, RowsSitWhereTheLayoutPutsThem) {
    EXPECT_EQ(page_->size(), QSize(700, 437));
    EXPECT_EQ(page_->scrollMaximum(), 561);
    EXPECT_EQ(page_->scrollLineStep(), 80);
    EXPECT_EQ(page_->leaders(), (std::vector<int>{1210, 1000, 1112, 1109, 1113, 1117, 1119}));

    const std::pair<int, QPoint> fixed[] = {
        {1210, {15, 20}},   {1000, {15, 147}}, {1020, {110, 177}}, {1003, {75, 222}},
        {1005, {460, 222}}, {1112, {15, 252}}, {4000, {25, 282}},  {4002, {25, 312}},
        {1109, {15, 352}},  {1113, {15, 499}}, {1117, {15, 646}},  {1162, {110, 681}},
        {1118, {55, 723}},  {1119, {15, 793}}, {1120, {30, 828}},  {1122, {30, 928}}};
    for (const auto& [id, at] : fixed)
        EXPECT_EQ(page_->item(id)->pos(), at) << id;

    // Each slider follows its label; each "High" label starts 20 pixels after its slider ends.
    const std::tuple<int, int, int, int> rows[] = {
        {1211, 1252, 1212, 55}, {1110, 1160, 1111, 387}, {1114, 1161, 1115, 534}};
    for (const auto& [low, id, high, y] : rows) {
        const QLabel* lowLabel = page_->itemAs<QLabel>(low);
        EXPECT_EQ(lowLabel->text(), "Low");
        EXPECT_EQ(slider(id)->geometry(), QRect(60 + lowLabel->width(), y, 350, 55)) << id;
        EXPECT_EQ(page_->item(high)->x(), slider(id)->geometry().right() + 1 + 20) << id;
        EXPECT_EQ(page_->itemAs<QLabel>(high)->text(), "High");
    }
    EXPECT_EQ(slider(1163)->geometry(), QRect(30 + page_->item(1120)->width(), 828, 350, 55));
    EXPECT_EQ(slider(1164)->geometry(), QRect(30 + page_->item(1122)->width(), 928, 350, 55));
    EXPECT_EQ(slider(1020)->size(), QSize(350, 48));

    // Fitted width: the text width + 30, in the row's font.
    const QLabel* title = page_->itemAs<QLabel>(1210);
    EXPECT_EQ(title->text(), "Continuous Mode Incident Recording Sensitivity");
    EXPECT_EQ(title->width(), CParkingDlg::MeasureTextWidth(title->text(), page_->titleFont()) + 30);
    EXPECT_TRUE(page_->titleFont().bold());
    EXPECT_TRUE(page_->item(1120)->font().bold());
    EXPECT_FALSE(page_->item(1211)->font().bold());
    EXPECT_EQ(button(4000)->text(), "Enabled (Switches to parking mode when the engine is turned off)");
}

TEST_F(ParkingPageTest, SlidersAreSetUpFromTheirTable) {
    struct Expected {
        int id, minimum, maximum;
        QStringList labels;
        std::uint32_t flags;
        int kind;
    };
    const Expected table[] = {
        {1252, 1, 5, {"1", "2", "3", "4", "5"}, 0x09, 0},
        {1160, 1, 5, {"1", "2", "3", "4", "5"}, 0x09, 0},
        {1161, 0, 3, {"OFF", "1", "3", "5"}, 0x10, 5},
        {1162, 0, 3, {"6", "12", "24", "48"}, 0x10, 4},
        {1163, 0, 7, {"11.6V", "11.7V", "11.8V", "11.9V", "12.0V", "12.1V", "12.2V", "12.3V "}, 0x05, 2},
        {1164, 0, 7, {"23.2V", "23.4V", "23.6V", "23.8V", "24.0V", "24.2V", "24.4V", "24.6V "}, 0x05, 3},
        {1020, 0, 2, {}, 0, 0},
    };
    for (const Expected& e : table) {
        CSubSlider* s = slider(e.id);
        EXPECT_EQ(s->minimum(), e.minimum) << e.id;
        EXPECT_EQ(s->maximum(), e.maximum) << e.id;
        EXPECT_EQ(s->tickLabels(), e.labels) << e.id;
        EXPECT_EQ(s->labelFlags(), e.flags) << e.id;
        EXPECT_EQ(s->tooltipKind(), e.kind) << e.id;
        EXPECT_EQ(s->tickInterval(), 1) << e.id;
        if (!e.labels.isEmpty()) {
            EXPECT_EQ(s->labelFont(), &page_->normalFont()) << e.id;
        }
    }
    // Before any refresh the out-of-range starting position 4 shows as the right end.
    dashcam::Card noRecord;
    CParkingDlg fresh(noRecord, nullptr);
    EXPECT_EQ(fresh.slider(1161)->value(), 3);
    EXPECT_EQ(fresh.slider(1162)->value(), 3);
    EXPECT_EQ(fresh.slider(1163)->value(), 4);
    EXPECT_EQ(fresh.slider(1252)->value(), 3);
    fresh.Refresh(); // no record: nothing to show, nothing breaks
}

TEST_F(ParkingPageTest, KeyboardMovesStoreTheDocumentedValues) {
    ShowPage();
    struct Case {
        int id;
        std::function<std::uint32_t()> field;
        std::vector<std::uint32_t> stored; // from the left end, one step right at a time
    };
    const Case cases[] = {
        {1252, [this] { return record().continuousImpactSensitivity(); }, {1, 2, 3, 4, 5}},
        {1160, [this] { return record().parkingImpactSensitivity(); }, {1, 2, 3, 4, 5}},
        {1161, [this] { return record().motionSensitivity(); }, {0, 1, 3, 5}},
        {1162, [this] { return record().recordTimerHours(); }, {6, 12, 24, 48}},
        {1163, [this] { return record().cutoffVoltage12V(); }, {0, 1, 2, 3, 4, 5, 6, 7}},
        {1164, [this] { return record().cutoffVoltage24V(); }, {0, 1, 2, 3, 4, 5, 6, 7}},
        {1020, [this] { return record().cameraBrightness(); }, {0, 1, 2}},
    };
    for (const Case& c : cases) {
        CSubSlider* s = slider(c.id);
        QTest::keyClick(s, Qt::Key_Home);
        EXPECT_EQ(c.field(), c.stored.front()) << c.id;
        for (std::size_t i = 1; i < c.stored.size(); ++i) {
            QTest::keyClick(s, Qt::Key_Right);
            EXPECT_EQ(c.field(), c.stored[i]) << c.id << " step " << i;
        }
    }
}

TEST_F(ParkingPageTest, MouseDragsStoreEveryStep) {
    ShowPage();
    CSubSlider* timer = slider(1162);
    const std::uint32_t hours[] = {6, 12, 24, 48};
    for (int p : {0, 3, 1, 2}) {
        DragTo(timer, p);
        EXPECT_EQ(timer->value(), p);
        EXPECT_EQ(record().recordTimerHours(), hours[p]);
    }
    CSubSlider* motion = slider(1161);
    DragTo(motion, 0);
    EXPECT_EQ(record().motionSensitivity(), 0u);
    EXPECT_EQ(motion->TooltipText(), "0");
    DragTo(motion, 3);
    EXPECT_EQ(record().motionSensitivity(), 5u);
    EXPECT_EQ(motion->TooltipText(), "5");
    DragTo(slider(1163), 4);
    EXPECT_EQ(record().cutoffVoltage12V(), 4u);
    EXPECT_EQ(slider(1163)->TooltipText(), "12.0");
    DragTo(slider(1020), 2);
    EXPECT_EQ(record().cameraBrightness(), 2u);
}

TEST_F(ParkingPageTest, RefreshShowsOddStoredValuesWithoutWritingThem) {
    struct Case {
        const char* what;
        std::function<void(SettingsRecord&)> store;
        int id;
        int position;
    };
    const Case cases[] = {
        {"timer 0", [](SettingsRecord& r) { r.setRecordTimerHours(0); }, 1162, 0},
        {"timer 36", [](SettingsRecord& r) { r.setRecordTimerHours(36); }, 1162, 3},
        {"timer 12", [](SettingsRecord& r) { r.setRecordTimerHours(12); }, 1162, 1},
        {"motion 2", [](SettingsRecord& r) { r.setMotionSensitivity(2); }, 1161, 3},
        {"motion 1", [](SettingsRecord& r) { r.setMotionSensitivity(1); }, 1161, 1},
        {"continuous 0", [](SettingsRecord& r) { r.setContinuousImpactSensitivity(0); }, 1252, 1},
        {"continuous huge", [](SettingsRecord& r) { r.setContinuousImpactSensitivity(0xFFFFFFFF); }, 1252, 1},
        {"parking 9", [](SettingsRecord& r) { r.setParkingImpactSensitivity(9); }, 1160, 5},
        {"12 V 8", [](SettingsRecord& r) { r.setCutoffVoltage12V(8); }, 1163, 7},
        {"24 V 6", [](SettingsRecord& r) { r.setCutoffVoltage24V(6); }, 1164, 6},
        {"brightness 3", [](SettingsRecord& r) { r.setCameraBrightness(3); }, 1020, 2},
    };
    for (const Case& c : cases) {
        c.store(record());
        const auto before = Bytes();
        page_->Refresh();
        EXPECT_EQ(slider(c.id)->value(), c.position) << c.what;
        EXPECT_EQ(Bytes(), before) << c.what;
    }

    // The unplaced boxes and the option pair show the record too.
    record().setWinterMonthMask(0b10110);
    record().setRecordOptionA(7);
    page_->Refresh();
    EXPECT_EQ(
        (std::vector<bool>{button(1165)->isChecked(), button(1166)->isChecked(), button(1167)->isChecked(),
                           button(1168)->isChecked(), button(1169)->isChecked()}),
        (std::vector<bool>{false, true, true, false, true}));
    EXPECT_TRUE(button(1155)->isChecked());
    EXPECT_FALSE(button(1156)->isChecked());
    record().setRecordOptionA(0);
    page_->Refresh();
    EXPECT_FALSE(button(1155)->isChecked());
    EXPECT_TRUE(button(1156)->isChecked());
}

TEST_F(ParkingPageTest, ParkingModeDecidesRadiosAndEnablement) {
    struct Case {
        std::uint32_t mode;
        bool enabled, mode2, disabled;
        std::vector<bool> sliders;
    };
    const Case cases[] = {
        {1, true, false, false, {true, true, true, true, true}},
        {2, false, true, false, {true, false, true, true, true}},
        {0, false, false, true, {false, false, false, false, false}},
        {7, false, false, true, {false, false, false, true, true}},
    };
    for (const Case& c : cases) {
        record().setParkingMode(c.mode);
        const auto before = Bytes();
        page_->Refresh();
        EXPECT_EQ(button(4000)->isChecked(), c.enabled) << c.mode;
        EXPECT_EQ(button(4001)->isChecked(), c.mode2) << c.mode;
        EXPECT_EQ(button(4002)->isChecked(), c.disabled) << c.mode;
        EXPECT_EQ(parkingSliders(), c.sliders) << c.mode;
        EXPECT_TRUE(enabled(1252));
        EXPECT_TRUE(enabled(1020));
        EXPECT_EQ(Bytes(), before);
    }
    // Mode 2 has no visible radio button of its own.
    EXPECT_TRUE(button(4001)->isHidden());
}

TEST_F(ParkingPageTest, SwitchingParkingOffAsksFirst) {
    ShowPage();
    struct Case {
        std::uint32_t mode;
        prompt::Answer answer;
        std::uint32_t storedAfter;
        int checkedAfter; // 0: none of the three
        std::vector<bool> sliders;
    };
    const Case cases[] = {
        {1, prompt::Answer::Yes, 0, 4002, {false, false, false, false, false}},
        {2, prompt::Answer::Yes, 0, 4002, {false, false, false, false, false}},
        {1, prompt::Answer::No, 1, 4000, {true, true, true, true, true}},
        {2, prompt::Answer::No, 2, 4001, {true, false, true, true, true}},
        {7, prompt::Answer::No, 7, 0, {true, true, true, true, true}},
    };
    for (const Case& c : cases) {
        record().setParkingMode(c.mode);
        page_->Refresh();
        prompt::Reset();
        prompt::QueueAnswer(c.answer);
        QTest::mouseClick(button(4002), Qt::LeftButton);
        ASSERT_EQ(prompt::History().size(), 1u) << c.mode;
        const prompt::Request& asked = prompt::History().front();
        EXPECT_EQ(asked.kind, prompt::Kind::MessageYesNo);
        EXPECT_EQ(asked.caption, u"Parking Mode Settings");
        EXPECT_EQ(asked.text,
                  u"If the parking mode recording is disabled,\r\nthe dash cam will stop recording when "
                  u"the vehicle's engine is turned off.\r\n");
        EXPECT_EQ(record().parkingMode(), c.storedAfter) << c.mode;
        for (int id : {4000, 4001, 4002})
            EXPECT_EQ(button(id)->isChecked(), id == c.checkedAfter) << c.mode << " radio " << id;
        EXPECT_EQ(parkingSliders(), c.sliders) << c.mode;
    }
    // After No from mode 1 the Enabled button has the focus back.
    record().setParkingMode(1);
    page_->Refresh();
    prompt::Reset();
    prompt::QueueAnswer(prompt::Answer::No);
    QTest::mouseClick(button(4002), Qt::LeftButton);
    EXPECT_TRUE(button(4000)->hasFocus());

    // Already off: nothing to ask.
    record().setParkingMode(0);
    page_->Refresh();
    prompt::Reset();
    QTest::mouseClick(button(4002), Qt::LeftButton);
    EXPECT_TRUE(prompt::History().empty());
    EXPECT_TRUE(button(4002)->isChecked());

    // Back on: stored at once, sliders enabled, nothing asked.
    QTest::mouseClick(button(4000), Qt::LeftButton);
    EXPECT_EQ(record().parkingMode(), 1u);
    EXPECT_EQ(parkingSliders(), (std::vector<bool>{true, true, true, true, true}));
    EXPECT_TRUE(prompt::History().empty());
    button(4001)->click();
    EXPECT_EQ(record().parkingMode(), 2u);
    EXPECT_FALSE(enabled(1161));
}

TEST_F(ParkingPageTest, LowVoltagePopupConfirmedAndDeclined) {
    auto boxesEnabled = [this] {
        std::vector<bool> out;
        for (int id = 1165; id <= 1169; ++id)
            out.push_back(enabled(id));
        return out;
    };
    record().setLowVoltageShutdown(1);
    prompt::QueueAnswer(prompt::Answer::Yes);
    button(1154)->click();
    ASSERT_EQ(prompt::History().size(), 1u);
    EXPECT_EQ(prompt::History()[0].kind, prompt::Kind::Confirm);
    EXPECT_EQ(prompt::History()[0].caption, u"Caution for Disabling Low-Voltage Shutdown");
    EXPECT_EQ(prompt::History()[0].text,
              u"Disabling this function may result in\r\ndepletion of the vehicle's "
              u"battery. \r\nDisable the low-voltage shutdown anyway?");
    EXPECT_EQ(record().lowVoltageShutdown(), 0u);
    EXPECT_EQ(boxesEnabled(), std::vector<bool>(5, false));

    // Already off: no popup.
    prompt::Reset();
    button(1154)->click();
    EXPECT_TRUE(prompt::History().empty());

    button(1153)->click();
    EXPECT_EQ(record().lowVoltageShutdown(), 1u);
    EXPECT_EQ(boxesEnabled(), std::vector<bool>(5, true));

    prompt::QueueAnswer(prompt::Answer::No);
    button(1154)->click();
    EXPECT_EQ(prompt::History().size(), 1u);
    EXPECT_EQ(record().lowVoltageShutdown(), 1u);
    EXPECT_TRUE(button(1153)->isChecked());
    EXPECT_FALSE(button(1154)->isChecked());
    EXPECT_EQ(boxesEnabled(), std::vector<bool>(5, true));
}

TEST_F(ParkingPageTest, UnplacedControlsWriteTheirFields) {
    for (int id : {4001, 1165, 1166, 1167, 1168, 1169, 1153, 1154, 1155, 1156, 4103,
                   4104, 4106, 4107, 1001, 1002, 1124, 1125, 1126, 1127, 4105, 1171}) {
        ASSERT_NE(page_->item(id), nullptr) << id;
        EXPECT_TRUE(page_->item(id)->isHidden()) << id;
    }
    record().setWinterMonthMask(0x100);
    page_->Refresh();
    EXPECT_FALSE(button(1165)->isChecked());
    button(1165)->click();
    button(1169)->click();
    EXPECT_EQ(record().winterMonthMask(), 0x111u);
    button(1165)->click();
    EXPECT_EQ(record().winterMonthMask(), 0x110u);

    button(1156)->click();
    EXPECT_EQ(record().recordOptionA(), 0u);
    button(1155)->click();
    EXPECT_EQ(record().recordOptionA(), 1u);
    button(4104)->setChecked(true);
    button(4104)->click();
    EXPECT_EQ(record().recordOptionA(), 0u);
    button(4103)->click();
    EXPECT_EQ(record().recordOptionB(), 1u);
    button(4103)->click();
    EXPECT_EQ(record().recordOptionB(), 0u);
    button(4107)->click();
    EXPECT_EQ(record().recordOptionC(), 0u);
    button(4106)->click();
    EXPECT_EQ(record().recordOptionC(), 1u);
}

TEST_F(ParkingPageTest, EnterAndEscapeDoNothingAndABackgroundClickTakesTheFocus) {
    ShowPage();
    CSubSlider* s = slider(1252);
    s->setFocus();
    ASSERT_TRUE(s->hasFocus());
    const auto before = Bytes();
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(s, key);
        QTest::keyClick(page_, key);
    }
    EXPECT_TRUE(host_->isVisible());
    EXPECT_EQ(Bytes(), before);

    QTest::mouseClick(page_, Qt::LeftButton, {}, QPoint(600, 120));
    EXPECT_FALSE(s->hasFocus());
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : page_, Qt::Key_Right);
    EXPECT_EQ(Bytes(), before);
}

TEST_F(ParkingPageTest, LeaderLinesStartTwelvePixelsAfterEachTitle) {
    ShowPage();
    const QImage image = page_->grab().toImage();
    const QColor leader(163, 181, 198);
    const int end = page_->clientWidth() - 15;
    for (int id : {1210, 1000, 1112}) {
        const QRect title = page_->item(id)->geometry();
        const int y = title.top() + title.height() / 2;
        const int start = title.width() + 27;
        EXPECT_EQ(image.pixelColor(start, y), leader) << id;
        EXPECT_EQ(image.pixelColor(end - 1, y), leader) << id;
        EXPECT_NE(image.pixelColor(end, y), leader) << id;
        EXPECT_NE(image.pixelColor(start, y - 1), leader) << id;
    }
}

TEST_F(ParkingPageTest, WheelScrollsToTheBottomWhereThe24VSliderIsReachable) {
    ShowPage();
    for (int i = 0; i < 10; ++i) {
        QWheelEvent wheel(QPointF(600, 200), page_->mapToGlobal(QPointF(600, 200)), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(page_, &wheel);
    }
    EXPECT_EQ(page_->scrollPosition(), 561);
    EXPECT_EQ(slider(1164)->y(), 928 - 561);
    EXPECT_LE(slider(1164)->geometry().bottom(), CParkingDlg::kPageHeight);
    DragTo(slider(1164), 6);
    EXPECT_EQ(record().cutoffVoltage24V(), 6u);

    // Rendering for a look at the finished page.
    if (const char* dir = std::getenv("DASHCAM_SCREENSHOT_DIR")) {
        page_->grab().save(QString::fromUtf8(dir) + "/record_bottom.png");
        page_->OnVScroll(CParkingDlg::ScrollCode::ThumbTrack, 0);
        page_->grab().save(QString::fromUtf8(dir) + "/record_top.png");
    }
}

TEST_F(ParkingPageTest, WheelOverAnUnfocusedSliderScrollsThePageAndEditsNothing) {
    ShowPage();
    const std::vector<std::uint8_t> before(record().bytes.begin(), record().bytes.end());
    CSubSlider* under = slider(1252);
    under->clearFocus();
    QWheelEvent wheel(QPointF(100, 20), under->mapToGlobal(QPointF(100, 20)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(under, &wheel);
    EXPECT_FALSE(
        wheel.isAccepted()); // left to the parent, as the toolkit does with the window system's wheel
    EXPECT_EQ(under->value(), 3);
    // Only wheel events from the window system travel on to the parent by themselves; take this one there.
    const QPointF onPage = under->mapTo(page_, QPointF(100, 20));
    QWheelEvent passedOn(onPage, page_->mapToGlobal(onPage), QPoint(), QPoint(0, -120), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(page_, &passedOn);
    EXPECT_EQ(page_->scrollPosition(), 80);
    EXPECT_EQ(std::vector<std::uint8_t>(record().bytes.begin(), record().bytes.end()), before);

    // Once the user has clicked or tabbed into it, the wheel is the slider's.
    under->setFocus();
    QApplication::sendEvent(under, &wheel);
    EXPECT_TRUE(wheel.isAccepted());
    EXPECT_EQ(page_->scrollPosition(), 80);
    EXPECT_EQ(record().continuousImpactSensitivity(), 2u);
}

TEST_F(ParkingPageTest, EditingEveryVisibleControlSavesExactlyThoseFields) {
    ShowPage();
    const auto original = dashcam::test::ReadBytes(card_ / "setup.cfg");
    ASSERT_EQ(original.size(), SettingsRecord::kSize);

    QTest::keyClick(slider(1252), Qt::Key_End);   // 5
    QTest::keyClick(slider(1020), Qt::Key_Home);  // 0
    QTest::keyClick(slider(1160), Qt::Key_Right); // 4
    DragTo(slider(1161), 1);                      // level 1
    DragTo(slider(1162), 3);                      // 48 hours
    QTest::keyClick(slider(1163), Qt::Key_End);   // 7
    QTest::keyClick(slider(1164), Qt::Key_Home);  // 0
    prompt::QueueAnswer(prompt::Answer::Yes);
    QTest::mouseClick(button(4002), Qt::LeftButton); // parking off
    ASSERT_TRUE(cardFiles_.SaveSettingsFile(card_.root() + u"setup.cfg"));

    SettingsRecord expected;
    std::copy(original.begin(), original.end(), expected.bytes.begin());
    expected.setContinuousImpactSensitivity(5);
    expected.setCameraBrightness(0);
    expected.setParkingImpactSensitivity(4);
    expected.setMotionSensitivity(1);
    expected.setRecordTimerHours(48);
    expected.setCutoffVoltage12V(7);
    expected.setCutoffVoltage24V(0);
    expected.setParkingMode(0);
    expected.DeriveCombinedFlag();
    EXPECT_EQ(dashcam::test::ReadBytes(card_ / "setup.cfg"),
              std::vector<std::uint8_t>(expected.bytes.begin(), expected.bytes.end()));
}
