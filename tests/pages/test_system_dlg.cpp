#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimeEdit>
#include <gtest/gtest.h>

#include <memory>

#include "page_test_env.h"
#include "pages/system_dlg.h"
#include "timezone/time_zone_info_manager.h"
#include "platform/prompt.h"
#include "settings/card_files.h"
#include "settings/card_version_info.h"
#include "settings/settings_record.h"
#include "support/fake_host.h"
#include "support/fake_time_zones.h"
#include "support/temp_dir.h"
#include "support/trace_capture.h"
#include "ui/sub_slider.h"

namespace dashcam {
namespace {
namespace fs = std::filesystem;

QDateTime FixedNow() {
    return QDateTime(QDate(2024, 2, 29), QTime(8, 9, 10));
}

class SystemPageTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::PreparePageTest());
        CSystemDlg::SetNowFunction(&FixedNow);
        zones.Add(u"GMT Standard Time", u"(UTC+00:00) Dublin, Edinburgh, Lisbon, London",
                  u"GMT Standard Time", 0);
        zones.Add(u"Korea Standard Time", u"(UTC+09:00) Seoul", u"Korea Standard Time", 540);
        zones.Add(u"W. Europe Standard Time", u"(UTC+01:00) Amsterdam, Berlin", u"W. Europe Standard Time",
                  60);
        zones.host = {-60, 0, u"W. Europe Standard Time"};
        fs::copy_file(test::kSampleCard / "setup.cfg", card / "setup.cfg");
        ASSERT_TRUE(cardFiles.LoadSettingsFile(card.root() + u"setup.cfg"));
        versionInfo.languageCodes = {u"en", u"fr", u"xx"};
        versionInfo.languageNames = {u"English", u"French"};
        Open();
    }
    void TearDown() override {
        window.reset();
        CSystemDlg::SetNowFunction(nullptr);
        prompt::Reset();
    }
    void Open() {
        window = std::make_unique<QDialog>();
        window->resize(CSystemDlg::kPageWidth, CSystemDlg::kPageHeight);
        page = new CSystemDlg(cardFiles, window.get());
        page->SetVersionInfo(&versionInfo);
        page->Refresh();
    }
    SettingsRecord& record() { return *cardFiles.record(); }
    QAbstractButton* button(int id) { return page->itemAs<QAbstractButton>(id); }
    QComboBox* combo(int id) { return page->itemAs<QComboBox>(id); }
    QDateEdit* datePicker() { return page->itemAs<QDateEdit>(CSystemDlg::kDatePicker); }
    QTimeEdit* timePicker() { return page->itemAs<QTimeEdit>(CSystemDlg::kTimePicker); }
    // A choice in the drop-down list as the user makes it.
    void Pick(QComboBox* box, int index) {
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

    test::FakeTimeZones zones;
    test::FakeHost host;
    test::TempDir card;
    Card cardFiles{card.root()};
    CardVersionInfo versionInfo;
    std::unique_ptr<QDialog> window;
    CSystemDlg* page = nullptr;
};

TEST_F(SystemPageTest, RowsAndBoxesSitWhereTheLayoutPutsThem) {
    EXPECT_EQ(page->scrollMaximum(), 415);
    EXPECT_EQ(page->leaders(), (std::vector<int>{1363, 1014, 1345, 1343, 1365, 1366, 1302, 4004, 1368}));
    EXPECT_EQ(combo(1390)->geometry(), QRect(25, 45, 250, 25));
    const int zoneWidth = CSystemDlg::MeasureTextWidth(CSystemDlg::kZoneBoxMeasure, page->normalFont());
    EXPECT_EQ(combo(1123)->geometry(), QRect(25, 252, zoneWidth, 25));

    const int w = button(1326)->width();
    EXPECT_EQ(button(1326)->geometry(), QRect(25, 322, 25, 25));
    EXPECT_EQ(datePicker()->geometry(), QRect(w + 40, 322, 90, 25));
    EXPECT_TRUE(datePicker()->calendarPopup());
    EXPECT_EQ(timePicker()->geometry(), QRect(w + 140, 322, 100, 25));
    EXPECT_EQ(timePicker()->displayFormat(), "hh:mm:ss AP");
    EXPECT_EQ(timePicker()->text(), "08:09:10 AM");
    EXPECT_FALSE(page->item(CSystemDlg::kTouchCalibrationButton)->isVisibleTo(page));
}

