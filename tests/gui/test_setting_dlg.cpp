// The main window on temporary cards: start-up paths, commands, tabs, dragging and the language of the
// window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <filesystem>

#include "app/setting_app.h"
#include "app/setting_dlg.h"
#include "i18n/interface_language.h"
#include "i18n/language_table.h"
#include "pages/etc_dlg.h"
#include "pages/parking_dlg.h"
#include "pages/system_dlg.h"
#include "platform/prompt.h"
#include "settings/card_files.h"
#include "settings/hand_over.h"
#include "settings/settings_record.h"
#include "gui/window_test.h"
#include "support/fake_host.h"
#include "support/fake_viewer.h"
#include "support/run_process.h"
#include "support/temp_dir.h"
#include "ui/base_dialog.h"
#include "ui/controls.h"
#include "ui/r_button.h"
#include "ui/r_static_text.h"
#include "ui/sub_slider.h"

namespace dashcam {
namespace {
namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;

class MainWindow : public test::WindowTest {
protected:
    test::FakeViewer viewer;
};

TEST_F(MainWindow, OpensSkinnedAtTheTopLeftWithTheMemoryCardPage) {
    auto dialog = Open();
    EXPECT_EQ(dialog->geometry(), QRect(0, 0, 722, 587));
    EXPECT_TRUE(dialog->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(dialog->windowTitle(), "Dash Cam Settings");
    EXPECT_EQ(dialog->titleLabel()->caption(), "Dash Cam Settings");
    EXPECT_TRUE(dialog->memoryCardPage()->isVisible());
    EXPECT_FALSE(dialog->recordPage()->isVisible());
    EXPECT_FALSE(dialog->systemPage()->isVisible());
    EXPECT_EQ(dialog->memoryCardPage()->geometry().topLeft(), QPoint(11, 85));
    EXPECT_TRUE(dialog->button(2203)->latched());
    EXPECT_EQ(dialog->button(2304)->geometry(), QRect(614, 546, 100, 29));
    EXPECT_EQ(dialog->button(2304)->caption(), "Save");
    EXPECT_EQ(dialog->button(2305)->caption(), "<");
    // The program's own icon, for the task bar and Alt+Tab.
    EXPECT_FALSE(dialog->windowIcon().pixmap(32).isNull());
    // The painted window is the skin: dark background, not the empty default.
    QImage shot = dialog->grab().toImage();
    QColor corner = shot.pixelColor(500, 30);
    EXPECT_LT(corner.red(), 80);
}

TEST_F(MainWindow, TabsSwitchPagesAndLatchOnlyTheirOwnTab) {
    auto dialog = Open();
    Click(dialog->button(2204));
    EXPECT_TRUE(dialog->systemPage()->isVisible());
    EXPECT_FALSE(dialog->memoryCardPage()->isVisible());
    Click(dialog->button(2203));
    EXPECT_TRUE(dialog->memoryCardPage()->isVisible());
    EXPECT_FALSE(dialog->systemPage()->isVisible());
    EXPECT_FALSE(dialog->recordPage()->isVisible());
    EXPECT_TRUE(dialog->button(2203)->latched());
    EXPECT_FALSE(dialog->button(2204)->latched());
    EXPECT_FALSE(dialog->button(2202)->latched());
    dialog->OnCommand(2200);
    EXPECT_FALSE(dialog->memoryCardPage()->isVisible());
    EXPECT_FALSE(dialog->button(2203)->latched());
}

TEST_F(MainWindow, SaveAtItsPlaceWritesTheRecordAndCloses) {
    auto dialog = Open();
    dialog->card().record()->setRecordTimerHours(48);
    dialog->card().clock().timeSyncRequested = 1;
    dialog->card().clock().timeSyncTime = SystemTime{2024, 2, 0, 29, 8, 9, 10, 0};
    host.bias = -60;
    QWidget* target = dialog->childAt(650, 560);
    ASSERT_EQ(target, dialog->button(2304));
    Click(target);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->card().record(), nullptr);
    auto saved = ReadBytes(card / "setup.cfg");
    auto sample = ReadBytes(fs::path(DASHCAM_SOURCE_DIR) / "examples/card/setup.cfg");
    EXPECT_EQ(saved[200], 48);
    saved[200] = sample[200];
    EXPECT_EQ(saved, sample);
    EXPECT_EQ(test::ReadText(card / "time.dat"), "2024,02,29,08,09,10,+0100");
}

TEST_F(MainWindow, CardWithoutSetupShowsDefaultsAndSaveWritesThem) {
    fs::remove(card / "setup.cfg");
    auto dialog = Open();
    EXPECT_EQ(dialog->card().record()->recordTimerHours(), 12u);
    // default.cfg names no time zone: the System page gave the record the PC's (name and its NUL, and bias).
    const std::string zone(dialog->card().record()->timeZoneName());
    const std::int32_t bias = dialog->card().record()->timeZoneBias();
    dialog->OnCommand(2304);
    auto saved = ReadBytes(card / "setup.cfg");
    auto defaults = ReadBytes(card / "default.cfg");
    ASSERT_EQ(defaults.size(), 572u);
    std::copy(zone.begin(), zone.end(), defaults.begin() + 380);
    for (std::size_t i = 0; i < 4; ++i)
        defaults[372 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(bias) >> (8 * i));
    // default.cfg as it is, its retained fields included.
    EXPECT_EQ(saved, defaults);
}

TEST_F(MainWindow, InitializeThenCancelLeavesTheCardAndBackDoesNothing) {
    auto before = ReadBytes(card / "setup.cfg");
    auto dialog = Open();
    Click(dialog->button(2305));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->card().record()->recordTimerHours(), 24u);
    Click(dialog->button(2302));
    EXPECT_EQ(dialog->card().record()->recordTimerHours(), 12u);
    EXPECT_EQ(dialog->card().record()->retainedValue(), 0x00C0FFEEu);
    EXPECT_TRUE(prompt::History().empty());
    Click(dialog->button(2303));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->recordPage(), nullptr);
    EXPECT_EQ(ReadBytes(card / "setup.cfg"), before);
    EXPECT_FALSE(fs::exists(card / "time.dat"));
}

