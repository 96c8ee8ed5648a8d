#include "forms/page_form.h"

#include <algorithm>

namespace dashcam {
namespace {

using K = ControlKind;
using F = FontRole;

// The two impact-sensitivity sliders: labels under the ends and the middle tick, starting at position 3.
constexpr SliderLook kSensitivityLook{&kImpactSensitivityScale, kTickLabelEnds | kTickLabelLowerMid, 3, 0};

// Rows in the order the page's template creates its controls: the labels that the layout places, those it never
// places, the sliders, the radio groups, the check boxes and the focus sink. A row's place may follow one that
// comes before it.
using R = RecordPageIds;
constexpr FormControl kRecordPage[] = {
    {.id = 1210, .kind = K::Title, .caption = u"IDS_STRING216", .font = F::Title, .place = At(15, 20)},
    {.id = 1211, .kind = K::Label, .caption = u"IDS_STRING127", .font = F::Normal, .place = At(60, 97)},
    {.id = 1212, .kind = K::Label, .caption = u"IDS_STRING128", .font = F::Normal, .place = RightOf(1211, 370, 97)},
    {.id = 1000, .kind = K::Title, .caption = u"IDS_STRING215", .font = F::Title, .place = At(15, 147)},
    {.id = 1003, .kind = K::Label, .caption = u"IDS_STRING112", .font = F::Normal, .place = At(75, 222)},
    {.id = 1005, .kind = K::Label, .caption = u"IDS_STRING113", .font = F::Normal, .place = At(460, 222)},
    {.id = 1112, .kind = K::Title, .caption = u"IDS_STRING104", .font = F::Title, .place = At(15, 252)},
    {.id = 1109, .kind = K::Title, .caption = u"IDS_STRING222", .font = F::Title, .place = At(15, 352)},
    {.id = 1110, .kind = K::Label, .caption = u"IDS_STRING127", .font = F::Normal, .place = At(60, 429)},
    {.id = 1111, .kind = K::Label, .caption = u"IDS_STRING128", .font = F::Normal, .place = RightOf(1110, 370, 429)},
    {.id = 1113, .kind = K::Title, .caption = u"IDS_STRING251", .font = F::Title, .place = At(15, 499)},
    {.id = 1114, .kind = K::Label, .caption = u"IDS_STRING127", .font = F::Normal, .place = At(60, 576)},
    {.id = 1115, .kind = K::Label, .caption = u"IDS_STRING128", .font = F::Normal, .place = RightOf(1114, 370, 576)},
    {.id = 1117, .kind = K::Title, .caption = u"IDS_STRING140", .font = F::Title, .place = At(15, 646)},
    {.id = 1118, .kind = K::Label, .caption = u"IDS_STRING141", .font = F::Normal, .place = At(55, 723)},
    {.id = 1119, .kind = K::Title, .caption = u"IDS_STRING142", .font = F::Title, .place = At(15, 793)},
    {.id = 1120, .kind = K::Label, .caption = u"IDS_STRING143", .font = F::BoldSmall, .place = At(30, 828)},
    {.id = 1122, .kind = K::Label, .caption = u"IDS_STRING144", .font = F::BoldSmall, .place = At(30, 928)},
    {.id = 1001},
    {.id = 1002},
    {.id = 1124},
    {.id = 1125},
    {.id = 1126},
    {.id = 1127},
    {.id = 4105},
    {.id = R::kContinuousSensitivity, .kind = K::Slider, .place = RightOf(1211, 0, 55), .sizing = Sizing::Fixed,
     .width = 350, .height = 55, .namedAfter = {1210}, .field = "continuousImpactSensitivity",
     .slider = kSensitivityLook},
    {.id = R::kParkingSensitivity, .kind = K::Slider, .place = RightOf(1110, 0, 387), .sizing = Sizing::Fixed,
     .width = 350, .height = 55, .namedAfter = {1109}, .field = "parkingImpactSensitivity",
     .slider = kSensitivityLook},
    {.id = R::kMotionSensitivity, .kind = K::Slider, .place = RightOf(1114, 0, 534), .sizing = Sizing::Fixed,
     .width = 350, .height = 55, .namedAfter = {1113}, .field = "motionSensitivity",
     .slider = {&kMotionSensitivityScale, kTickLabelEvery, 4, 5}},
    {.id = R::kRecordTimer, .kind = K::Slider, .place = At(110, 681), .sizing = Sizing::Fixed, .width = 350,
     .height = 55, .namedAfter = {1117}, .field = "recordTimerHours",
     .slider = {&kRecordTimerScale, kTickLabelEvery, 4, 4}},
    {.id = R::kCutoff12V, .kind = K::Slider, .place = RightOf(1120, 0, 828), .sizing = Sizing::Fixed, .width = 350,
     .height = 55, .namedAfter = {1119, 1120}, .field = "cutoffVoltage12V",
     .slider = {&kCutoff12VScale, kTickLabelEnds | kTickLabelUpperMid, 4, 2}},
    {.id = R::kCutoff24V, .kind = K::Slider, .place = RightOf(1122, 0, 928), .sizing = Sizing::Fixed, .width = 350,
     .height = 55, .namedAfter = {1119, 1122}, .field = "cutoffVoltage24V",
     .slider = {&kCutoff24VScale, kTickLabelEnds | kTickLabelUpperMid, 4, 3}},
    {.id = R::kBrightness, .kind = K::Slider, .place = At(110, 177), .sizing = Sizing::Fixed, .width = 350,
     .height = 48, .namedAfter = {1000}, .field = "cameraBrightness",
     .slider = {.scale = &kBrightnessScale, .labelled = false}},
    {.id = R::kParkingEnabled, .kind = K::Radio, .caption = u"IDS_STRING135", .font = F::Normal, .place = At(25, 282),
     .field = "parkingMode", .value = 1},
    {.id = R::kParkingMode2, .kind = K::Radio, .field = "parkingMode", .value = 2},
    {.id = R::kParkingDisabled, .kind = K::Radio, .caption = u"IDS_STRING136", .font = F::Normal,
     .place = At(25, 312), .field = "parkingMode", .value = 0, .otherValues = true},
    {.id = R::kLowVoltageOn, .kind = K::Radio, .field = "lowVoltageShutdown", .value = 1, .otherValues = true},
    {.id = R::kLowVoltageOff, .kind = K::Radio, .field = "lowVoltageShutdown", .value = 0},
    {.id = R::kOptionAOn, .kind = K::Radio, .field = "recordOptionA", .value = 1, .otherValues = true},
    {.id = R::kOptionAOff, .kind = K::Radio, .field = "recordOptionA", .value = 0},
    {.id = R::kOptionCOn, .kind = K::Radio, .field = "recordOptionC", .value = 1, .otherValues = true},
    {.id = R::kOptionCOff, .kind = K::Radio, .field = "recordOptionC", .value = 0},
    {.id = 1165, .kind = K::Check, .field = "winterMonthMask", .value = 0, .bit = true},
    {.id = 1166, .kind = K::Check, .field = "winterMonthMask", .value = 1, .bit = true},
    {.id = 1167, .kind = K::Check, .field = "winterMonthMask", .value = 2, .bit = true},
    {.id = 1168, .kind = K::Check, .field = "winterMonthMask", .value = 3, .bit = true},
    {.id = 1169, .kind = K::Check, .field = "winterMonthMask", .value = 4, .bit = true},
    {.id = R::kOptionACheck, .kind = K::Check, .field = "recordOptionA"},
    {.id = R::kOptionBCheck, .kind = K::Check, .field = "recordOptionB"},
    {.id = R::kFocusSink, .kind = K::FocusSink},
};
static_assert(R::kWinterMonthLast - R::kWinterMonthFirst == 4);

// Places on this page pass through the display scale. Each legend's percentage stands 50 past the widest legend.
using M = MemoryCardPageIds;
constexpr FormControl kMemoryCardPage[] = {
    {.id = 1305, .kind = K::Title, .caption = u"IDS_STRING156", .font = F::Title, .place = At(15, 20)},
    {.id = 1340, .kind = K::Title, .caption = u"IDS_STRING160", .font = F::Title, .place = At(15, 245)},
    {.id = 1300, .kind = K::Title, .caption = u"IDS_STRING145", .font = F::Title, .place = At(15, 334)},
    {.id = M::kTypeA, .kind = K::Radio, .caption = u"IDS_STRING157", .font = F::Normal, .place = At(25, 45),
     .field = "memoryPartition", .value = 1},
    {.id = M::kTypeB, .kind = K::Radio, .caption = u"IDS_STRING158", .font = F::Normal,
     .place = RightOf(M::kTypeA, 30, 45), .field = "memoryPartition", .value = 2},
    {.id = M::kTypeC, .kind = K::Radio, .caption = u"IDS_STRING159", .font = F::Normal,
     .place = RightOf(M::kTypeB, 100, 45), .field = "memoryPartition", .value = 3},
    {.id = 1306, .kind = K::Label, .caption = u"IDS_STRING171", .font = F::Normal, .place = At(25, 85)},
    {.id = 1312, .kind = K::Figure, .caption = u"000", .font = F::Normal, .place = PastWidthOf(1306, 5, 50, 85)},
    {.id = 1307, .kind = K::Label, .caption = u"IDS_STRING172", .font = F::Normal, .place = At(25, 115)},
    {.id = 1313, .kind = K::Figure, .caption = u"000", .font = F::Normal, .place = PastWidthOf(1306, 5, 50, 115)},
    {.id = 1308, .kind = K::Label, .caption = u"IDS_STRING173", .font = F::Normal, .place = At(25, 145)},
    {.id = 1314, .kind = K::Figure, .caption = u"000", .font = F::Normal, .place = PastWidthOf(1306, 5, 50, 145)},
    {.id = 1309, .kind = K::Label, .caption = u"IDS_STRING174", .font = F::Normal, .place = At(25, 175)},
    {.id = 1315, .kind = K::Figure, .caption = u"000", .font = F::Normal, .place = PastWidthOf(1306, 5, 50, 175)},
    {.id = 1310, .kind = K::Label, .caption = u"IDS_STRING175", .font = F::Normal, .place = At(25, 205)},
    {.id = 1316, .kind = K::Figure, .caption = u"000", .font = F::Normal, .place = PastWidthOf(1306, 5, 50, 205)},
    {.id = M::kFormatButton, .kind = K::Button, .caption = u"IDS_STRING161", .font = F::Normal, .place = At(25, 284),
     .sizing = Sizing::CharCells, .height = 30},
    {.id = M::kContinuousOverwrite, .kind = K::Check, .caption = u"IDS_STRING166", .font = F::Normal,
     .place = At(25, 374)},
    {.id = 1320, .kind = K::Check, .caption = u"IDS_STRING147", .font = F::Normal, .place = At(25, 399),
     .field = "overwriteContinuousIncident"},
    {.id = 1321, .kind = K::Check, .caption = u"IDS_STRING148", .font = F::Normal, .place = At(25, 424),
     .field = "overwriteParkingMotion"},
    {.id = 1322, .kind = K::Check, .caption = u"IDS_STRING149", .font = F::Normal, .place = At(25, 449),
     .field = "overwriteParkingIncident"},
    {.id = 1323, .kind = K::Check, .caption = u"IDS_STRING150", .font = F::Normal, .place = At(25, 474),
     .field = "overwriteManual"},
    {.id = M::kFocusSink, .kind = K::FocusSink},
};
static_assert(M::kFirstLegend == 1306 && M::kFirstPercentage == 1312 && M::kKinds == 5);
static_assert(M::kFirstOverwrite == 1320 && M::kLastOverwrite == 1323);

// The time-zone box is as wide as seven groups of "123456789 " in the normal font.
using S = SystemPageIds;
constexpr FormControl kSystemPage[] = {
    {.id = 1363, .kind = K::Title, .caption = u"IDS_STRING193", .font = F::Title, .place = At(15, 20)},
    {.id = 1014, .kind = K::Title, .caption = u"IDS_STRING217", .font = F::Title, .place = At(15, 85)},
    {.id = 1345, .kind = K::Title, .caption = u"IDS_STRING185", .font = F::Title, .place = At(15, 217)},
    {.id = 1343, .kind = K::Title, .caption = u"IDS_STRING182", .font = F::Title, .place = At(15, 292)},
    {.id = 1365, .kind = K::Title, .caption = u"IDS_STRING196", .font = F::Title, .place = At(15, 367)},
    {.id = 1366, .kind = K::Title, .caption = u"IDS_STRING190", .font = F::Title, .place = At(15, 472)},
    {.id = 1302, .kind = K::Title, .caption = u"IDS_STRING309", .font = F::Title, .place = At(15, 542)},
    {.id = 4004, .kind = K::Title, .caption = u"IDS_STRING119", .font = F::Title, .place = At(15, 647)},
    {.id = 1368, .kind = K::Title, .caption = u"IDS_STRING340", .font = F::Title, .place = At(15, 757)},
    {.id = 1017, .kind = K::Label, .caption = u"IDS_STRING117", .font = F::Normal, .place = At(60, 172)},
    {.id = 1359},
    {.id = 1367},
    {.id = 1032},
    {.id = 1033},
    {.id = 1034},
    {.id = 1036},
    {.id = 1301},
    {.id = 1318},
    {.id = 1327},
    {.id = 1328},
    {.id = S::kLanguageBox, .kind = K::List, .font = F::Normal, .place = At(25, 45), .sizing = Sizing::Fixed,
     .width = 250, .height = 25, .namedAfter = {1363}, .field = "deviceLanguage", .cardLanguages = true},
    {.id = S::kTimeZoneBox, .kind = K::List,
     .caption = u"123456789 123456789 123456789 123456789 123456789 123456789 123456789 ", .font = F::Normal,
     .place = At(25, 252), .sizing = Sizing::Measure, .height = 25, .namedAfter = {1345}, .field = "timeZoneBias",
     .secondField = "timeZoneName", .low = -24 * 60, .high = 24 * 60},
    {.id = S::kVoiceSlider, .kind = K::Slider, .place = At(150, 130), .sizing = Sizing::Fixed, .width = 350,
     .height = 55, .namedAfter = {1014}, .field = "voiceVolume", .slider = {&kVoiceScale, kTickLabelEvery, 2, 0},
     .secondField = "voiceGuidanceOn"},
    {.id = S::kAuxSlider, .kind = K::PlainSlider, .field = "auxSliderLevel", .low = 0, .high = 100},
    {.id = S::kClockCheck, .kind = K::Check, .font = F::Normal, .place = At(25, 322), .namedAfter = {1343}},
    {.id = S::kDatePicker, .kind = K::Date, .font = F::Normal, .place = RightOf(S::kClockCheck, 15, 322),
     .sizing = Sizing::Fixed, .width = 90, .height = 25, .namedAfter = {1343}},
    {.id = S::kTimePicker, .kind = K::Time, .font = F::Normal, .place = RightOf(S::kClockCheck, 115, 322),
     .sizing = Sizing::Fixed, .width = 100, .height = 25, .namedAfter = {1343}},
    {.id = S::kCurrentTimeButton, .kind = K::Button, .caption = u"IDS_STRING184", .font = F::Normal,
     .place = RightOf(S::kClockCheck, 225, 322), .sizing = Sizing::CaptionAndSpaces, .height = 25},
    {.id = S::kDaylightOn, .kind = K::Radio, .caption = u"IDS_STRING115", .font = F::Normal, .place = At(25, 397),
     .field = "daylightSaving", .value = 1, .otherValues = true},
    {.id = S::kDaylightOff, .kind = K::Radio, .caption = u"IDS_STRING116", .font = F::Normal, .place = At(25, 427),
     .field = "daylightSaving", .value = 0},
    {.id = S::kKmh, .kind = K::Radio, .caption = u"IDS_STRING191", .font = F::Normal, .place = At(25, 502),
     .field = "speedUnit", .value = 0},
    {.id = S::kMph, .kind = K::Radio, .caption = u"IDS_STRING192", .font = F::Normal, .place = At(125, 502),
     .field = "speedUnit", .value = 1, .otherValues = true},
    {.id = S::kSpeedStampOn, .kind = K::Radio, .caption = u"IDS_STRING115", .font = F::Normal, .place = At(25, 582),
     .field = "speedStamp", .value = 1},
    {.id = S::kSpeedStampOff, .kind = K::Radio, .caption = u"IDS_STRING116", .font = F::Normal,
     .place = At(25, 607), .field = "speedStamp", .value = 0, .otherValues = true},
    {.id = S::kSafetyCameraOn, .kind = K::Radio, .caption = u"IDS_STRING115", .font = F::Normal,
     .place = At(25, 687), .field = "safetyCameraAlert", .value = 1},
    {.id = S::kSafetyCameraOff, .kind = K::Radio, .caption = u"IDS_STRING116", .font = F::Normal,
     .place = At(25, 712), .field = "safetyCameraAlert", .value = 0, .otherValues = true},
    {.id = S::kSpeedTrapOn, .kind = K::Radio, .caption = u"IDS_STRING115", .font = F::Normal, .place = At(25, 797),
     .field = "speedTrapAlert", .value = 1},
    {.id = S::kSpeedTrapOff, .kind = K::Radio, .caption = u"IDS_STRING116", .font = F::Normal,
     .place = At(25, 822), .field = "speedTrapAlert", .value = 0, .otherValues = true},
    {.id = 1330, .kind = K::Radio, .field = "systemRadioChoice", .value = 1},
    {.id = 1331, .kind = K::Radio, .field = "systemRadioChoice", .value = 2},
    {.id = 1332, .kind = K::Radio, .field = "systemRadioChoice", .value = 3},
    {.id = 1333, .kind = K::Radio, .field = "systemRadioChoice", .value = 0},
    {.id = 4007, .kind = K::Radio, .field = "systemRadioChoice", .value = 4},
    {.id = 1037, .kind = K::Radio, .field = "lcdAutoOffMs", .value = 30000, .otherValues = true},
    {.id = 1038, .kind = K::Radio, .field = "lcdAutoOffMs", .value = 600000},
    {.id = 1039, .kind = K::Radio, .field = "lcdAutoOffMs", .value = 0},
    {.id = 1384, .kind = K::Radio, .field = "deviceLanguage", .value = 0},
    {.id = 1385, .kind = K::Radio, .field = "deviceLanguage", .value = 2},
    {.id = 1386, .kind = K::Radio, .field = "deviceLanguage", .value = 6},
    {.id = S::kTouchCalibrationButton, .kind = K::Button},
    {.id = S::kFocusSink, .kind = K::FocusSink},
};

constexpr PageForm kRecordForm{kRecordPage, false};
constexpr PageForm kMemoryCardForm{kMemoryCardPage, true};
constexpr PageForm kSystemForm{kSystemPage, false};
constexpr const PageForm* kForms[] = {&kRecordForm, &kMemoryCardForm, &kSystemForm};

const FieldInfo* FieldOf(std::string_view name) {
    return name.empty() ? nullptr : FindSettingsField(name);
}

} // namespace

const FormControl* PageForm::Find(int id) const {
    const auto row = std::find_if(controls.begin(), controls.end(), [id](const FormControl& c) { return c.id == id; });
    return row == controls.end() ? nullptr : &*row;
}

const PageForm& RecordPageForm() { return kRecordForm; }
const PageForm& MemoryCardPageForm() { return kMemoryCardForm; }
const PageForm& SystemPageForm() { return kSystemForm; }
std::span<const PageForm* const> PageForms() { return kForms; }

void StoreControlValue(const FormControl& control, int state, SettingsRecord& record) {
    const FieldInfo* field = FieldOf(control.field);
    if (!field || field->kind == FieldKind::Text)
        return;
    const std::size_t at = field->offset;
    switch (control.kind) {
    case ControlKind::Radio:
        record.SetU32(at, static_cast<std::uint32_t>(control.value));
        break;
    case ControlKind::Check:
        if (control.bit) {
            const std::uint32_t mask = 1u << control.value;
            record.SetU32(at, state != 0 ? record.U32(at) | mask : record.U32(at) & ~mask);
        } else {
            record.SetU32(at, state != 0 ? 1 : 0);
        }
        break;
    case ControlKind::Slider: {
        const SliderScale& scale = *control.slider.scale;
        if (const FieldInfo* onOff = FieldOf(control.secondField)) {
            // The lowest position switches the feature off and keeps the level it had.
            record.SetU32(onOff->offset, state > scale.minimum ? 1 : 0);
            if (state <= scale.minimum)
                break;
        }
        if (scale.values.empty())
            record.SetU32(at, static_cast<std::uint32_t>(state));
        else if (const std::optional<std::uint32_t> stored = scale.StoredValue(state))
            record.SetU32(at, *stored);
        break;
    }
    case ControlKind::PlainSlider:
        record.SetU32(at, static_cast<std::uint32_t>(state));
        break;
    case ControlKind::List:
        if (control.cardLanguages && state >= 0)
            record.SetU32(at, static_cast<std::uint32_t>(state));
        break;
    default:
        break;
    }
}

bool ShowsChecked(const PageForm& form, const FormControl& control, const SettingsRecord& record) {
    const FieldInfo* field = FieldOf(control.field);
    if (!field)
        return false;
    const std::uint32_t stored = record.U32(field->offset);
    if (control.kind == ControlKind::Check)
        return control.bit ? ((stored >> control.value) & 1u) != 0 : stored != 0;
    if (control.kind != ControlKind::Radio)
        return false;
    if (stored == static_cast<std::uint32_t>(control.value))
        return true;
    return control.otherValues && std::none_of(form.controls.begin(), form.controls.end(), [&](const FormControl& c) {
               return c.kind == ControlKind::Radio && c.field == control.field &&
                      static_cast<std::uint32_t>(c.value) == stored;
           });
}

int ShownPosition(const FormControl& control, const SettingsRecord& record) {
    const FieldInfo* field = FieldOf(control.field);
    if (!field)
        return 0;
    const std::uint32_t stored = record.U32(field->offset);
    if (control.kind != ControlKind::Slider)
        return static_cast<int>(stored);
    const SliderScale& scale = *control.slider.scale;
    if (const FieldInfo* onOff = FieldOf(control.secondField); onOff && record.U32(onOff->offset) == 0)
        return scale.minimum;
    return scale.ShownPosition(stored);
}

} // namespace dashcam
