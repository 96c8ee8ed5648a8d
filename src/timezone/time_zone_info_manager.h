#pragma once
// The host's time zones for the System page: read once, the zones of seventeen name prefixes left out, sorted from
// east to west; finds the zone that a record names and the zone that the host is set to.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "timezone/reg_time_zone_info.h"
#include "platform/time_zone_source.h"

namespace dashcam {

class CTimeZoneInfoManager {
public:
    // Reads the zones of the zone source in use (TimeZones()).
    CTimeZoneInfoManager();
    // Reads the zones of the given source, which must outlive the manager.
    explicit CTimeZoneInfoManager(TimeZoneSource& source);
    virtual ~CTimeZoneInfoManager();
    CTimeZoneInfoManager(const CTimeZoneInfoManager&) = delete;
    CTimeZoneInfoManager& operator=(const CTimeZoneInfoManager&) = delete;

    // Builds subkeyNames and the zones from the source; writes one trace per zone.
    void LoadZones();
    // The zone that a record names (name and bias), or a fallback: with a non-empty name, the last zone with the
    // bias, else 0; with an empty name, the first zone with the bias, else -1.
    int FindZone(std::u16string_view name, std::int32_t bias) const;
    // The first zone with the host's bias, StandardBias and standard name; when none has all three (the host's zone
    // is one the catalogue leaves out), the first zone with the host's bias; 0 when no zone has that bias.
    int FindHostZone() const;

    const std::vector<std::u16string>& subkeyNames() const { return subkeyNames_; }
    std::size_t zoneCount() const { return zones_.size(); }
    const CRegTimeZoneInfo& zone(std::size_t i) const { return *zones_.at(i); }

    // The zone that the System page's combo box shows; the catalogue itself does not use it.
    int selectedZoneIndex = 0;

private:
    TimeZoneSource& source_;
    std::vector<std::u16string> subkeyNames_;
    std::vector<std::unique_ptr<CRegTimeZoneInfo>> zones_;
};

// The name prefixes whose zones the catalogue leaves out, in the order they are applied.
extern const std::u16string_view kExcludedZonePrefixes[17];

} // namespace dashcam