TEST_F(MainWindow, SaveWithZeroLengthWritesNothingButHandlesTheClock) {
    test::WriteText(card / "time.dat", "2020,1,1,0,0,0");
    auto before = ReadBytes(card / "setup.cfg");
    auto dialog = Open();
    dialog->card().record()->setRecordLength(0);
    dialog->card().record()->setParkingMode(0);
    EXPECT_EQ(dialog->card().clock().timeSyncRequested, 0u); // the System page's Refresh cancelled the card's request
    dialog->OnCommand(2304);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(ReadBytes(card / "setup.cfg"), before);
    EXPECT_FALSE(fs::exists(card / "time.dat"));
}

TEST_F(MainWindow, FailedSaveKeepsTheWindowAndTheEdits) {
    auto dialog = Open();
    dialog->card().record()->setRecordTimerHours(6);
    fs::remove(card / "setup.cfg");
    fs::create_directory(card / "setup.cfg");
    prompt::QueueAnswer(prompt::Answer::Ok);
    dialog->OnCommand(2304);
    ASSERT_EQ(prompt::History().size(), 1u);
    EXPECT_NE(prompt::History()[0].text.find(u"could not be saved"), std::u16string::npos);
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_NE(dialog->card().record(), nullptr);
    EXPECT_EQ(dialog->card().record()->recordTimerHours(), 6u);
    // Once the card is writable again, Save works.
    fs::remove(card / "setup.cfg");
    dialog->OnCommand(2304);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(ReadBytes(card / "setup.cfg")[200], 6);
}

TEST_F(MainWindow, PressOnTheSkinReleasedOverAButtonIsItsClick) {
    auto dialog = Open();
    QTest::mousePress(dialog.get(), Qt::LeftButton, {}, QPoint(550, 60));
    QTest::mouseRelease(dialog.get(), Qt::LeftButton, {}, dialog->button(2204)->geometry().center());
    QApplication::processEvents();
    EXPECT_TRUE(dialog->systemPage()->isVisible());
    EXPECT_TRUE(dialog->button(2204)->latched());
    // Released over the skin again: nothing.
    QTest::mousePress(dialog.get(), Qt::LeftButton, {}, QPoint(550, 60));
    QTest::mouseRelease(dialog.get(), Qt::LeftButton, {}, QPoint(560, 62));
    QApplication::processEvents();
    EXPECT_TRUE(dialog->systemPage()->isVisible());
}

