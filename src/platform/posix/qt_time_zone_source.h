#pragma once
// The system's time-zone database presented as the Windows registry's Time Zones key: one key per Windows zone id,
// with the values "Display", "Std" and "TZI" built from the zone's rules of the current year.
#include <string>

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

    // What the zone list is made from: Qt's Windows zone mapping, the database's files and the day whose rules it
    // gives (a zone without daylight time takes the offset of the day). A list kept under another stamp is stale.
    std::string CacheStamp() const;

private:
    int year_;
};

// Makes the system's time-zone database the zone source off Windows (Windows keeps its registry), its list kept
// in the user's cache folder (dashcam-setting/time-zones) between runs of the same day.
void InstallSystemTimeZones();

} // namespace dashcam
