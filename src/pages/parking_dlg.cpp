#include "pages/parking_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

#include <array>

#include "i18n/language_table.h"
#include "platform/prompt.h"
#include "settings/settings_record.h"
#include "settings/slider_scale.h"
#include "ui/fonts.h"
#include "ui/msg_popup_dlg.h"
#include "ui/sub_slider.h"
#include "ui/ui_text.h"

namespace dashcam {
namespace {

// The slider position of the stored record-timer hours: a stored 0 reads as the step before the first (the slider
// shows it at its left end), a value no position stores as one beyond the last.
int RecordTimerPosition(std::uint32_t hours) {
    return hours == 0 ? kRecordTimerScale.minimum - 1
                      : kRecordTimerScale.PositionOf(hours).value_or(kRecordTimerScale.maximum + 1);
}

// Labels of the page, created as the template lists them: those that the layout places, then those that it never
// gives a text or a place.
constexpr std::array<int, 18> kPlacedLabelIds = {1210, 1211, 1212, 1000, 1003, 1005, 1112, 1109, 1110,
                                                 1111, 1113, 1114, 1115, 1117, 1118, 1119, 1120, 1122};
constexpr std::array<int, 7> kUnplacedLabelIds = {1001, 1002, 1124, 1125, 1126, 1127, 4105};

} // namespace

CParkingDlg::CParkingDlg(Card& card, QWidget* parent) : CBaseDialog(kTemplateId, parent), card_(card) {
    swallowEscape = true;
    scrollMax = 500;
    lineStep = 80;
    CreateControls();
    Create();
}

CParkingDlg::~CParkingDlg() = default;

void CParkingDlg::CreateControls() {
    AddLabels(kPlacedLabelIds, kUnplacedLabelIds);

    auto makeSlider = [this](int id) {
        auto* s = AddItem(id, new CSubSlider(this));
        s->setGeometry(0, 0, 0, 0);
        connect(s, &CSubSlider::scrolled, this, [this, id](int position) { OnSliderMoved(id, position); });
        return s;
    };
    // In the order the page declares them.
    continuousSlider_ = makeSlider(kContinuousSensitivity);
    parkingSlider_ = makeSlider(kParkingSensitivity);
    motionSlider_ = makeSlider(kMotionSensitivity);
    timerSlider_ = makeSlider(kRecordTimer);
    cutoff12Slider_ = makeSlider(kCutoff12V);
    cutoff24Slider_ = makeSlider(kCutoff24V);
    brightnessSlider_ = makeSlider(kBrightness);

    parkingGroup_ = AddRadioGroup({kParkingEnabled, kParkingMode2, kParkingDisabled},
                              [this](int id) { OnParkingModeClicked(id); });
    Unplaced(item(kParkingMode2));
    lowVoltageGroup_ =
        AddRadioGroup({kLowVoltageOn, kLowVoltageOff}, [this](int id) { OnLowVoltageClicked(id); });
    optionAGroup_ = AddRadioGroup({kOptionAOn, kOptionAOff}, [this](int id) {
        if (SettingsRecord* record = card_.record())
            record->setRecordOptionA(id == kOptionAOn ? 1 : 0);
    });
    optionCGroup_ = AddRadioGroup({kOptionCOn, kOptionCOff}, [this](int id) {
        if (SettingsRecord* record = card_.record())
            record->setRecordOptionC(id == kOptionCOn ? 1 : 0);
    });
    for (int id : {kLowVoltageOn, kLowVoltageOff, kOptionAOn, kOptionAOff, kOptionCOn, kOptionCOff})
        Unplaced(item(id));

    for (int id = kWinterMonthFirst; id <= kWinterMonthLast; ++id) {
        auto* box = Unplaced(AddItem(id, new QCheckBox(this)));
        connect(box, &QAbstractButton::clicked, this,
                [this, id](bool checked) { OnWinterMonthClicked(id, checked); });
    }
    auto* optionA = Unplaced(AddItem(kOptionACheck, new QCheckBox(this)));
    connect(optionA, &QAbstractButton::clicked, this, [this](bool checked) {
        if (SettingsRecord* record = card_.record())
            record->setRecordOptionA(checked ? 1 : 0);
    });
    auto* optionB = Unplaced(AddItem(kOptionBCheck, new QCheckBox(this)));
    connect(optionB, &QAbstractButton::clicked, this, [this](bool checked) {
        if (SettingsRecord* record = card_.record())
            record->setRecordOptionB(checked ? 1 : 0);
    });

    AddFocusSink(kFocusSink);
}

bool CParkingDlg::OnInitDialog() {
    return SetUpPageControls(false);
}

void CParkingDlg::Layout() {
    leaderIds.clear();
    auto title = [this](int id, std::u16string_view key, int x, int y) { PlaceTitle(id, key, x, y); };
    auto label = [this](int id, std::u16string_view key, const QFont& font, int x, int y) {
        return PlaceLabel(id, key, font, x, y).width();
    };

    title(1210, u"IDS_STRING216", 15, 20);
    int w = label(1211, u"IDS_STRING127", normalFont(), 60, 97);
    MoveItem(this, kContinuousSensitivity, 60 + w, 55, 350, 55);
    label(1212, u"IDS_STRING128", normalFont(), 430 + w, 97);

    title(1000, u"IDS_STRING215", 15, 147);
    MoveItem(this, kBrightness, 110, 177, 350, 48);
    label(1003, u"IDS_STRING112", normalFont(), 75, 222);
    label(1005, u"IDS_STRING113", normalFont(), 460, 222);

    title(1112, u"IDS_STRING104", 15, 252);
    label(kParkingEnabled, u"IDS_STRING135", normalFont(), 25, 282);
    label(kParkingDisabled, u"IDS_STRING136", normalFont(), 25, 312);

    title(1109, u"IDS_STRING222", 15, 352);
    w = label(1110, u"IDS_STRING127", normalFont(), 60, 429);
    MoveItem(this, kParkingSensitivity, 60 + w, 387, 350, 55);
    label(1111, u"IDS_STRING128", normalFont(), 430 + w, 429);

    title(1113, u"IDS_STRING251", 15, 499);
    w = label(1114, u"IDS_STRING127", normalFont(), 60, 576);
    MoveItem(this, kMotionSensitivity, 60 + w, 534, 350, 55);
    label(1115, u"IDS_STRING128", normalFont(), 430 + w, 576);

    title(1117, u"IDS_STRING140", 15, 646);
    MoveItem(this, kRecordTimer, 110, 681, 350, 55);
    label(1118, u"IDS_STRING141", normalFont(), 55, 723);

    title(1119, u"IDS_STRING142", 15, 793);
    w = label(1120, u"IDS_STRING143", boldSmallFont(), 30, 828);
    MoveItem(this, kCutoff12V, 30 + w, 828, 350, 55);
    w = label(1122, u"IDS_STRING144", boldSmallFont(), 30, 928);
    MoveItem(this, kCutoff24V, 30 + w, 928, 350, 55);

    scrollMax = kContentHeight - kPageHeight;
    SetUpSliders();
    NameAfterCaptions(kContinuousSensitivity, {1210});
    NameAfterCaptions(kBrightness, {1000});
    NameAfterCaptions(kParkingSensitivity, {1109});
    NameAfterCaptions(kMotionSensitivity, {1113});
    NameAfterCaptions(kRecordTimer, {1117});
    NameAfterCaptions(kCutoff12V, {1119, 1120});
    NameAfterCaptions(kCutoff24V, {1119, 1122});
}

void CParkingDlg::SetUpSliders() {
    struct SetUp {
        CSubSlider* slider;
        const SliderScale& scale;
        std::uint32_t flags;
        int position;
        int tooltipKind;
    };
    const SetUp table[] = {
        {continuousSlider_, kImpactSensitivityScale, 0x09, 3, 0},
        {parkingSlider_, kImpactSensitivityScale, 0x09, 3, 0},
        {motionSlider_, kMotionSensitivityScale, 0x10, 4, 5},
        {timerSlider_, kRecordTimerScale, 0x10, 4, 4},
        {cutoff12Slider_, kCutoff12VScale, 0x05, 4, 2},
        {cutoff24Slider_, kCutoff24VScale, 0x05, 4, 3},
    };
    for (const SetUp& s : table) {
        s.slider->SetLabelFont(&normalFont());
        s.slider->SetScale(s.scale, s.flags);
        s.slider->setValue(s.position); // beyond the range comes out at its end
        s.slider->SetTooltipKind(s.tooltipKind);
    }
    brightnessSlider_->setRange(kBrightnessScale.minimum, kBrightnessScale.maximum);
    brightnessSlider_->setTickInterval(1);
}

CSubSlider* CParkingDlg::slider(int id) const {
    return itemAs<CSubSlider>(id);
}

void CParkingDlg::OnSliderMoved(int id, int position) {
    SettingsRecord* record = card_.record();
    if (!record)
        return;
    const auto p = static_cast<std::uint32_t>(position);
    switch (id) {
    case kContinuousSensitivity:
        record->setContinuousImpactSensitivity(p);
        break;
    case kParkingSensitivity:
        record->setParkingImpactSensitivity(p);
        break;
    case kMotionSensitivity:
        if (auto level = kMotionSensitivityScale.StoredValue(position))
            record->setMotionSensitivity(*level);
        break;
    case kRecordTimer:
        if (auto hours = kRecordTimerScale.StoredValue(position))
            record->setRecordTimerHours(*hours);
        break;
    case kCutoff12V:
        record->setCutoffVoltage12V(p);
        break;
    case kCutoff24V:
        record->setCutoffVoltage24V(p);
        break;
    case kBrightness:
        record->setCameraBrightness(p);
        break;
    default:
        break;
    }
}

void CParkingDlg::Refresh() {
    const SettingsRecord* record = card_.record();
    if (!record)
        return;
    auto asPosition = [](std::uint32_t v) { return static_cast<int>(v); };

    continuousSlider_->setValue(asPosition(record->continuousImpactSensitivity()));

    switch (record->parkingMode()) {
    case 1:
        SetChecked(kParkingEnabled, true);
        SetChecked(kParkingMode2, false);
        SetChecked(kParkingDisabled, false);
        ParkingEnablement(true, true);
        break;
    case 2:
        SetChecked(kParkingMode2, true);
        SetChecked(kParkingEnabled, false);
        SetChecked(kParkingDisabled, false);
        ParkingEnablement(true, true);
        break;
    default:
        SetChecked(kParkingDisabled, true);
        SetChecked(kParkingEnabled, false);
        SetChecked(kParkingMode2, false);
        ParkingEnablement(false, true);
        break;
    }

    parkingSlider_->setValue(asPosition(record->parkingImpactSensitivity()));

    // A level that no position stores reads as one beyond the last.
    motionSlider_->setValue(kMotionSensitivityScale.PositionOf(record->motionSensitivity())
                                .value_or(kMotionSensitivityScale.maximum + 1));
    timerSlider_->setValue(RecordTimerPosition(record->recordTimerHours()));

    cutoff12Slider_->setValue(asPosition(record->cutoffVoltage12V()));
    cutoff24Slider_->setValue(asPosition(record->cutoffVoltage24V()));

    const std::uint32_t months = record->winterMonthMask();
    for (int id = kWinterMonthFirst; id <= kWinterMonthLast; ++id)
        SetChecked(id, (months >> (id - kWinterMonthFirst)) & 1u);

    const bool optionA = record->recordOptionA() != 0;
    SetChecked(kOptionAOn, optionA);
    SetChecked(kOptionAOff, !optionA);

    brightnessSlider_->setValue(asPosition(record->cameraBrightness()));
}

void CParkingDlg::ParkingEnablement(bool enable, bool apply) {
    const SettingsRecord* record = card_.record();
    if (!record)
        return;
    const std::uint32_t mode = record->parkingMode();
    constexpr std::array<int, 5> kParkingSliders = {kParkingSensitivity, kMotionSensitivity, kRecordTimer,
                                                    kCutoff12V, kCutoff24V};
    if (mode != 0)
        for (int id : kParkingSliders)
            SetEnabled(id, true);
    if (apply) {
        SetEnabled(kRecordTimer, enable);
        SetEnabled(kParkingSensitivity, enable);
        SetEnabled(kMotionSensitivity, enable);
    }
    if (mode == 0)
        for (int id : kParkingSliders)
            SetEnabled(id, false);
    if (mode == 2)
        SetEnabled(kMotionSensitivity, false);
}

void CParkingDlg::OnParkingModeClicked(int id) {
    SettingsRecord* record = card_.record();
    if (!record)
        return;
    if (id == kParkingEnabled) {
        record->setParkingMode(1);
        ParkingEnablement(true, true);
        return;
    }
    if (id == kParkingMode2) {
        record->setParkingMode(2);
        ParkingEnablement(true, true);
        return;
    }
    auto* disabled = itemAs<QAbstractButton>(kParkingDisabled);
    if (!disabled->isChecked() || record->parkingMode() == 0)
        return;

    prompt::Request request;
    request.kind = prompt::Kind::MessageYesNo;
    request.caption = LookupText(u"IDS_STRING104");
    request.text = LookupText(u"IDS_STRING177") + u"\r\n" + LookupText(u"IDS_STRING1770") + u"\r\n";
    const prompt::Answer answer = prompt::Ask(request);

    if (answer == prompt::Answer::Yes) {
        record->setParkingMode(0);
        ParkingEnablement(false, true);
        return;
    }
    SetChecked(kParkingEnabled, false);
    SetChecked(kParkingMode2, false);
    SetChecked(kParkingDisabled, false);
    if (record->parkingMode() == 1) {
        SetChecked(kParkingEnabled, true);
        item(kParkingEnabled)->setFocus();
    } else if (record->parkingMode() == 2) {
        SetChecked(kParkingMode2, true);
        item(kParkingMode2)->setFocus();
    }
    SetChecked(kParkingDisabled, false);
    ParkingEnablement(true, true);
}

void CParkingDlg::OnLowVoltageClicked(int id) {
    SettingsRecord* record = card_.record();
    if (!record)
        return;
    auto setWinterMonthsEnabled = [this](bool enabled) {
        for (int box = kWinterMonthFirst; box <= kWinterMonthLast; ++box)
            SetEnabled(box, enabled);
    };
    if (id == kLowVoltageOn) {
        record->setLowVoltageShutdown(1);
        ParkingEnablement(true, false);
        setWinterMonthsEnabled(true);
        return;
    }
    if (record->lowVoltageShutdown() == 0)
        return;

    CMsgPopupDlg popup(window());
    popup.SetPopupText(UiText(u"IDS_STRING246"),
                       UiText(u"IDS_STRING247") + QStringLiteral("\r\n") + UiText(u"IDS_STRING248") +
                           QStringLiteral("\r\n") + UiText(u"IDS_STRING249"),
                       330, 170);
    if (popup.DoModal() == CMsgPopupDlg::kIdOk) {
        record->setLowVoltageShutdown(0);
        ParkingEnablement(false, false);
        setWinterMonthsEnabled(false);
        return;
    }
    record->setLowVoltageShutdown(1);
    SetChecked(kLowVoltageOn, true);
    SetChecked(kLowVoltageOff, false);
    item(kLowVoltageOn)->setFocus();
    ParkingEnablement(true, false);
    setWinterMonthsEnabled(true);
}

void CParkingDlg::OnWinterMonthClicked(int id, bool checked) {
    SettingsRecord* record = card_.record();
    if (!record)
        return;
    const std::uint32_t bit = 1u << (id - kWinterMonthFirst);
    std::uint32_t months = record->winterMonthMask();
    months = checked ? (months | bit) : (months & ~bit);
    record->setWinterMonthMask(months);
}

} // namespace dashcam