TEST_F(MainWindow, DraggingTheSkinMovesTheWindowButATabDoesNot) {
    auto dialog = Open();
    const QPoint start = dialog->pos();
    QTest::mousePress(dialog.get(), Qt::LeftButton, {}, QPoint(550, 60));
    QMouseEvent move(QEvent::MouseMove, QPointF(580, 90), dialog->mapToGlobal(QPointF(580, 90)), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(dialog.get(), &move);
    QTest::mouseRelease(dialog.get(), Qt::LeftButton, {}, QPoint(580, 90));
    EXPECT_NE(dialog->pos(), start);

    const QPoint afterSkin = dialog->pos();
    CRButton* tab = dialog->button(2202);
    QTest::mousePress(tab, Qt::LeftButton, {}, QPoint(10, 10));
    QMouseEvent tabMove(QEvent::MouseMove, QPointF(40, 30), tab->mapToGlobal(QPointF(40, 30)), Qt::NoButton,
                        Qt::LeftButton, {});
    QApplication::sendEvent(tab, &tabMove);
    EXPECT_EQ(dialog->pos(), afterSkin);
}

// The Record Settings tab as a user works it: every visible control changed in the window, then Save or
// Cancel.
TEST_F(MainWindow, RecordPageEditsReachSetupCfgOnSaveAndNotOnCancel) {
    const auto sample = ReadBytes(card / "setup.cfg");
    for (bool save : {false, true}) {
        fs::copy_file(fs::path(DASHCAM_SOURCE_DIR) / "examples/card/setup.cfg", card / "setup.cfg",
                      fs::copy_options::overwrite_existing);
        prompt::Reset();
        auto dialog = Open();
        Click(dialog->button(2202));
        CParkingDlg* page = dialog->recordPage();
        ASSERT_TRUE(page->isVisible());
        ASSERT_EQ(page->slider(1252)->value(), 3);
        QTest::keyClick(page->slider(1252), Qt::Key_End);
        QTest::keyClick(page->slider(1020), Qt::Key_Home);
        QTest::keyClick(page->slider(1160), Qt::Key_Left);
        QTest::keyClick(page->slider(1161), Qt::Key_Home);
        QTest::keyClick(page->slider(1162), Qt::Key_End);
        QTest::keyClick(page->slider(1163), Qt::Key_Right);
        QTest::keyClick(page->slider(1164), Qt::Key_End);
        prompt::QueueAnswer(prompt::Answer::Yes);
        Click(page->item(4002));
        ASSERT_EQ(prompt::History().size(), 1u);

        SettingsRecord expected;
        std::copy(sample.begin(), sample.end(), expected.bytes.begin());
        expected.setContinuousImpactSensitivity(5);
        expected.setCameraBrightness(0);
        expected.setParkingImpactSensitivity(expected.parkingImpactSensitivity() - 1);
        expected.setMotionSensitivity(0);
        expected.setRecordTimerHours(48);
        expected.setCutoffVoltage12V(expected.cutoffVoltage12V() + 1);
        expected.setCutoffVoltage24V(7);
        expected.setParkingMode(0);
        expected.DeriveCombinedFlag();

        Click(dialog->button(save ? 2304 : 2303));
        EXPECT_FALSE(dialog->isVisible());
        const auto written = ReadBytes(card / "setup.cfg");
        if (save)
            EXPECT_EQ(written, std::vector<std::uint8_t>(expected.bytes.begin(), expected.bytes.end()));
        else
            EXPECT_EQ(written, sample);
    }
}

TEST_F(MainWindow, FollowsTheViewersLanguage) {
    viewer.running = true;
    viewer.language = u"german";
    auto dialog = Open();
    EXPECT_EQ(dialog->windowTitle(), dialog->titleLabel()->caption()); // the task bar's name, in German too
    EXPECT_EQ(dialog->button(2202)->caption().toStdU16String(), LookupText(u"IDS_STRING228"));
    EXPECT_NE(dialog->button(2202)->caption(), "Record Settings");
    EXPECT_NE(dialog->titleLabel()->caption(), "Dash Cam Settings");
    // Screen readers name every button in the same language.
    EXPECT_EQ(dialog->button(2300)->accessibleName(), "Minimieren");
    EXPECT_EQ(dialog->button(2304)->accessibleName(), dialog->button(2304)->caption());
}

TEST_F(MainWindow, RemovableStartHandsOverAndEnds) {
    TempDir programDir, appData;
    test::WriteText(programDir / "dashcam-setting", "binary");
    host.modulePath = programDir.root() + u"dashcam-setting";
    host.appData = appData.root() + u"data";
    fs::create_directory(appData / "data");
    host.removable = true;
    CSettingDlg dialog(cardRoot);
    EXPECT_FALSE(dialog.OnInitDialog());
    ASSERT_EQ(host.starts.size(), 1u);
    EXPECT_EQ(host.starts[0].argument, programDir.root());
    EXPECT_TRUE(fs::exists(appData / "data" / "Pelmora" / "Setting" / "dashcam-setting"));
    EXPECT_EQ(dialog.card().record(), nullptr);
}

TEST_F(MainWindow, CardFolderWithoutSeparatorIsTheCardAndAMissingOneIsSaid) {
    // As a shell's completion or a desktop entry passes it: no trailing separator.
    std::u16string bare = card.root();
    bare.pop_back();
    cardRoot = CardRootFromArgument(bare);
    {
        auto dialog = Open();
        dialog->card().record()->setRecordTimerHours(6);
        dialog->OnCommand(2304);
    }
    EXPECT_EQ(ReadBytes(card / "setup.cfg")[200], 6);

    prompt::QueueAnswer(prompt::Answer::Ok);
    CSettingDlg dialog(CardRootFromArgument(card.root() + u"no-such-card"));
    EXPECT_FALSE(dialog.OnInitDialog());
    ASSERT_EQ(prompt::History().size(), 1u);
    EXPECT_NE(prompt::History()[0].text.find(u"does not exist"), std::u16string::npos);
    EXPECT_FALSE(fs::exists(card / "no-such-card"));
}

TEST_F(MainWindow, NoCardFolderEndsWithoutAWindow) {
    CSettingDlg dialog;
    EXPECT_FALSE(dialog.OnInitDialog());
    EXPECT_FALSE(dialog.isVisible());

    for (std::vector<std::string> args : {std::vector<std::string>{}, std::vector<std::string>{"a/", "b/"}}) {
        auto r = test::RunProgram("dashcam-setting", args, {"QT_QPA_PLATFORM=offscreen"});
        EXPECT_EQ(r.status, 0) << r.err;
    }
}

} // namespace
} // namespace dashcam

