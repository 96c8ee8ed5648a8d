#pragma once
// The system's time-zone database presented as the Windows registry's Time Zones key: one key per Windows zone id,
// with the values "Display", "Std" and "TZI" built from the zone's rules of the current year.
#include "platform/time_zone_source.h"

namespace dashcam {

class QtTimeZoneSource : public TimeZoneSource {
public:
    // The rules are those of `year` (the current year when 0).
    explicit QtTimeZoneSource(int year = 0);

    std::vector<std::u16string> ZoneKeyNames() override;
    std::vector<TimeZoneValue> ZoneValues(std::u16string_view keyName) override;
    // The system zone (the TZ variable first, then the system's setting) as its Windows zone: its standard-time
    // name and standard bias; an unnamed zone with the current offset when no Windows zone covers it.
    HostTimeZone HostZone() override;

private:
    int year_;
};

// Makes the system's time-zone database the zone source off Windows (Windows keeps its registry).
void InstallSystemTimeZones();

} // namespace dashcam
