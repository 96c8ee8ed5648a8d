#pragma once
// The Windows zones of the project's zone table presented as the Windows registry's Time Zones key: one key per
// zone, with the values "Display", "Dlt" and "Std" from the table and "TZI" built from the rules that the system's
// time-zone database gives the zone's tz zone for the current year.
#include <string>

#include "platform/time_zone_source.h"

namespace dashcam {

class QtTimeZoneSource : public TimeZoneSource {
public:
    // The rules are those of `year` (the current year when 0).
    explicit QtTimeZoneSource(int year = 0);

    std::vector<std::u16string> ZoneKeyNames() override;
    std::vector<TimeZoneValue> ZoneValues(std::u16string_view keyName) override;
    // The system zone (the TZ variable first, then the system's setting): its own standard offset of today, and the
    // standard-time name of the Windows zone that CLDR maps it to (none when no Windows zone covers it).
    HostTimeZone HostZone() override;

    // What the zone list is made from: the zone table, the database's files and the day whose rules it gives (a
    // zone without daylight time takes the offset of the day). A list kept under another stamp is stale.
    std::string CacheStamp() const;

private:
    int year_;
};

// Makes the system's time-zone database the zone source off Windows (Windows keeps its registry), its list kept
// in the user's cache folder (dashcam-setting/time-zones) between runs of the same day.
void InstallSystemTimeZones();

} // namespace dashcam