TEST_F(SystemPageTest, VoiceSliderTurnsGuidanceOffWithoutLosingTheVolume) {
    record().setVoiceGuidanceOn(1);
    record().setVoiceVolume(2);
    page->Refresh();
    CSubSlider* slider = page->voiceSlider();
    ASSERT_EQ(slider->value(), 2);
    QTest::keyClick(slider, Qt::Key_Home);
    EXPECT_EQ(record().voiceGuidanceOn(), 0u);
    EXPECT_EQ(record().voiceVolume(), 2u);
    QTest::keyClick(slider, Qt::Key_Right);
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(record().voiceGuidanceOn(), 1u);
    EXPECT_EQ(record().voiceVolume(), 2u);

    record().setVoiceGuidanceOn(0);
    record().setVoiceVolume(3);
    page->Refresh();
    EXPECT_EQ(slider->value(), 0);
}

TEST_F(SystemPageTest, OptionRowsShowOddValuesAndClicksStoreTheirs) {
    record().setDaylightSaving(5);
    record().setSafetyCameraAlert(5);
    record().setSpeedUnit(2);
    page->Refresh();
    EXPECT_TRUE(button(1380)->isChecked());
    EXPECT_TRUE(button(4006)->isChecked());
    EXPECT_TRUE(button(CSystemDlg::kMph)->isChecked());

    QTest::mouseClick(button(1381), Qt::LeftButton);
    QTest::mouseClick(button(4005), Qt::LeftButton);
    QTest::mouseClick(button(1382), Qt::LeftButton);
    EXPECT_EQ(record().daylightSaving(), 0u);
    EXPECT_EQ(record().safetyCameraAlert(), 1u);
    EXPECT_EQ(record().speedUnit(), 0u);
    EXPECT_TRUE(button(1382)->isChecked());
    EXPECT_FALSE(button(CSystemDlg::kMph)->isChecked());
}

TEST_F(SystemPageTest, ClockRequestFollowsTheBoxAndThePickers) {
    QCheckBox* box = page->itemAs<QCheckBox>(CSystemDlg::kClockCheck);
    EXPECT_FALSE(datePicker()->isEnabled());
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(cardFiles.clock().timeSyncRequested, 1u);
    EXPECT_TRUE(datePicker()->isEnabled());
    EXPECT_EQ(cardFiles.clock().timeSyncTime, (SystemTime{2024, 2, 4, 29, 8, 9, 10, 0}));

    // Only the date: the time of day stays.
    datePicker()->setFocus();
    datePicker()->setSelectedSection(QDateTimeEdit::DaySection);
    QTest::keyClick(datePicker(), Qt::Key_Down);
    EXPECT_EQ(datePicker()->date(), QDate(2024, 2, 28));
    EXPECT_EQ(cardFiles.clock().timeSyncTime, (SystemTime{2024, 2, 3, 28, 8, 9, 10, 0}));

    // Edit the time, uncheck, check again: the edited time and the picker's date.
    timePicker()->setFocus();
    timePicker()->setSelectedSection(QDateTimeEdit::HourSection);
    QTest::keyClick(timePicker(), Qt::Key_Up);
    EXPECT_EQ(cardFiles.clock().timeSyncTime.hour, 9u);
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(cardFiles.clock().timeSyncRequested, 0u);
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(cardFiles.clock().timeSyncTime, (SystemTime{2024, 2, 3, 28, 9, 9, 10, 0}));

    // Get Current Time shows the clock in both pickers and takes it.
    QTest::mouseClick(button(CSystemDlg::kCurrentTimeButton), Qt::LeftButton);
    EXPECT_EQ(datePicker()->date(), QDate(2024, 2, 29));
    EXPECT_EQ(cardFiles.clock().timeSyncTime, (SystemTime{2024, 2, 4, 29, 8, 9, 10, 0}));

    // A restore of the defaults refreshes the page and cancels the request; the pickers keep their value.
    page->Refresh();
    EXPECT_EQ(cardFiles.clock().timeSyncRequested, 0u);
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(button(CSystemDlg::kCurrentTimeButton)->isEnabled());
    EXPECT_EQ(datePicker()->date(), QDate(2024, 2, 29));
}

