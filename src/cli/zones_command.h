#pragma once
// The host's time zones for dashcam-cfg: set's timeZone=KEY (the zones command is declared with the others).
#include <string>

#include "cli/command.h"
#include "settings/settings_record.h"
#include "timezone/time_zone_info_manager.h"

namespace dashcam::cli {

// The catalogue as the editor builds it at start-up, from the zone source that the program installed.
const CTimeZoneInfoManager& ZoneCatalogue();

// Stores the catalogue zone with the key name `key` in the record as a pick in the System page does; when no key is
// `key`, the one zone whose display text holds it ("Seoul", without regard to case). No zone is a usage error that
// names the close matches, several one that names them all; 0 otherwise.
int SetTimeZone(Invocation& call, SettingsRecord& record, const std::string& key);

} // namespace dashcam::cli
