#pragma once
// A zone source for tests: zones and a host zone of the test's choosing, installed as the source in use while it
// lives.
#include <string>
#include <utility>
#include <vector>

#include "platform/time_zone_source.h"

namespace dashcam::test {

class FakeTimeZones : public TimeZoneSource {
public:
    FakeTimeZones() { SetTimeZones(this); }
    ~FakeTimeZones() override { SetTimeZones(nullptr); }

    // UTF-16LE bytes of a text value, with its NUL.
    static std::vector<std::uint8_t> Text(std::u16string_view text) { return EncodeZoneText(text); }

    // A zone as the registry holds it; `biasEast` in minutes east of UTC (stored negated, as the registry does).
    void Add(std::u16string key, std::u16string display, std::u16string standard, std::int32_t biasEast) {
        TziRecord rule{};
        rule.bias = -biasEast;
        const auto tzi = EncodeTzi(rule);
        zones.push_back({std::move(key),
                         {{u"Display", Text(display)},
                          {u"Std", Text(standard)},
                          {u"TZI", std::vector<std::uint8_t>(tzi.begin(), tzi.end())}}});
    }

    std::vector<std::pair<std::u16string, std::vector<TimeZoneValue>>> zones;
    HostTimeZone host;

    std::vector<std::u16string> ZoneKeyNames() override {
        std::vector<std::u16string> names;
        for (const auto& zone : zones)
            names.push_back(zone.first);
        return names;
    }
    std::vector<TimeZoneValue> ZoneValues(std::u16string_view keyName) override {
        for (const auto& zone : zones)
            if (zone.first == keyName)
                return zone.second;
        return {};
    }
    HostTimeZone HostZone() override { return host; }
};

} // namespace dashcam::test
