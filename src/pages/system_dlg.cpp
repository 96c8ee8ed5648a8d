#include "pages/system_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLocale>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
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
#include "settings/slider_scale.h"
#include "settings/touch_calibration.h"
#include "ui/shared_style.h"
#include "ui/sub_slider.h"
#include "ui/ui_text.h"

namespace dashcam {
namespace {

// Section titles, which get leader lines, and the one other label shown.
constexpr std::array<int, 10> kLabelIds = {1363, 1014, 1345, 1343, 1365, 1366, 1302, 4004, 1368, 1017};
// Labels and buttons of the template that the page never places nor gives a text.
constexpr std::array<int, 10> kUnplacedIds = {1359, 1367, 1032, 1033, 1034, 1036, 1301, 1318, 1327, 1328};

// What a click on a radio button stores: the field's setter and the value.
struct RadioValue {
    int id;
    void (SettingsRecord::*set)(std::uint32_t);
    std::uint32_t value;
};
constexpr RadioValue kRadioValues[] = {
    {CSystemDlg::kDaylightOn, &SettingsRecord::setDaylightSaving, 1},
    {CSystemDlg::kDaylightOff, &SettingsRecord::setDaylightSaving, 0},
    {CSystemDlg::kKmh, &SettingsRecord::setSpeedUnit, 0},
    {CSystemDlg::kMph, &SettingsRecord::setSpeedUnit, 1},
    {CSystemDlg::kSpeedStampOn, &SettingsRecord::setSpeedStamp, 1},
    {CSystemDlg::kSpeedStampOff, &SettingsRecord::setSpeedStamp, 0},
    {CSystemDlg::kSafetyCameraOn, &SettingsRecord::setSafetyCameraAlert, 1},
    {CSystemDlg::kSafetyCameraOff, &SettingsRecord::setSafetyCameraAlert, 0},
    {CSystemDlg::kSpeedTrapOn, &SettingsRecord::setSpeedTrapAlert, 1},
    {CSystemDlg::kSpeedTrapOff, &SettingsRecord::setSpeedTrapAlert, 0},
    // Never shown.
    {1330, &SettingsRecord::setSystemRadioChoice, 1},
    {1331, &SettingsRecord::setSystemRadioChoice, 2},
    {1332, &SettingsRecord::setSystemRadioChoice, 3},
    {1333, &SettingsRecord::setSystemRadioChoice, 0},
    {4007, &SettingsRecord::setSystemRadioChoice, 4},
    {1037, &SettingsRecord::setLcdAutoOffMs, 30000},
    {1038, &SettingsRecord::setLcdAutoOffMs, 600000},
    {1039, &SettingsRecord::setLcdAutoOffMs, 0},
    {1384, &SettingsRecord::setDeviceLanguage, 0},
    {1385, &SettingsRecord::setDeviceLanguage, 2},
    {1386, &SettingsRecord::setDeviceLanguage, 6},
};

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
    QStringLiteral("123456789 123456789 123456789 123456789 123456789 123456789 123456789 ");

void CSystemDlg::SetNowFunction(NowFunction now) {
    g_now = now;
}

CSystemDlg::CSystemDlg(Card& card, QWidget* parent) : CBaseDialog(kTemplateId, parent), card_(card) {
    swallowEscape = true;
    scrollMax = 250;
    lineStep = 100;
    CreateControls();
    Create();
}

CSystemDlg::~CSystemDlg() = default;

CTimeZoneInfoManager& CSystemDlg::catalogue() {
    // Taken when the zone list is first filled: the page is built while the catalogue is still being made.
    if (!catalogue_)
        catalogue_ = TimeZoneCataloguePrefetch::Take();
    return *catalogue_;
}

void CSystemDlg::CreateControls() {
    AddLabels(kLabelIds, kUnplacedIds);

    auto makeCombo = [this](int id) {
        auto* box = AddItem(id, new QComboBox(this));
        box->setEditable(false);
        box->setInsertPolicy(QComboBox::InsertAtBottom);
        box->setGeometry(0, 0, 0, 0);
        return box;
    };
    languageBox_ = makeCombo(kLanguageBox);
    connect(languageBox_, &QComboBox::activated, this, &CSystemDlg::OnLanguagePicked);
    zoneBox_ = makeCombo(kTimeZoneBox);
    // The zone list drops down below the box about 30 rows tall, as the platform's own zone list does, rather
    // than open over it as tall as the screen.
    zoneBox_->setStyle(SharedStyle<DropDownListProxy>());
    zoneBox_->setMaxVisibleItems(kZoneListRows);
    connect(zoneBox_, &QComboBox::activated, this, &CSystemDlg::OnTimeZonePicked);

    voiceSlider_ = AddItem(kVoiceSlider, new CSubSlider(this));
    voiceSlider_->setGeometry(0, 0, 0, 0);
    connect(voiceSlider_, &CSubSlider::scrolled, this, &CSystemDlg::OnVoiceSliderMoved);

    auxSlider_ = Unplaced(AddItem(kAuxSlider, new QSlider(Qt::Horizontal, this)));
    connect(auxSlider_, &QSlider::actionTriggered, this, [this] {
        if (SettingsRecord* record = card_.record())
            record->setAuxSliderLevel(static_cast<std::uint32_t>(auxSlider_->sliderPosition()));
    });

    auto* clockCheck = AddItem(kClockCheck, new QCheckBox(this));
    clockCheck->setGeometry(0, 0, 0, 0);
    connect(clockCheck, &QAbstractButton::clicked, this, &CSystemDlg::OnClockCheckClicked);

    // Both pickers start at the moment the page is made; only the user and "Get Current Time" change them.
    const QDateTime now = Now();
    datePicker_ = AddItem(kDatePicker, new QDateEdit(now.date(), this));
    datePicker_->setCalendarPopup(true);
    datePicker_->setDisplayFormat(ShortDateFormat());
    datePicker_->setGeometry(0, 0, 0, 0);
    connect(datePicker_, &QDateEdit::dateChanged, this, &CSystemDlg::OnDateChanged);
    timePicker_ = AddItem(kTimePicker, new QTimeEdit(now.time(), this));
    timePicker_->setGeometry(0, 0, 0, 0);
    connect(timePicker_, &QTimeEdit::timeChanged, this, &CSystemDlg::OnTimeChanged);

    auto* currentTime = AddItem(kCurrentTimeButton, new QPushButton(this));
    currentTime->setAutoDefault(false);
    currentTime->setGeometry(0, 0, 0, 0);
    connect(currentTime, &QAbstractButton::clicked, this, &CSystemDlg::OnGetCurrentTime);

    auto onRadio = [this](int id) { OnRadioClicked(id); };
    AddRadioGroup({kDaylightOn, kDaylightOff}, onRadio);
    AddRadioGroup({kKmh, kMph}, onRadio);
    AddRadioGroup({kSpeedStampOn, kSpeedStampOff}, onRadio);
    AddRadioGroup({kSafetyCameraOn, kSafetyCameraOff}, onRadio);
    AddRadioGroup({kSpeedTrapOn, kSpeedTrapOff}, onRadio);
    AddRadioGroup({1330, 1331, 1332, 1333, 4007}, onRadio);
    AddRadioGroup({1037, 1038, 1039}, onRadio);
    AddRadioGroup({1384, 1385, 1386}, onRadio);
    for (int id : {1330, 1331, 1332, 1333, 4007, 1037, 1038, 1039, 1384, 1385, 1386})
        Unplaced(item(id));

    auto* touch = Unplaced(AddItem(kTouchCalibrationButton, new QPushButton(this)));
    touch->setAutoDefault(false);
    connect(touch, &QAbstractButton::clicked, this, &CSystemDlg::OnTouchCalibration);

    AddFocusSink(kFocusSink);
}

bool CSystemDlg::OnInitDialog() {
    return SetUpPageControls(false);
}

void CSystemDlg::Layout() {
    leaderIds.clear();
    const QFont& normal = normalFont();

    PlaceTitle(1363, u"IDS_STRING193", 15, 20);
    SetItemFont(kLanguageBox, normal, QString(), 25, 45, 250, 25, false);

    PlaceTitle(1014, u"IDS_STRING217", 15, 85);
    MoveItem(this, kVoiceSlider, 150, 130, 350, 55);
    PlaceLabel(1017, u"IDS_STRING117", normal, 60, 172);
    voiceSlider_->SetLabelFont(&normalFont());
    voiceSlider_->SetScale(kVoiceScale, CSubSlider::kLabelEvery);
    voiceSlider_->setValue(2);

    PlaceTitle(1345, u"IDS_STRING185", 15, 217);
    SetItemFont(kTimeZoneBox, normal, kZoneBoxMeasure, 25, 252, 0, 25, true);

    PlaceTitle(1343, u"IDS_STRING182", 15, 292);
    const int w = PlaceOptionItem(this, kClockCheck, QString(), normal, 25, 322).width();
    SetItemFont(kDatePicker, normal, QString(), w + 40, 322, 90, 25, false);
    MoveItem(this, kTimePicker, w + 140, 322, 100, 25);
    timePicker_->setFont(normal);
    timePicker_->setDisplayFormat(QStringLiteral("hh:mm:ss AP"));
    SetItemText(kCurrentTimeButton, normal, UiText(u"IDS_STRING184"), w + 250, 322, 0, 25, true);
    const bool requested = card_.clock().timeSyncRequested == 1;
    SetChecked(kClockCheck, requested);
    SetClockControlsEnabled(requested);

    // The option rows: a section title and its two radio buttons.
    struct OptionRow {
        int titleId;
        const char16_t* titleKey;
        int titleY;
        int onId, onX, onY;
        const char16_t* onKey;
        int offId, offX, offY;
        const char16_t* offKey;
    };
    const OptionRow rows[] = {
        {1365, u"IDS_STRING196", 367, kDaylightOn, 25, 397, u"IDS_STRING115", kDaylightOff, 25, 427,
         u"IDS_STRING116"},
        {1366, u"IDS_STRING190", 472, kKmh, 25, 502, u"IDS_STRING191", kMph, 125, 502, u"IDS_STRING192"},
        {1302, u"IDS_STRING309", 542, kSpeedStampOn, 25, 582, u"IDS_STRING115", kSpeedStampOff, 25, 607,
         u"IDS_STRING116"},
        {4004, u"IDS_STRING119", 647, kSafetyCameraOn, 25, 687, u"IDS_STRING115", kSafetyCameraOff, 25, 712,
         u"IDS_STRING116"},
        {1368, u"IDS_STRING340", 757, kSpeedTrapOn, 25, 797, u"IDS_STRING115", kSpeedTrapOff, 25, 822,
         u"IDS_STRING116"},
    };
    for (const OptionRow& row : rows) {
        PlaceTitle(row.titleId, row.titleKey, 15, row.titleY);
        PlaceLabel(row.onId, row.onKey, normal, row.onX, row.onY);
        PlaceLabel(row.offId, row.offKey, normal, row.offX, row.offY);
    }

    scrollMax = 415;
    NameAfterCaptions(kLanguageBox, {1363});
    NameAfterCaptions(kVoiceSlider, {1014});
    NameAfterCaptions(kTimeZoneBox, {1345});
    for (int id : {kClockCheck, kDatePicker, kTimePicker})
        NameAfterCaptions(id, {1343});
}

void CSystemDlg::Refresh() {
    SettingsRecord* record = card_.record();
    if (!record)
        return;

    RefreshTimeZone();

    voiceSlider_->setValue(record->voiceGuidanceOn() != 0 ? static_cast<int>(record->voiceVolume()) : 0);

    const std::uint32_t choice = record->systemRadioChoice();
    SetChecked(1330, choice == 1);
    SetChecked(1331, choice == 2);
    SetChecked(1332, choice == 3);
    SetChecked(1333, choice == 0);

    RefreshClockRequest();

    const std::uint32_t language = record->deviceLanguage();
    SetChecked(1384, language == 0);
    SetChecked(1385, language == 2);
    SetChecked(1386, language == 6);

    // The list comes from the card and does not change during a run: filled once. One item per language code;
    // a code without a known name shows the code itself, so that item n stays language n.
    if (languageBox_->count() == 0 && versionInfo_) {
        const auto& codes = versionInfo_->languageCodes;
        const auto& names = versionInfo_->languageNames;
        for (std::size_t i = 0; i < codes.size(); ++i)
            languageBox_->addItem(QString::fromStdU16String(i < names.size() ? names[i] : codes[i]));
    }
    languageBox_->setCurrentIndex(
        language < static_cast<std::uint32_t>(languageBox_->count()) ? static_cast<int>(language) : -1);

    ShowCheckedOf(kDaylightOn, kDaylightOff, record->daylightSaving() != 0);
    ShowCheckedOf(kMph, kKmh, record->speedUnit() != 0);

    {
        const QSignalBlocker quiet(auxSlider_);
        auxSlider_->setValue(static_cast<int>(record->auxSliderLevel()));
    }
    const std::uint32_t lcd = record->lcdAutoOffMs();
    SetChecked(1039, lcd == 0);
    SetChecked(1038, lcd == 600000);
    SetChecked(1037, lcd != 0 && lcd != 600000);

    ShowCheckedOf(kSafetyCameraOn, kSafetyCameraOff, record->safetyCameraAlert() == 1);
    ShowCheckedOf(kSpeedStampOn, kSpeedStampOff, record->speedStamp() == 1);
    ShowCheckedOf(kSpeedTrapOn, kSpeedTrapOff, record->speedTrapAlert() == 1);
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

void CSystemDlg::ShowCheckedOf(int onId, int offId, bool on) {
    SetChecked(onId, on);
    SetChecked(offId, !on);
}

void CSystemDlg::OnRadioClicked(int id) {
    SettingsRecord* record = card_.record();
    if (!record)
        return;
    for (const RadioValue& r : kRadioValues)
        if (r.id == id)
            (record->*r.set)(r.value);
}

void CSystemDlg::OnVoiceSliderMoved(int position) {
    SettingsRecord* record = card_.record();
    if (!record)
        return;
    if (position <= 0) {
        record->setVoiceGuidanceOn(0);
        return;
    }
    record->setVoiceGuidanceOn(1);
    record->setVoiceVolume(static_cast<std::uint32_t>(position));
}

void CSystemDlg::OnTimeZonePicked(int index) {
    SettingsRecord* record = card_.record();
    CTimeZoneInfoManager& zones = catalogue();
    if (!record || index < 0 || static_cast<std::size_t>(index) >= zones.zoneCount())
        return;
    zones.selectedZoneIndex = index;
    StoreZoneInRecord(zones.zone(static_cast<std::size_t>(index)), *record);
}

void CSystemDlg::OnLanguagePicked(int index) {
    SettingsRecord* record = card_.record();
    if (record && index >= 0)
        record->setDeviceLanguage(static_cast<std::uint32_t>(index));
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