TEST_F(SystemPageTest, ZonePickStoresTheKeyNameAndBias) {
    QComboBox* box = combo(CSystemDlg::kTimeZoneBox);
    ASSERT_EQ(box->count(), 3);
    EXPECT_EQ(box->itemText(0), "(UTC+09:00) Seoul"); // east to west
    record().bytes[405] = 0x55;
    test::TraceCapture traces;
    Pick(box, 0);
    EXPECT_EQ(record().timeZoneName(), "Korea Standard Time");
    EXPECT_EQ(record().timeZoneBias(), 540);
    EXPECT_EQ(record().bytes[405], 0); // the whole field is cleared first
    EXPECT_EQ(page->catalogue().selectedZoneIndex, 0);
    EXPECT_EQ(traces.text(), "TimeZone [Korea Standard Time] Bias[540]\n");

    // Refresh finds the record's zone again and does not write.
    traces.clear();
    const auto before = record().bytes;
    page->Refresh();
    EXPECT_EQ(box->currentIndex(), 0);
    EXPECT_EQ(record().bytes, before);
    EXPECT_EQ(traces.text(), "TimeZone Read  [Korea Standard Time] Bias[540]\n");
}

TEST_F(SystemPageTest, RecordWithoutZoneTakesTheHostsAndAnUnknownZoneIsKept) {
    record().setTimeZoneName("");
    record().setTimeZoneBias(0);
    record().bytes[405] = 0x55;
    page->Refresh();
    EXPECT_EQ(record().timeZoneName(), "W. Europe Standard Time");
    EXPECT_EQ(record().timeZoneBias(), 60);
    EXPECT_EQ(record().bytes[405], 0x55); // only the name and its NUL are written
    EXPECT_EQ(combo(CSystemDlg::kTimeZoneBox)->currentIndex(), 1);

    record().setTimeZoneName("Atlantis Time");
    record().setTimeZoneBias(-150);
    page->Refresh();
    EXPECT_EQ(record().timeZoneName(), "Atlantis Time");
    EXPECT_EQ(record().timeZoneBias(), -150);
}

TEST_F(SystemPageTest, LanguageBoxListsTheCardsLanguagesOnce) {
    QComboBox* box = combo(CSystemDlg::kLanguageBox);
    ASSERT_EQ(box->count(), 3);
    EXPECT_EQ(box->itemText(2), "xx"); // a code without a known name shows the code
    Pick(box, 1);
    EXPECT_EQ(record().deviceLanguage(), 1u);

    record().setDeviceLanguage(7);
    versionInfo.languageCodes.push_back(u"de");
    page->Refresh();
    EXPECT_EQ(box->count(), 3);
    EXPECT_EQ(box->currentIndex(), -1);
    EXPECT_EQ(record().deviceLanguage(), 7u);
}

TEST_F(SystemPageTest, TouchCalibrationReportsSuccessOnlyWhenTheFileIsWritten) {
    host.volumeRoot = card.root();
    prompt::QueueAnswer(prompt::Answer::No);
    page->OnTouchCalibration();
    EXPECT_FALSE(fs::exists(card / "set_touch_cal.txt"));
    EXPECT_EQ(prompt::History().size(), 1u);

    prompt::QueueAnswer(prompt::Answer::Yes);
    prompt::QueueAnswer(prompt::Answer::Ok);
    page->OnTouchCalibration();
    ASSERT_TRUE(fs::exists(card / "set_touch_cal.txt"));
    EXPECT_EQ(fs::file_size(card / "set_touch_cal.txt"), 0u);
    ASSERT_EQ(prompt::History().size(), 3u);
    EXPECT_EQ(prompt::History()[1].caption, u"Initialize");
    EXPECT_EQ(prompt::History()[2].text, u"Calibrating touchscreen complete.");

    // Something that is no file stands in the way.
    fs::remove(card / "set_touch_cal.txt");
    fs::create_directory(card / "set_touch_cal.txt");
    prompt::QueueAnswer(prompt::Answer::Yes);
    prompt::QueueAnswer(prompt::Answer::Ok);
    page->OnTouchCalibration();
    ASSERT_EQ(prompt::History().size(), 5u);
    EXPECT_NE(prompt::History()[4].text.find(u"could not be written"), std::u16string::npos);
}

} // namespace
} // namespace dashcam
