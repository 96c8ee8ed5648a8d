// The window under the user's hands: the wheel, Enter and Tab through the real event path, on every page.
#include <gtest/gtest.h>

#include <QApplication>
#include <QAbstractItemView>
#include <QComboBox>
#include <QCheckBox>
#include <QDateEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include <filesystem>
#include <vector>

#include "app/setting_app.h"
#include "app/setting_dlg.h"
#include "gui/window_test.h"
#include "pages/etc_dlg.h"
#include "pages/parking_dlg.h"
#include "pages/system_dlg.h"
#include "support/fake_viewer.h"
#include "support/system_wheel.h"
#include "ui/controls.h"
#include "ui/r_button.h"
#include "ui/r_static_text.h"
#include "ui/sub_slider.h"

namespace dashcam {
namespace {
namespace fs = std::filesystem;
using test::ReadBytes;

class WindowInput : public test::WindowTest {
protected:
    std::unique_ptr<CSettingDlg> OpenActive() {
        auto dialog = Open();
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        return dialog;
    }
    // The ids of the page's controls that Tab goes through, from its first one until the focus leaves it. A
    // group of radio buttons is one stop (its checked button); Tab steps through a date's fields one by one.
    static std::vector<int> TabStops(CBaseDialog* page) {
        std::vector<int> ids;
        QWidget* focus = QApplication::focusWidget();
        for (int i = 0; i < 60 && focus && page->isAncestorOf(focus); ++i) {
            if (ids.empty() || ids.back() != ControlId(focus))
                ids.push_back(ControlId(focus));
            QTest::keyClick(focus, Qt::Key_Tab);
            focus = QApplication::focusWidget();
        }
        return ids;
    }
};

TEST_F(WindowInput, TheWheelEditsOnlyTheFocusedControlAndScrollsThePageOtherwise) {
    auto dialog = OpenActive();
    Click(dialog->button(CSettingDlg::kRecordTab));
    CParkingDlg* record = dialog->recordPage();
    CSubSlider* sensitivity = record->slider(CParkingDlg::kContinuousSensitivity);
    const int value = sensitivity->value();
    record->setFocus();
    test::SystemWheel(sensitivity, sensitivity->rect().center(), 120);
    test::SystemWheel(sensitivity, sensitivity->rect().center(), -120);
    EXPECT_EQ(sensitivity->value(), value);
    EXPECT_EQ(record->scrollPosition(), 80);

    Click(dialog->button(CSettingDlg::kSystemTab));
    CSystemDlg* system = dialog->systemPage();
    Click(system->item(CSystemDlg::kClockCheck)); // the date field takes input only with the box checked
    auto* zones = system->itemAs<QComboBox>(CSystemDlg::kTimeZoneBox);
    auto* language = system->itemAs<QComboBox>(CSystemDlg::kLanguageBox);
    auto* date = system->itemAs<QDateEdit>(CSystemDlg::kDatePicker);
    const SettingsRecord& stored = *dialog->card().record();
    const std::vector<std::uint8_t> before(stored.bytes.begin(), stored.bytes.end());
    const int zone = zones->currentIndex();
    const QDate day = date->date();
    for (QWidget* control : {static_cast<QWidget*>(language), static_cast<QWidget*>(zones),
                             static_cast<QWidget*>(date)}) {
        system->setFocus();
        const int scrolled = system->scrollPosition();
        test::SystemWheel(control, QPoint(10, 10), -120);
        EXPECT_FALSE(control->hasFocus()) << ControlId(control);
        EXPECT_EQ(system->scrollPosition(), scrolled + 100) << ControlId(control);
        system->OnVScroll(CBaseDialog::ScrollCode::ThumbTrack, 0);
    }
    EXPECT_EQ(zones->currentIndex(), zone);
    EXPECT_EQ(date->date(), day);
    EXPECT_EQ(std::vector<std::uint8_t>(stored.bytes.begin(), stored.bytes.end()), before);

    // The focused list takes the wheel, and the page stays.
    zones->setFocus(Qt::TabFocusReason);
    test::SystemWheel(zones, QPoint(10, 10), -120);
    EXPECT_NE(zones->currentIndex(), zone);
    EXPECT_EQ(system->scrollPosition(), 0);
}

TEST_F(WindowInput, EnterPressesTheFocusedButtonAndNothingElseEndsTheWindow) {
    const auto sample = ReadBytes(card / "setup.cfg");
    struct Case {
        int id;
        bool closes;
        bool saves;
    };
    for (const Case c : {Case{2300, false, false}, Case{2301, true, false}, Case{2302, false, false},
                         Case{2303, true, false}, Case{2304, true, true}, Case{2305, false, false},
                         Case{2202, false, false}, Case{2204, false, false}}) {
        SCOPED_TRACE(c.id);
        test::WriteBytes(card / "setup.cfg", sample);
        auto dialog = OpenActive();
        dialog->card().record()->setRecordTimerHours(48);
        CRButton* button = dialog->button(c.id);
        button->setFocus(Qt::TabFocusReason);
        QTest::keyClick(button, Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_EQ(!dialog->isVisible(), c.closes);
        EXPECT_EQ(ReadBytes(card / "setup.cfg")[200] == 48, c.saves);
        if (c.id == 2300) {
            EXPECT_TRUE(dialog->windowState() & Qt::WindowMinimized);
        } else if (c.id == 2302) {
            EXPECT_NE(dialog->card().record()->recordTimerHours(), 48u); // the defaults are back
        } else if (c.id == 2202 || c.id == 2204) {
            EXPECT_TRUE(dialog->page(c.id)->isVisible());
        }
    }

    // Enter on a page's control leaves the window and the edits alone; on a page's push button it presses it.
    auto dialog = OpenActive();
    dialog->card().record()->setRecordTimerHours(48);
    QWidget* format = dialog->memoryCardPage()->item(CEtcDlg::kFormatButton);
    format->setFocus(Qt::TabFocusReason);
    prompt::QueueAnswer(prompt::Answer::No);
    QTest::keyClick(format, Qt::Key_Enter);
    EXPECT_EQ(prompt::History().size(), 1u); // the format's question, answered No
    QWidget* box = dialog->memoryCardPage()->item(CEtcDlg::kFirstOverwrite);
    box->setFocus(Qt::TabFocusReason);
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClick(dialog.get(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->card().record()->recordTimerHours(), 48u);
    EXPECT_EQ(ReadBytes(card / "setup.cfg"), sample);
}

TEST_F(WindowInput, TabGoesThroughEachPageTopToBottomThenLeftToRight) {
    auto dialog = OpenActive();
    dialog->card().record()->setParkingMode(1);
    dialog->RefreshPages();
    const std::pair<int, std::vector<int>> pages[] = {
        {CSettingDlg::kMemoryCardTab, {1334, 1341, 1320, 1321, 1322, 1323}},
        {CSettingDlg::kRecordTab, {1252, 1020, 4000, 1160, 1161, 1162, 1163, 1164}},
        {CSettingDlg::kSystemTab, {1390, 1018, 1123, 1326, 1122, 1121, 1344, 1380, 1382, 1387, 4005, 1399}},
    };
    for (const auto& [tab, expected] : pages) {
        Click(dialog->button(tab));
        CBaseDialog* page = dialog->page(tab);
        if (tab == CSettingDlg::kSystemTab)
            Click(page->item(CSystemDlg::kClockCheck)); // the clock's fields take part only with the box checked
        dialog->button(2204)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(dialog->button(2204), Qt::Key_Tab);
        EXPECT_EQ(TabStops(page), expected) << tab;
        EXPECT_EQ(ControlId(QApplication::focusWidget()), 2305) << tab; // then the buttons along the bottom
    }
}

TEST_F(WindowInput, FocusBroughtIntoViewShowsItsSectionTitle) {
    auto dialog = OpenActive();
    Click(dialog->button(CSettingDlg::kRecordTab));
    CParkingDlg* page = dialog->recordPage();
    page->OnVScroll(CBaseDialog::ScrollCode::ThumbTrack, page->scrollMaximum());
    QWidget* brightness = page->item(CParkingDlg::kBrightness);
    brightness->setFocus(Qt::BacktabFocusReason);
    EXPECT_GE(page->item(1000)->y(), 0); // "Brightness"
    EXPECT_LE(brightness->geometry().bottom(), page->height());
}

// The window drawn for a screen at `scale` device pixels per layout unit, as a scaled screen's window draws it.
QImage Render(QWidget* window, qreal scale) {
    QImage image(window->size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    window->render(&image);
    return image;
}

TEST_F(WindowInput, AtTwiceTheScaleBoxesAndCirclesAreWholeAndTheTitleIsDrawnForThePixels) {
    auto dialog = Open();
    for (const int tab : {CSettingDlg::kMemoryCardTab, CSettingDlg::kRecordTab, CSettingDlg::kSystemTab}) {
        Click(dialog->button(tab));
        for (const qreal scale : {1.0, 2.0}) {
            const QImage image = Render(dialog.get(), scale);
            // Not the page's near-white: the edge of a box or circle.
            const auto dark = [&image](int x, int y) { return qGray(image.pixel(x, y)) < 250; };
            for (QAbstractButton* button : dialog->page(tab)->findChildren<QAbstractButton*>()) {
                const bool radio = qobject_cast<QRadioButton*>(button) != nullptr;
                if ((!radio && !qobject_cast<QCheckBox*>(button)) || !button->isVisibleTo(dialog.get()) ||
                    button->text().isEmpty())
                    continue;
                QStyleOptionButton option;
                option.initFrom(button);
                const QRect box = button->style()->subElementRect(
                    radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &option, button);
                const QRect onWindow(button->mapTo(dialog.get(), box.topLeft()), box.size());
                // The last row of the box or circle, in the layout's place times the scale, has its edge.
                const int y = static_cast<int>((onWindow.bottom() + 1) * scale) - 1;
                bool edge = false;
                for (int x = static_cast<int>(onWindow.left() * scale); x < (onWindow.right() + 1) * scale; ++x)
                    edge = edge || dark(x, y);
                EXPECT_TRUE(edge) << ControlId(button) << " at scale " << scale;
                EXPECT_EQ(box.height(), 14) << ControlId(button);
            }
        }
    }
    // The title's letters have edges inside the doubled pixels: they are drawn at twice the size, not enlarged.
    const QImage image = Render(dialog.get(), 2.0);
    const QRect title = dialog->titleLabel()->geometry();
    int split = 0;
    for (int y = title.top(); y <= title.bottom(); ++y)
        for (int x = title.left(); x <= title.right(); ++x) {
            const QRgb p = image.pixel(2 * x, 2 * y);
            split += p != image.pixel(2 * x + 1, 2 * y) || p != image.pixel(2 * x, 2 * y + 1);
        }
    EXPECT_GT(split, 50);
}

TEST_F(WindowInput, TheZoneListOpensAboutThirtyRowsTall) {
    auto dialog = OpenActive();
    Click(dialog->button(CSettingDlg::kSystemTab));
    auto* zones = dialog->systemPage()->itemAs<QComboBox>(CSystemDlg::kTimeZoneBox);
    ASSERT_GT(zones->count(), 60);
    zones->showPopup();
    QApplication::processEvents();
    const int rows = zones->view()->height() / zones->view()->sizeHintForRow(0);
    zones->hidePopup();
    EXPECT_GE(rows, 25);
    EXPECT_LE(rows, CSystemDlg::kZoneListRows + 1);
}

TEST_F(WindowInput, TheTaskBarGroupsTheWindowUnderItsDesktopEntryAndNamesItAsItsTitle) {
    EXPECT_EQ(QGuiApplication::desktopFileName(), CSettingApp::kDesktopEntryName);
    EXPECT_TRUE(fs::exists(fs::path(DASHCAM_SOURCE_DIR) / "packaging" /
                           (std::string(CSettingApp::kDesktopEntryName) + ".desktop.in")));
    test::FakeViewer viewer;
    viewer.running = true;
    viewer.language = u"german";
    auto dialog = Open();
    EXPECT_EQ(dialog->windowTitle(), "Dashcam-Einstellungen");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), dialog->windowTitle());
}

} // namespace
} // namespace dashcam
