#pragma once
// The setting pages as tables. Each row is one control of a page's template: its id, its kind, the key of its
// caption, its font, where it stands and how big it is, the caption(s) it is named after, and the record field it
// edits with the values it stores there. The window creates, lays out, refreshes and handles each page from its
// table; dashcam-cfg takes from the same tables what each field may hold.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "settings/settings_record.h"
#include "settings/slider_scale.h"

namespace dashcam {

enum class ControlKind {
    Title,       // a section title in the title font, with a leader line after it
    Label,       // a caption
    Figure,      // a right-aligned label whose text the page sets; `caption` is the text its box is sized for
    Radio,       // stores `value` in `field` when clicked; the radios of one field next to each other form a group
    Check,       // stores 1 or 0 in `field`, or sets or clears bit `value` of it when `bit` is set
    Slider,      // the pages' own slider on `slider.scale`
    PlainSlider, // a plain slider from `low` to `high` that stores its position
    List,        // a drop-down list box
    Date,        // a date field
    Time,        // a time field
    Button,      // a push button
    FocusSink,   // the hidden button that takes the keyboard focus on a click on the page's background
};

enum class FontRole { None, Title, Normal, BoldSmall };

// Where a control's left edge goes, by `x`:
// - Page: at x on the page;
// - RightOf: x past the right edge of control `anchor`;
// - PastWidthOf: x past the width of the widest of the `anchorCount` controls from id `anchor` on (the x of the
//   controls themselves not counted).
// y is always on the page. A row that has no place is created but never shown.
enum class From { Nowhere, Page, RightOf, PastWidthOf };
struct Place {
    From from = From::Nowhere;
    int x = 0;
    int y = 0;
    int anchor = 0;
    int anchorCount = 1;
};
constexpr Place At(int x, int y) { return {From::Page, x, y}; }
constexpr Place RightOf(int anchor, int dx, int y) { return {From::RightOf, dx, y, anchor}; }
constexpr Place PastWidthOf(int firstAnchor, int count, int dx, int y) {
    return {From::PastWidthOf, dx, y, firstAnchor, count};
}

// How a control's size comes about:
// - Caption: its caption's width + 30 (25 without a caption) and the caption's height;
// - Fixed: width × height;
// - CaptionAndSpaces: the caption's width + four spaces × height;
// - Measure: the width of the text `caption` holds × height, the control's own text left alone;
// - CharCells: 6 per character of the caption + 40 × height.
enum class Sizing { Caption, Fixed, CaptionAndSpaces, Measure, CharCells };

// How a Slider row looks: its tick labels (the slider's flags; `labelled` false for a slider with plain ticks and
// no labels), the position it starts at before the record is shown, and the kind of its tooltip.
struct SliderLook {
    const SliderScale* scale = nullptr;
    std::uint32_t flags = 0;
    int start = 0;
    int tooltipKind = 0;
    bool labelled = true;
};

struct FormControl {
    int id = 0;
    ControlKind kind = ControlKind::Label;
    // The key of the control's text in the language tables ("IDS_STRING216"); the sizing text of a Figure or a
    // measured list.
    std::u16string_view caption{};
    FontRole font = FontRole::None;
    Place place{};
    Sizing sizing = Sizing::Caption;
    int width = 0;
    int height = 0;
    // The controls whose captions name this one for assistive technology (0: none).
    std::array<int, 2> namedAfter{};

    // The record field the control edits; empty for one that edits none.
    std::string_view field{};
    // Radio: the value it stores. Check with `bit`: the bit it sets.
    std::int64_t value = 0;
    // Radio: it also shows for every value that no other radio of its field stores.
    bool otherValues = false;
    bool bit = false;
    SliderLook slider{};
    // Slider: the field that its lowest position switches off (0) and every other position on (1); the slider's
    // own field keeps its value at that position. List: the second field the picked entry writes.
    std::string_view secondField{};
    // PlainSlider, List: the range of `field` (a list that writes an index into the card's languages has none).
    std::int64_t low = 0;
    std::int64_t high = 0;
    // List: the entries are the card's languages and the index is stored.
    bool cardLanguages = false;

    bool placed() const { return place.from != From::Nowhere; }
    bool visibleCaption() const { return kind == ControlKind::Title || kind == ControlKind::Label; }
};

struct PageForm {
    std::span<const FormControl> controls;
    // The page's places pass through the display scale (its fonts are scaled as well).
    bool scaled = false;

