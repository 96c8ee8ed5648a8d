// The main window on a copy of the sample card: what the System page edits reaches setup.cfg and time.dat on
// Save, byte for byte, and a clock request read from the card is not sent back unless the user asks again.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QTest>

#include <filesystem>

#include "app/setting_app.h"
#include "app/setting_dlg.h"
#include "i18n/interface_language.h"
#include "i18n/language_table.h"
#include "pages/system_dlg.h"
#include "platform/prompt.h"
#include "settings/card_files.h"
#include "settings/hand_over.h"
#include "settings/settings_record.h"
#include "gui/window_test.h"
#include "support/fake_host.h"
#include "support/fake_time_zones.h"
#include "support/temp_dir.h"
#include "ui/r_button.h"
#include "ui/sub_slider.h"

namespace dashcam {
namespace {
namespace fs = std::filesystem;
using test::ReadBytes;

QDateTime FixedNow() {
    return QDateTime(QDate(2024, 2, 29), QTime(8, 9, 10));
}

class SystemPageSave : public test::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        zones = std::make_unique<test::FakeTimeZones>(); // after the system's zones were installed
        zones->Add(u"Korea Standard Time", u"(UTC+09:00) Seoul", u"Korea Standard Time", 540);
        zones->Add(u"W. Europe Standard Time", u"(UTC+01:00) Amsterdam, Berlin", u"W. Europe Standard Time",
                   60);
        zones->host = {-60, 0, u"W. Europe Standard Time"};
        test::WriteText(card / "time.dat", "2020,01,01,00,00,00,+0100"); // an old request on the card
        host.bias = -60;
        CSystemDlg::SetNowFunction(&FixedNow);
        dialog = Open();
        Click(dialog->button(CSettingDlg::kSystemTab));
        page = dialog->systemPage();
        ASSERT_TRUE(page->isVisible());
    }
    void TearDown() override {
        dialog.reset();
        CSystemDlg::SetNowFunction(nullptr);
        WindowTest::TearDown();
    }
    void Save() { Click(dialog->button(2304)); }

    std::unique_ptr<test::FakeTimeZones> zones;
    std::unique_ptr<CSettingDlg> dialog;
    CSystemDlg* page = nullptr;
};

TEST_F(SystemPageSave, EditsReachSetupCfgAndTimeDat) {
    auto* zoneBox = page->itemAs<QComboBox>(CSystemDlg::kTimeZoneBox);
    ASSERT_EQ(zoneBox->itemText(0), "(UTC+09:00) Seoul");
    zoneBox->setCurrentIndex(0);
    emit zoneBox->activated(0);
    QTest::mouseClick(page->itemAs<QAbstractButton>(CSystemDlg::kMph), Qt::LeftButton);
    QTest::keyClick(page->voiceSlider(), Qt::Key_Home);
    auto* languageBox = page->itemAs<QComboBox>(CSystemDlg::kLanguageBox);
    ASSERT_EQ(languageBox->count(), 6); // en de fr es it pt
    EXPECT_EQ(languageBox->itemText(1), "German");
    languageBox->setCurrentIndex(3);
    emit languageBox->activated(3);
    QTest::mouseClick(page->itemAs<QCheckBox>(CSystemDlg::kClockCheck), Qt::LeftButton);
    Save();
    EXPECT_FALSE(dialog->isVisible());

    const auto original = ReadBytes(sample / "setup.cfg");
    SettingsRecord expected;
    std::copy(original.begin(), original.end(), expected.bytes.begin());
    expected.setTimeZoneName("Korea Standard Time");
    expected.setTimeZoneBias(540);
    expected.setSpeedUnit(1);
    expected.setVoiceGuidanceOn(0);
    expected.setDeviceLanguage(3);
    EXPECT_EQ(ReadBytes(card / "setup.cfg"),
              std::vector<std::uint8_t>(expected.bytes.begin(), expected.bytes.end()));
    EXPECT_EQ(test::ReadText(card / "time.dat"), "2024,02,29,08,09,10,+0100");
}

TEST_F(SystemPageSave, TheCardsOldClockRequestIsNotSentBack) {
    // Start-up read it, the page's Refresh switched it off: an unedited save deletes it.
    EXPECT_FALSE(page->itemAs<QCheckBox>(CSystemDlg::kClockCheck)->isChecked());
    QTest::mouseClick(page->itemAs<QCheckBox>(CSystemDlg::kClockCheck), Qt::LeftButton);
    ASSERT_EQ(dialog->card().clock().timeSyncRequested, 1u);
    Click(dialog->button(2302)); // Initialize cancels a request made since
    EXPECT_EQ(dialog->card().clock().timeSyncRequested, 0u);
    EXPECT_FALSE(page->itemAs<QCheckBox>(CSystemDlg::kClockCheck)->isChecked());
    Save();
    EXPECT_FALSE(fs::exists(card / "time.dat"));
}

} // namespace
} // namespace dashcam
