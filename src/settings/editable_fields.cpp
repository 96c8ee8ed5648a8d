#include "settings/editable_fields.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "settings/slider_scale.h"

namespace dashcam {
namespace {

using Rule = ControlValues;

// What a slider of the given scale can store.
Rule SliderRule(std::string_view name, const SliderScale& scale) {
    if (scale.values.empty())
        return {name, scale.minimum, scale.maximum, {}};
    return {name, 0, 0, {scale.values.begin(), scale.values.end()}};
}

const std::vector<Rule>& Rules() {
    static const std::vector<Rule> rules = {
        // Record settings page
        SliderRule("cameraBrightness", kBrightnessScale),
        SliderRule("continuousImpactSensitivity", kImpactSensitivityScale),
        SliderRule("parkingImpactSensitivity", kImpactSensitivityScale),
        {"parkingMode", 0, 2, {}},
        SliderRule("motionSensitivity", kMotionSensitivityScale),
        SliderRule("recordTimerHours", kRecordTimerScale),
        SliderRule("cutoffVoltage12V", kCutoff12VScale),
        SliderRule("cutoffVoltage24V", kCutoff24VScale),
        {"winterMonthMask", 0, 0xFFFFFFFFLL, {}},
        {"lowVoltageShutdown", 0, 1, {}},
        {"recordOptionA", 0, 1, {}},
        {"recordOptionB", 0, 1, {}},
        {"recordOptionC", 0, 1, {}},
        // Memory card page
        {"overwriteContinuousIncident", 0, 1, {}},
        {"overwriteParkingMotion", 0, 1, {}},
        {"overwriteParkingIncident", 0, 1, {}},
        {"overwriteManual", 0, 1, {}},
        {"memoryPartition", 1, 3, {}},
        // System settings page
        {"voiceGuidanceOn", 0, 1, {}},
        {"voiceVolume", kVoiceScale.minimum + 1, kVoiceScale.maximum, {}},
        {"safetyCameraAlert", 0, 1, {}},
        {"timeZoneBias", -24 * 60, 24 * 60, {}},
        {"daylightSaving", 0, 1, {}},
        {"timeZoneName", 0, 0, {}},
        {"speedUnit", 0, 1, {}},
        {"auxSliderLevel", 0, 100, {}},
        {"lcdAutoOffMs", 0, 0, {30000, 600000, 0}},
        {"deviceLanguage", 0, 0, {}},
        {"systemRadioChoice", 0, 4, {}},
        {"speedStamp", 0, 1, {}},
        {"speedTrapAlert", 0, 1, {}},
    };
    return rules;
}

const Rule* FindRule(std::string_view name) {
    for (const Rule& r : Rules())
        if (r.name == name)
            return &r;
    return nullptr;
}

std::string List(const std::vector<std::int64_t>& values) {
    std::string out;
    for (std::int64_t v : values)
        out += (out.empty() ? "" : ", ") + std::to_string(v);
    return out;
}

} // namespace

const std::vector<ControlValues>& EditableFieldValues() { return Rules(); }

bool IsEditableField(std::string_view name) { return FindRule(name) != nullptr; }

std::optional<std::string> CheckControlValue(std::string_view name, std::int64_t value, const SettingsRecord& record,
                                             std::size_t languageCount) {
    const Rule* rule = FindRule(name);
    if (!rule)
        return std::string("no page edits this field");
    if (name == "winterMonthMask") {
        // The five month check boxes change bits 0-4 only; the other bits stay as loaded.
        if (value < 0 || value > 0xFFFFFFFFLL ||
            (static_cast<std::uint32_t>(value) & ~0x1Fu) != (record.winterMonthMask() & ~0x1Fu))
            return std::string("the month check boxes change bits 0-4 only");
        return std::nullopt;
    }
    if (name == "deviceLanguage") {
        // The language box offers the card's languages; three further radios write 0, 2 and 6.
        if ((value >= 0 && static_cast<std::uint64_t>(value) < languageCount) || value == 0 || value == 2 ||
            value == 6)
            return std::nullopt;
        return "the card lists " + std::to_string(languageCount) + " languages (index 0 to " +
               std::to_string(languageCount == 0 ? 0 : languageCount - 1) + ")";
    }
    if (!rule->only.empty()) {
        if (std::find(rule->only.begin(), rule->only.end(), value) == rule->only.end())
            return "the control stores only " + List(rule->only);
        return std::nullopt;
    }
    if (value < rule->low || value > rule->high)
        return "the control stores " + std::to_string(rule->low) + " to " + std::to_string(rule->high);
    return std::nullopt;
}

} // namespace dashcam
