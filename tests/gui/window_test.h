#pragma once
// What every test of the main window starts from: the process prepared as the editor prepares it, a fresh copy of
// the sample card as the card folder, no state left by an earlier test, and the program's folder on the hard disk.
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/setting_app.h"
#include "app/setting_dlg.h"
#include "i18n/interface_language.h"
#include "i18n/language_table.h"
#include "platform/prompt.h"
#include "settings/card.h"
#include "settings/hand_over.h"
#include "settings/settings_record.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace dashcam::test {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSettingApp::PrepareProcess();
        std::filesystem::copy(sample, card.path(), std::filesystem::copy_options::recursive);
        ResetLanguageTable();
        ResetViewerLanguage();
        ResetHandOver();
        prompt::Reset();
        host.modulePath = u"/opt/dashcam/dashcam-setting";
    }
    void TearDown() override {
        prompt::Reset();
    }

    // The window opened on the card and shown.
    std::unique_ptr<CSettingDlg> Open() {
        auto dialog = std::make_unique<CSettingDlg>(cardRoot);
        EXPECT_TRUE(dialog->OnInitDialog());
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return dialog;
    }
    // A click at `at` (the middle when null); a button's command, which it posts, has arrived when this returns.
    static void Click(QWidget* widget, QPoint at = {}) {
        ASSERT_NE(widget, nullptr);
        QTest::mouseMove(widget, at.isNull() ? widget->rect().center() : at);
        QTest::mouseClick(widget, Qt::LeftButton, {}, at.isNull() ? widget->rect().center() : at);
        QApplication::processEvents();
    }

    const std::filesystem::path sample = std::filesystem::path(DASHCAM_SOURCE_DIR) / "examples/card";
    TempDir card;
    std::u16string cardRoot = card.root(); // the card folder the window is opened on
    FakeHost host;
};

} // namespace dashcam::test
