#pragma once
// The host's time zones for dashcam-cfg.
#include <string>

#include "settings/settings_record.h"

namespace dashcam::cli {

// Stores the catalogue zone with the key name `key` in the record as a pick in the System page does. An unknown
// key is a usage error (exit status 2, with the close matches and `usage`); 0 otherwise.
int SetTimeZone(SettingsRecord& record, const std::string& key, const char* usage);

} // namespace dashcam::cli
