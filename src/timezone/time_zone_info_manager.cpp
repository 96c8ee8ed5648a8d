#include "timezone/time_zone_info_manager.h"

#include <algorithm>
#include <string>

#include "i18n/wide_text.h"
#include "platform/text_codec.h"
#include "platform/trace.h"

namespace dashcam {

const std::u16string_view kExcludedZonePrefixes[17] = {
    u"Argentina", u"Armenian", u"Bahia",   u"Bangladesh", u"Jordan",     u"Kaliningrad",
    u"Kamchatka", u"Magadan",  u"Mauritius", u"Mexico",   u"Middle East", u"Montevideo",
    u"Morocco",   u"Syria",    u"Turkey",  u"UTC",        u"Venezuela"};

namespace {

bool StartsWithIgnoringCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

// Copies UTF-16LE bytes into a text field, keeping room for its NUL (an odd last byte is dropped).
template <std::size_t N>
void CopyText(const std::vector<std::uint8_t>& bytes, std::array<char16_t, N>& field) {
    const std::size_t units = std::min(bytes.size() / 2, N - 1);
    for (std::size_t i = 0; i < units; ++i)
        field[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
}

std::int32_t Negated(std::int32_t value) {
    return static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(value)); // no overflow for INT32_MIN
}

std::u16string Number(long long value) { return Widen(std::to_string(value)); }

std::u16string TraceLine(std::size_t index, const CRegTimeZoneInfo& zone) {
    std::u16string line = u"\t";
    line.append(Number(static_cast<long long>(index))).append(u"\t[").append(KeyNameOf(zone));
    line.append(u"]\t[").append(DisplayNameOf(zone)).append(u"]\tBias[").append(Number(zone.zoneRule.bias));
    line.append(u"]\tDaylightBias[").append(Number(zone.zoneRule.daylightBias)).append(u"]\n");
    return line;
}

// At most 64 code units, up to the first NUL.
std::u16string_view HostNamePart(std::u16string_view name) {
    name = name.substr(0, std::min<std::size_t>(name.size(), 64));
    return name.substr(0, std::min(name.size(), name.find(u'\0')));
}

} // namespace

CTimeZoneInfoManager::CTimeZoneInfoManager() : CTimeZoneInfoManager(TimeZones()) {}

CTimeZoneInfoManager::CTimeZoneInfoManager(TimeZoneSource& source) : source_(source) { LoadZones(); }

CTimeZoneInfoManager::~CTimeZoneInfoManager() = default;

void CTimeZoneInfoManager::LoadZones() {
    subkeyNames_ = source_.ZoneKeyNames();
    zones_.clear();

    for (std::u16string_view prefix : kExcludedZonePrefixes) {
        // Each removal starts the scan for the prefix again from the first name.
        for (auto it = subkeyNames_.begin(); it != subkeyNames_.end();) {
            if (StartsWithIgnoringCase(*it, prefix))
                it = subkeyNames_.erase(it), it = subkeyNames_.begin();
            else
                ++it;
        }
    }

    for (std::size_t i = 0; i < subkeyNames_.size(); ++i) {
        const std::u16string& name = subkeyNames_[i];
        auto zone = std::make_unique<CRegTimeZoneInfo>();
        for (const TimeZoneValue& value : source_.ZoneValues(name)) {
            if (EqualsIgnoreCase(value.name, u"Display")) {
                CopyText(value.data, zone->displayName);
            } else if (EqualsIgnoreCase(value.name, u"Std")) {
                CopyText(value.data, zone->standardName);
            } else if (EqualsIgnoreCase(value.name, u"TZI")) {
                zone->zoneRule = DecodeTzi(value.data.data(), std::min(value.data.size(), kTziSize));
                zone->zoneRule.bias = Negated(zone->zoneRule.bias);
                zone->zoneRule.daylightBias = Negated(zone->zoneRule.daylightBias);
            }
        }
        std::copy_n(name.begin(), std::min(name.size(), zone->keyName.size() - 1), zone->keyName.begin());
        Trace(TraceLine(i, *zone));
        zones_.push_back(std::move(zone));
    }

    std::sort(zones_.begin(), zones_.end(), [](const auto& a, const auto& b) {
        if (BiasOf(*a) != BiasOf(*b))
            return BiasOf(*a) > BiasOf(*b);
        return StandardNameOf(*a) < StandardNameOf(*b);
    });
}

int CTimeZoneInfoManager::FindZone(std::u16string_view name, std::int32_t bias) const {
    if (name.empty()) {
        for (std::size_t i = 0; i < zones_.size(); ++i)
            if (BiasOf(*zones_[i]) == bias)
                return static_cast<int>(i);
        return -1;
    }
    int last = 0;
    for (std::size_t i = 0; i < zones_.size(); ++i) {
        if (BiasOf(*zones_[i]) != bias)
            continue;
        last = static_cast<int>(i);
        if (KeyNameOf(*zones_[i]) == name)
            return last;
    }
    return last;
}

int CTimeZoneInfoManager::FindHostZone() const {
    const HostTimeZone host = source_.HostZone();
    const std::u16string_view hostName = HostNamePart(host.standardName);
    for (std::size_t i = 0; i < zones_.size(); ++i) {
        const CRegTimeZoneInfo& z = *zones_[i];
        if (BiasOf(z) == Negated(host.bias) && z.zoneRule.standardBias == host.standardBias &&
            HostNamePart(StandardNameOf(z)) == hostName)
            return static_cast<int>(i);
    }
    // A host zone that the catalogue leaves out (UTC, Turkey …) is not the easternmost zone's: it keeps its offset.
    for (std::size_t i = 0; i < zones_.size(); ++i)
        if (BiasOf(*zones_[i]) == Negated(host.bias))
            return static_cast<int>(i);
    return 0;
}

} // namespace dashcam
