#include "timezone/store_zone_in_record.h"

#include <algorithm>
#include <string>

#include "platform/text_codec.h"
#include "platform/trace.h"

namespace dashcam {
namespace {

constexpr std::size_t kNameBytes = 31; // of timeZoneName's 32, the last one stays 0

bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The longest leading part of the name whose ANSI form fits, without splitting a character.
std::string AnsiNameThatFits(std::u16string_view name) {
    for (std::size_t units = name.size(); units > 0; --units) {
        if (units < name.size() && IsLowSurrogate(name[units]))
            continue;
        std::string ansi = WideToAnsi(name.substr(0, units));
        if (ansi.size() <= kNameBytes)
            return ansi;
    }
    return {};
}

} // namespace

std::string RecordZoneName(const CRegTimeZoneInfo& zone) { return AnsiNameThatFits(KeyNameOf(zone)); }

void StoreZoneInRecord(const CRegTimeZoneInfo& zone, SettingsRecord& record) {
    record.setTimeZoneName(RecordZoneName(zone));
    record.setTimeZoneBias(BiasOf(zone));
    Trace(u"TimeZone [" + std::u16string(KeyNameOf(zone)) + u"] Bias[" + Widen(std::to_string(BiasOf(zone))) +
          u"]\n");
}

void AdoptHostZone(const CRegTimeZoneInfo& zone, SettingsRecord& record) {
    const std::string name = RecordZoneName(zone);
    const std::size_t offset = FindSettingsField("timeZoneName")->offset;
    std::copy(name.begin(), name.end(), record.bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    record.bytes[offset + name.size()] = 0;
    record.setTimeZoneBias(BiasOf(zone));
}

std::optional<int> GiveRecordTheHostZone(const CTimeZoneInfoManager& zones, SettingsRecord& record) {
    if (!record.timeZoneName().empty() || record.timeZoneBias() != 0)
        return std::nullopt;
    const int index = zones.FindHostZone();
    if (index >= 0 && static_cast<std::size_t>(index) < zones.zoneCount())
        AdoptHostZone(zones.zone(static_cast<std::size_t>(index)), record);
    return index;
}

} // namespace dashcam
