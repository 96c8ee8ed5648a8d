#pragma once
// A zone picked for the camera, written into the settings record.
#include <optional>
#include <string>

#include "timezone/reg_time_zone_info.h"
#include "timezone/time_zone_info_manager.h"
#include "settings/settings_record.h"

namespace dashcam {

// The zone's key name as timeZoneName holds it: in the ANSI code page, cut to at most 31 bytes at a character
// boundary, so that a NUL always follows it in the 32-byte field.
std::string RecordZoneName(const CRegTimeZoneInfo& zone);

// Stores the zone as a pick in the System page's zone box does: all 32 bytes of timeZoneName zeroed, then the
// zone's key name in the ANSI code page, cut to at most 31 bytes at a character boundary so that a NUL always
// ends it; timeZoneBias = the zone's bias. Writes the trace "TimeZone [name] Bias[bias]".
void StoreZoneInRecord(const CRegTimeZoneInfo& zone, SettingsRecord& record);

// Gives a record that has never had a zone the host's: the same name and bias as StoreZoneInRecord, but only the
// name and its NUL are written; the bytes of timeZoneName after them stay as they were. No trace.
void AdoptHostZone(const CRegTimeZoneInfo& zone, SettingsRecord& record);

// A record that has never had a zone (an empty name and bias 0) takes the host's zone of the catalogue
// (FindHostZone) with AdoptHostZone: what the System page shows for it and what restore-defaults saves. Gives that
// zone's index (0 with an empty catalogue, where nothing is written), or nullopt for a record that has a zone.
std::optional<int> GiveRecordTheHostZone(const CTimeZoneInfoManager& zones, SettingsRecord& record);

} // namespace dashcam