    // The row of control `id`, or null.
    const FormControl* Find(int id) const;
};

// The record settings page, the memory card page and the system page, in the order of the tabs.
const PageForm& RecordPageForm();
const PageForm& MemoryCardPageForm();
const PageForm& SystemPageForm();
std::span<const PageForm* const> PageForms();

// The ids of the controls that the pages' code refers to by name.
struct RecordPageIds {
    static constexpr int kTemplateId = 132;
    // Sliders.
    static constexpr int kContinuousSensitivity = 1252;
    static constexpr int kBrightness = 1020;
    static constexpr int kParkingSensitivity = 1160;
    static constexpr int kMotionSensitivity = 1161;
    static constexpr int kRecordTimer = 1162;
    static constexpr int kCutoff12V = 1163;
    static constexpr int kCutoff24V = 1164;
    // Parking mode: Enabled, the second (never shown) mode, Disabled.
    static constexpr int kParkingEnabled = 4000;
    static constexpr int kParkingMode2 = 4001;
    static constexpr int kParkingDisabled = 4002;
    // Controls that the page keeps in step with the record but never shows.
    static constexpr int kWinterMonthFirst = 1165; // 1165 ... 1169: bits 0 ... 4 of winterMonthMask
    static constexpr int kWinterMonthLast = 1169;
    static constexpr int kLowVoltageOn = 1153;
    static constexpr int kLowVoltageOff = 1154;
    static constexpr int kOptionAOn = 1155;
    static constexpr int kOptionAOff = 1156;
    static constexpr int kOptionACheck = 4104;
    static constexpr int kOptionBCheck = 4103;
    static constexpr int kOptionCOn = 4106;
    static constexpr int kOptionCOff = 4107;
    // The hidden button that takes the keyboard focus on a click on the page's background.
    static constexpr int kFocusSink = 1171;
};

struct MemoryCardPageIds {
    static constexpr int kTemplateId = 133;
    // Partition types A, B and C (memoryPartition 1, 2, 3).
    static constexpr int kTypeA = 1334;
    static constexpr int kTypeB = 1335;
    static constexpr int kTypeC = 1336;
    // Legend labels and percentage labels of the five recording kinds.
    static constexpr int kFirstLegend = 1306;
    static constexpr int kFirstPercentage = 1312;
    // The overwrite check boxes: continuous incident, parking motion, parking incident, manual; and the one for
    // continuous recording, which always overwrites.
    static constexpr int kFirstOverwrite = 1320;
    static constexpr int kLastOverwrite = 1323;
    static constexpr int kContinuousOverwrite = 1325;
    static constexpr int kFormatButton = 1341;
    // The hidden button that takes the keyboard focus on a click on the page's background.
    static constexpr int kFocusSink = 1342;
    static constexpr int kKinds = 5;
};

struct SystemPageIds {
    static constexpr int kTemplateId = 221;
    static constexpr int kLanguageBox = 1390;
    static constexpr int kVoiceSlider = 1018;
    static constexpr int kTimeZoneBox = 1123;
    static constexpr int kClockCheck = 1326;
    static constexpr int kDatePicker = 1122;
    static constexpr int kTimePicker = 1121;
    static constexpr int kCurrentTimeButton = 1344;
    static constexpr int kDaylightOn = 1380;
    static constexpr int kDaylightOff = 1381;
    static constexpr int kKmh = 1382;
    static constexpr int kMph = 1383;
    static constexpr int kSpeedStampOn = 1387;
    static constexpr int kSpeedStampOff = 1398;
    static constexpr int kSafetyCameraOn = 4005;
    static constexpr int kSafetyCameraOff = 4006;
    static constexpr int kSpeedTrapOn = 1399;
    static constexpr int kSpeedTrapOff = 1400;
    // Controls that the page keeps in step with the record but never shows.
    static constexpr int kAuxSlider = 1035;
    static constexpr int kTouchCalibrationButton = 1360;
    // The hidden button that takes the keyboard focus on a click on the page's background.
    static constexpr int kFocusSink = 1389;
};

// What a control stores and shows. `state` is a slider's position, 1 or 0 for a check box, the index picked in a
// list; a radio stores its value whatever the state. Controls that edit no field, and lists whose entries only the
// page knows (the time zones), store nothing.
void StoreControlValue(const FormControl& control, int state, SettingsRecord& record);
// Whether a radio or check box shows checked for the record: a radio when its field holds its value (or a value
// that no radio of the field stores, for the radio that shows those); a check box when its field, or its bit, is
// not 0.
bool ShowsChecked(const PageForm& form, const FormControl& control, const SettingsRecord& record);
// The position a slider shows for the record.
int ShownPosition(const FormControl& control, const SettingsRecord& record);

} // namespace dashcam