namespace dashcam {
namespace {

// Tab from the Save button once round the window: the ids of the skinned buttons on the way, with 0 for the
// page's own controls, each of which must be in view when it has the focus.
std::vector<int> TabRound(CSettingDlg& dialog, CBaseDialog* page) {
    std::vector<int> seen;
    dialog.button(2304)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(dialog.button(2304), Qt::Key_Tab);
    for (int i = 0; i < 200; ++i) {
        QWidget* focus = QApplication::focusWidget();
        if (!focus || (!seen.empty() && seen.back() == 2304))
            break;
        if (auto* button = qobject_cast<CRButton*>(focus)) {
            seen.push_back(ControlId(button));
            EXPECT_TRUE(button->focusMarked()) << ControlId(button);
        } else {
            EXPECT_TRUE(page->isAncestorOf(focus));
            const int top = focus->mapTo(page, QPoint(0, 0)).y();
            EXPECT_GE(top, 0);
            EXPECT_LE(top + focus->height(), page->height());
            if (seen.empty() || seen.back() != 0)
                seen.push_back(0);
        }
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    return seen;
}

TEST_F(MainWindow, TabReachesTabsAndButtonsInVisualOrderAndSpacePressesThem) {
    auto dialog = Open();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    // The window opens with the focus on the page's first control.
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_TRUE(dialog->memoryCardPage()->isAncestorOf(QApplication::focusWidget()));
    // A click gives no focus, so the skin stays as drawn for the mouse.
    Click(dialog->button(2302));
    EXPECT_FALSE(dialog->button(2302)->hasFocus());
    // Nor does a click on a tab hand the focus of the page it hides to a window button, marked as by Tab: it goes
    // to the shown page.
    const std::pair<int, CBaseDialog*> tabs[] = {
        {2202, dialog->recordPage()}, {2204, dialog->systemPage()}, {2203, dialog->memoryCardPage()}};
    for (const auto& [tab, shown] : tabs) {
        Click(dialog->button(tab));
        ASSERT_NE(QApplication::focusWidget(), nullptr) << tab;
        EXPECT_TRUE(shown->isAncestorOf(QApplication::focusWidget())) << tab;
        for (const int id : {2300, 2301, 2202, 2203, 2204, 2305, 2302, 2303, 2304})
            EXPECT_FALSE(dialog->button(id)->focusMarked()) << tab << " " << id;
    }

    const std::vector<int> expected{2300, 2301, 2203, 2202, 2204, 0, 2305, 2302, 2303, 2304};
    EXPECT_EQ(TabRound(*dialog, dialog->memoryCardPage()), expected);
    // The Record page is the tallest: Tab scrolls it down to its last control and back up.
    Click(dialog->button(2202));
    EXPECT_EQ(TabRound(*dialog, dialog->recordPage()), expected);

    const QImage unfocused = dialog->button(2204)->grab().toImage();
    dialog->button(2204)->setFocus(Qt::TabFocusReason);
    EXPECT_NE(dialog->button(2204)->grab().toImage(), unfocused);
    QTest::keyClick(dialog->button(2204), Qt::Key_Space);
    QApplication::processEvents();
    EXPECT_TRUE(dialog->systemPage()->isVisible());
    EXPECT_TRUE(dialog->button(2204)->latched());

    // Space on Save saves and closes, as its click does.
    dialog->card().record()->setRecordTimerHours(48);
    dialog->button(2304)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(dialog->button(2304), Qt::Key_Space);
    QApplication::processEvents();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(ReadBytes(card / "setup.cfg")[200], 48);
}

} // namespace
} // namespace dashcam
