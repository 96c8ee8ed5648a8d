// The pages' tables: each one holds together, every control shows back what it stores, and the field rules the
// command line enforces are exactly the values the controls can store.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "forms/editable_fields.h"
#include "forms/page_form.h"
#include "settings/settings_record.h"

namespace dashcam {
namespace {

// A record whose bytes are all 0xA5, so that a store that misses or touches the wrong bits shows.
SettingsRecord Patterned() {
    SettingsRecord record;
    record.bytes.fill(0xA5);
    return record;
}

// Every state a control can be put in by the user.
std::vector<int> StatesOf(const FormControl& c) {
    switch (c.kind) {
    case ControlKind::Radio:
        return {1};
    case ControlKind::Check:
        return {1, 0};
    case ControlKind::Slider: {
        std::vector<int> positions;
        for (int p = c.slider.scale->minimum; p <= c.slider.scale->maximum; ++p)
            positions.push_back(p);
        return positions;
    }
    default:
        return {};
    }
}

TEST(PageForms, EveryTableHoldsTogether) {
    for (const PageForm* form : PageForms()) {
        std::set<int> ids;
        std::set<std::string_view> closedRadioFields;
        std::string_view lastRadioField;
        for (const FormControl& c : form->controls) {
            SCOPED_TRACE(c.id);
            EXPECT_TRUE(ids.insert(c.id).second) << "the id is used twice";
            if (!c.field.empty()) {
                EXPECT_NE(FindSettingsField(c.field), nullptr);
            }
            if (!c.secondField.empty()) {
                EXPECT_NE(FindSettingsField(c.secondField), nullptr);
            }
            // Anchors exist and are placed, so that the control can follow them.
            const bool follows = c.place.from == From::RightOf || c.place.from == From::PastWidthOf;
            for (int k = 0; follows && k < c.place.anchorCount; ++k) {
                const FormControl* anchor = form->Find(c.place.anchor + k);
                ASSERT_NE(anchor, nullptr);
                EXPECT_TRUE(anchor->placed());
            }
            if (c.kind == ControlKind::Slider) {
                EXPECT_NE(c.slider.scale, nullptr);
            }
            if (c.visibleCaption() && c.placed()) {
                EXPECT_FALSE(c.caption.empty());
            }
            // The radios of one field stand together: they are one group.
            if (c.kind == ControlKind::Radio && c.field != lastRadioField) {
                EXPECT_TRUE(closedRadioFields.insert(c.field).second) << c.field << " is split";
            }
            lastRadioField = c.kind == ControlKind::Radio ? c.field : std::string_view();
        }
    }
}

TEST(PageForms, EveryControlShowsBackWhatItStoresAndTouchesNothingElse) {
    for (const PageForm* form : PageForms()) {
        for (const FormControl& c : form->controls) {
            if (c.field.empty())
                continue;
            for (int state : StatesOf(c)) {
                SCOPED_TRACE(std::to_string(c.id) + " in state " + std::to_string(state));
                const SettingsRecord before = Patterned();
                SettingsRecord record = before;
                StoreControlValue(c, state, record);
                // Only the control's fields change, and of a bit field only its bit.
                for (std::size_t i = 0; i < SettingsRecord::kSize; ++i) {
                    const FieldInfo* own = FindSettingsField(c.field);
                    const FieldInfo* second = c.secondField.empty() ? nullptr : FindSettingsField(c.secondField);
                    auto inside = [i](const FieldInfo* f) { return f && i >= f->offset && i < f->offset + f->width; };
                    if (!inside(own) && !inside(second)) {
                        EXPECT_EQ(record.bytes[i], before.bytes[i]) << "byte " << i;
                    }
                }
                if (c.kind == ControlKind::Slider) {
                    EXPECT_EQ(ShownPosition(c, record), state);
                    continue;
                }
                EXPECT_EQ(ShowsChecked(*form, c, record), state != 0);
                if (c.bit) {
                    EXPECT_EQ(record.winterMonthMask() & ~(1u << c.value), before.winterMonthMask() & ~(1u << c.value));
                }
                // Of a radio group exactly the clicked radio shows.
                for (const FormControl& other : form->controls) {
                    if (c.kind == ControlKind::Radio && other.kind == ControlKind::Radio && other.field == c.field &&
                        other.id != c.id) {
                        EXPECT_FALSE(ShowsChecked(*form, other, record)) << other.id;
                    }
                }
            }
        }
    }
}

TEST(PageForms, RadiosShowTheOtherValuesOnTheirDeclaredRadio) {
    const PageForm& page = SystemPageForm();
    SettingsRecord record = Patterned();
    record.setSafetyCameraAlert(2);
    record.setDaylightSaving(7);
    record.setSystemRadioChoice(9);
    EXPECT_TRUE(ShowsChecked(page, *page.Find(SystemPageIds::kSafetyCameraOff), record));
    EXPECT_FALSE(ShowsChecked(page, *page.Find(SystemPageIds::kSafetyCameraOn), record));
    EXPECT_TRUE(ShowsChecked(page, *page.Find(SystemPageIds::kDaylightOn), record));
    for (int id : {1330, 1331, 1332, 1333, 4007}) {
        EXPECT_FALSE(ShowsChecked(page, *page.Find(id), record)) << id;
    }
    // A record timer of 0 stands before the slider's first step; the voice slider shows 0 while guidance is off.
    record.setRecordTimerHours(0);
    EXPECT_EQ(ShownPosition(*RecordPageForm().Find(RecordPageIds::kRecordTimer), record), -1);
    record.setVoiceGuidanceOn(0);
    record.setVoiceVolume(3);
    EXPECT_EQ(ShownPosition(*page.Find(SystemPageIds::kVoiceSlider), record), 0);
}

// What dashcam-cfg set accepts without --force is what the pages' controls can store: nothing more, nothing less.
TEST(PageForms, FieldRulesAreWhatTheControlsStore) {
    std::map<std::string_view, std::set<std::int64_t>> stored;
    for (const PageForm* form : PageForms())
        for (const FormControl& c : form->controls)
            for (int state : StatesOf(c)) {
                if (c.field.empty() || c.bit)
                    continue;
                SettingsRecord record = Patterned();
                StoreControlValue(c, state, record);
                for (std::string_view name : {c.field, c.secondField})
                    if (const FieldInfo* f = name.empty() ? nullptr : FindSettingsField(name);
                        f && record.U32(f->offset) != Patterned().U32(f->offset))
                        stored[name].insert(record.U32(f->offset));
            }
    const SettingsRecord record = Patterned();
    for (const auto& [name, values] : stored) {
        SCOPED_TRACE(std::string(name));
        ASSERT_TRUE(IsEditableField(name));
        for (std::int64_t v : values) {
            EXPECT_EQ(CheckControlValue(name, v, record, 0), std::nullopt) << v;
        }
        for (std::int64_t v = -2; v <= 12; ++v) {
            if (!values.count(v)) {
                EXPECT_NE(CheckControlValue(name, v, record, 0), std::nullopt) << v;
            }
        }
    }
    // The fields whose controls the table leaves to the page (lists) or to single bits have rules too.
    EXPECT_TRUE(IsEditableField("timeZoneName"));
    EXPECT_TRUE(IsEditableField("auxSliderLevel"));
    EXPECT_EQ(CheckControlValue("deviceLanguage", 5, record, 6), std::nullopt);
    EXPECT_NE(CheckControlValue("deviceLanguage", 5, record, 3), std::nullopt);
    EXPECT_EQ(CheckControlValue("winterMonthMask", (record.winterMonthMask() & ~0x1Fu) | 0x3, record, 0), std::nullopt);
    EXPECT_NE(CheckControlValue("winterMonthMask", record.winterMonthMask() ^ 0x20u, record, 0), std::nullopt);
    EXPECT_FALSE(IsEditableField("recordLength"));
}

} // namespace
} // namespace dashcam
