#include "pages/system_dlg.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLocale>
#include <QProxyStyle>
#include <QSignalBlocker>
#include <QTimeEdit>

#include <algorithm>
#include <array>
#include <string>

#include "i18n/language_table.h"
#include "timezone/store_zone_in_record.h"
#include "timezone/time_zone_catalogue_prefetch.h"
#include "timezone/time_zone_info_manager.h"
#include "platform/prompt.h"
#include "platform/text_codec.h"
#include "platform/trace.h"
#include "settings/card_files.h"
#include "settings/card_version_info.h"
#include "settings/settings_record.h"
#include "settings/touch_calibration.h"
#include "ui/shared_style.h"
#include "ui/sub_slider.h"
#include "ui/ui_text.h"

namespace dashcam {
namespace {

// A list box whose list drops down below it, as many rows as the box allows, in the application's style.
class DropDownListProxy : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

CSystemDlg::NowFunction g_now = nullptr;

QDateTime Now() {
    return g_now ? g_now() : QDateTime::currentDateTime();
}

// The locale's short date, with the year in full as the camera's owner reads it.
QString ShortDateFormat() {
    QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

void TakeDate(SystemTime& t, QDate date) {
    t.year = static_cast<std::uint16_t>(date.year());
    t.month = static_cast<std::uint16_t>(date.month());
    t.dayOfWeek = static_cast<std::uint16_t>(date.dayOfWeek() % 7); // Sunday is 0
    t.day = static_cast<std::uint16_t>(date.day());
}

void TakeTime(SystemTime& t, QTime time) {
    t.hour = static_cast<std::uint16_t>(time.hour());
    t.minute = static_cast<std::uint16_t>(time.minute());
    t.second = static_cast<std::uint16_t>(time.second());
    t.milliseconds = static_cast<std::uint16_t>(time.msec());
}

std::u16string Decimal(std::int32_t value) {
    return Widen(std::to_string(value));
}

} // namespace

const QString CSystemDlg::kZoneBoxMeasure =
    QStringView(SystemPageForm().Find(SystemPageIds::kTimeZoneBox)->caption).toString();

void CSystemDlg::SetNowFunction(NowFunction now) {
    g_now = now;
}

CSystemDlg::CSystemDlg(Card& card, QWidget* parent) : CBaseDialog(kTemplateId, parent), card_(card) {
    swallowEscape = true;
    scrollMax = 250;
    lineStep = 100;
    CreateForm(SystemPageForm());
    SetUpControls();
    Create();
}

CSystemDlg::~CSystemDlg() = default;

CTimeZoneInfoManager& CSystemDlg::catalogue() {
    // Taken when the zone list is first filled: the page is built while the catalogue is still being made.
    if (!catalogue_)
        catalogue_ = TimeZoneCataloguePrefetch::Take();
    return *catalogue_;
}

void CSystemDlg::SetUpControls() {
    languageBox_ = itemAs<QComboBox>(kLanguageBox);
    zoneBox_ = itemAs<QComboBox>(kTimeZoneBox);
    // The zone list drops down below the box about 30 rows tall, as the platform's own zone list does, rather
    // than open over it as tall as the screen.
    zoneBox_->setStyle(SharedStyle<DropDownListProxy>());
    zoneBox_->setMaxVisibleItems(kZoneListRows);
    voiceSlider_ = itemAs<CSubSlider>(kVoiceSlider);

    // Both pickers start at the moment the page is made; only the user and "Get Current Time" change them.
    const QDateTime now = Now();
    datePicker_ = itemAs<QDateEdit>(kDatePicker);
    timePicker_ = itemAs<QTimeEdit>(kTimePicker);
    const QSignalBlocker quietDate(datePicker_);
    const QSignalBlocker quietTime(timePicker_);
    datePicker_->setDate(now.date());
    datePicker_->setDisplayFormat(ShortDateFormat());
    timePicker_->setTime(now.time());
}

bool CSystemDlg::OnInitDialog() {
    return SetUpPageControls(false);
}

void CSystemDlg::Layout() {
    PlaceForm();
    timePicker_->setDisplayFormat(QStringLiteral("hh:mm:ss AP"));
    const bool requested = card_.clock().timeSyncRequested == 1;
    SetChecked(kClockCheck, requested);
    SetClockControlsEnabled(requested);
    scrollMax = 415;
}

void CSystemDlg::Refresh() {
    SettingsRecord* record = card_.record();
    if (!record)
        return;

    RefreshTimeZone();
    ShowRecord(*record);
    RefreshClockRequest();

    // The list comes from the card and does not change during a run: filled once. One item per language code;
    // a code without a known name shows the code itself, so that item n stays language n.
    if (languageBox_->count() == 0 && versionInfo_) {
        const auto& codes = versionInfo_->languageCodes;
        const auto& names = versionInfo_->languageNames;
        for (std::size_t i = 0; i < codes.size(); ++i)
            languageBox_->addItem(QString::fromStdU16String(i < names.size() ? names[i] : codes[i]));
    }
    const std::uint32_t language = record->deviceLanguage();
    languageBox_->setCurrentIndex(
        language < static_cast<std::uint32_t>(languageBox_->count()) ? static_cast<int>(language) : -1);
}

void CSystemDlg::RefreshTimeZone() {
    SettingsRecord& record = *card_.record();
    CTimeZoneInfoManager& zones = catalogue();
    QStringList names;
    names.reserve(static_cast<qsizetype>(zones.zoneCount()));
    for (std::size_t i = 0; i < zones.zoneCount(); ++i)
        names << QString::fromStdU16String(std::u16string(DisplayNameOf(zones.zone(i))));
    zoneBox_->clear();
    zoneBox_->addItems(names); // in one insertion: a combo box redoes its bookkeeping for each one

    const std::string_view ansiName = record.timeZoneName();
    const std::u16string name = AnsiForDisplay(ansiName);
    const std::int32_t bias = record.timeZoneBias();
    Trace(u"TimeZone Read  [" + name + u"] Bias[" + Decimal(bias) + u"]\n");

    // A record that has never had a zone takes the PC's.
    int index = GiveRecordTheHostZone(zones, record).value_or(-1);
    if (index == -1) {
        index = zones.FindZone(name, bias);
        if (index == -1)
            index = zones.FindHostZone();
    }
    zones.selectedZoneIndex = index;
    zoneBox_->setCurrentIndex(index < zoneBox_->count() ? index : -1);
}

void CSystemDlg::RefreshClockRequest() {
    // A request read from the card at start-up, or made before a restore of the defaults, is not sent again
    // unless the user asks for it.
    card_.clock().timeSyncRequested = 0;
    SetChecked(kClockCheck, false);
    SetClockControlsEnabled(false);
}

void CSystemDlg::SetClockControlsEnabled(bool enabled) {
    SetEnabled(kTimePicker, enabled);
    SetEnabled(kDatePicker, enabled);
    SetEnabled(kCurrentTimeButton, enabled);
}

void CSystemDlg::OnFormInput(const FormControl& row, int state) {
    switch (row.id) {
    case kTimeZoneBox:
        OnTimeZonePicked(state);
        return;
    case kClockCheck:
        OnClockCheckClicked(state != 0);
        return;
    case kDatePicker:
        OnDateChanged();
        return;
    case kTimePicker:
        OnTimeChanged();
        return;
    case kCurrentTimeButton:
        OnGetCurrentTime();
        return;
    case kTouchCalibrationButton:
        OnTouchCalibration();
        return;
    default:
        CBaseDialog::OnFormInput(row, state);
    }
}

void CSystemDlg::OnTimeZonePicked(int index) {
    SettingsRecord* record = card_.record();
    CTimeZoneInfoManager& zones = catalogue();
    if (!record || index < 0 || static_cast<std::size_t>(index) >= zones.zoneCount())
        return;
    zones.selectedZoneIndex = index;
    StoreZoneInRecord(zones.zone(static_cast<std::size_t>(index)), *record);
}

void CSystemDlg::OnClockCheckClicked(bool checked) {
    SetClockControlsEnabled(checked);
    ClockRequest& clock = card_.clock();
    clock.timeSyncRequested = checked ? 1 : 0;
    if (checked) {
        TakeDate(clock.timeSyncTime, datePicker_->date());
        TakeTime(clock.timeSyncTime, timePicker_->time());
    }
}

void CSystemDlg::OnDateChanged() {
    if (card_.clock().timeSyncRequested != 0)
        TakeDate(card_.clock().timeSyncTime, datePicker_->date());
}

void CSystemDlg::OnTimeChanged() {
    if (card_.clock().timeSyncRequested != 0)
        TakeTime(card_.clock().timeSyncTime, timePicker_->time());
}

void CSystemDlg::OnGetCurrentTime() {
    const QDateTime now = Now();
    {
        const QSignalBlocker quietDate(datePicker_);
        const QSignalBlocker quietTime(timePicker_);
        datePicker_->setDate(now.date());
        timePicker_->setTime(now.time());
    }
    // The time picker holds the whole moment it was given, date included.
    if (card_.clock().timeSyncRequested != 0) {
        TakeDate(card_.clock().timeSyncTime, now.date());
        TakeTime(card_.clock().timeSyncTime, timePicker_->time());
    }
}

void CSystemDlg::OnTouchCalibration() {
    const std::u16string caption = LookupText(u"IDS_STRING219");
    const prompt::Answer answer =
        prompt::Ask({prompt::Kind::MessageYesNo, caption,
                     LookupText(u"IDS_STRING220") + u"\n" + LookupText(u"IDS_STRING2200")});
    if (answer != prompt::Answer::Yes)
        return;
    // The request file is written first; the user hears of success only when it is really on the card.
    const std::u16string path = TouchCalibrationRequestPath(card_.root());
    if (WriteTouchCalibrationRequest(path)) {
        prompt::Ask({prompt::Kind::MessageOk, caption, LookupText(u"IDS_STRING221")});
        return;
    }
    prompt::Ask({prompt::Kind::MessageOk, caption,
                 LookupText(u"IDS_STRING906") + (path.empty() ? std::u16string() : u"\n" + path) + u"\n\n" +
                     LookupText(u"IDS_STRING907"),
                 true});
}

} // namespace dashcam
