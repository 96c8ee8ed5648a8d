#include "forms/editable_fields.h"

#include <algorithm>
#include <bit>
#include <map>

#include "forms/page_form.h"

namespace dashcam {
namespace {

using Rule = ControlValues;

// What the controls of all pages store in one field, gathered row by row.
struct Gathered {
    std::vector<std::int64_t> values; // in the order the rows store them
    bool ranged = false;              // low … high is given by a row
    std::int64_t low = 0;
    std::int64_t high = 0;
    bool cardLanguageIndex = false;
    std::uint32_t bits = 0;
};

void Add(Gathered& g, std::int64_t value) {
    if (std::find(g.values.begin(), g.values.end(), value) == g.values.end())
        g.values.push_back(value);
}

void Gather(const FormControl& c, std::map<std::string_view, Gathered>& fields) {
    if (c.field.empty())
        return;
    Gathered& g = fields[c.field];
    switch (c.kind) {
    case ControlKind::Radio:
        Add(g, c.value);
        break;
    case ControlKind::Check:
        if (c.bit)
            g.bits |= 1u << c.value;
        else
            Add(g, 0), Add(g, 1);
        break;
    case ControlKind::Slider: {
        const SliderScale& scale = *c.slider.scale;
        int first = scale.minimum;
        if (!c.secondField.empty()) {
            // The lowest position stores nothing in the slider's own field.
            Gathered& onOff = fields[c.secondField];
            Add(onOff, 0), Add(onOff, 1);
            ++first;
        }
        for (int p = first; p <= scale.maximum; ++p)
            if (const std::optional<std::uint32_t> stored = scale.StoredValue(p))
                Add(fields[c.field], *stored);
        break;
    }
    case ControlKind::PlainSlider:
    case ControlKind::List:
        g.cardLanguageIndex = g.cardLanguageIndex || c.cardLanguages;
        if (!c.cardLanguages)
            g.ranged = true, g.low = c.low, g.high = c.high;
        if (!c.secondField.empty())
            fields[c.secondField];
        break;
    default:
        break;
    }
}

Rule MakeRule(std::string_view name, const Gathered& g) {
    const FieldInfo* field = FindSettingsField(name);
    if (field->kind == FieldKind::Text)
        return {name, 0, 0, {}};
    if (g.bits != 0)
        return {name, 0, 0xFFFFFFFFLL, {}, false, g.bits};
    if (g.cardLanguageIndex)
        return {name, 0, 0, g.values, true};
    if (g.ranged)
        return {name, g.low, g.high, {}};
    if (g.values.empty())
        return {name, 0, 0, {}};
    // A run without gaps reads as its range; other values are listed in the order the controls store them.
    const auto [low, high] = std::minmax_element(g.values.begin(), g.values.end());
    if (*high - *low + 1 == static_cast<std::int64_t>(g.values.size()))
        return {name, *low, *high, {}};
    return {name, 0, 0, g.values};
}

const std::vector<Rule>& Rules() {
    static const std::vector<Rule> rules = [] {
        std::map<std::string_view, Gathered> fields;
        for (const PageForm* form : PageForms())
            for (const FormControl& c : form->controls)
                Gather(c, fields);
        std::vector<Rule> list;
        for (const FieldInfo& f : SettingsFields())
            if (const auto found = fields.find(f.name); found != fields.end())
                list.push_back(MakeRule(f.name, found->second));
        return list;
    }();
    return rules;
}

const Rule* FindRule(std::string_view name) {
    for (const Rule& r : Rules())
        if (r.name == name)
            return &r;
    return nullptr;
}

// "bits 0-4": the lowest and the highest bit of `bits`.
std::string BitsText(std::uint32_t bits) {
    return "bits " + std::to_string(std::countr_zero(bits)) + "-" + std::to_string(31 - std::countl_zero(bits));
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

std::string AllowedValuesText(const ControlValues& values) {
    if (const FieldInfo* field = FindSettingsField(values.name); field && field->kind == FieldKind::Text)
        return "text of at most " + std::to_string(field->width) + " bytes";
    if (values.bits != 0)
        return BitsText(values.bits) + " (the other bits stay as loaded)";
    if (values.cardLanguageIndex)
        return "an index into the card's language list" + (values.only.empty() ? "" : ", or " + List(values.only));
    if (!values.only.empty())
        return List(values.only);
    return std::to_string(values.low) + "-" + std::to_string(values.high);
}

std::optional<std::string> CheckControlValue(std::string_view name, std::int64_t value, const SettingsRecord& record,
                                             std::size_t languageCount) {
    const Rule* rule = FindRule(name);
    if (!rule)
        return std::string("no page edits this field");
    if (rule->bits != 0) {
        const std::uint32_t kept = ~rule->bits;
        const FieldInfo* field = FindSettingsField(name);
        if (value < 0 || value > 0xFFFFFFFFLL || (static_cast<std::uint32_t>(value) & kept) != (record.U32(field->offset) & kept))
            return "the check boxes change " + BitsText(rule->bits) + " only";
        return std::nullopt;
    }
    if (rule->cardLanguageIndex) {
        // The language box offers the card's languages; radios store the values in `only`.
        if ((value >= 0 && static_cast<std::uint64_t>(value) < languageCount) ||
            std::find(rule->only.begin(), rule->only.end(), value) != rule->only.end())
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
