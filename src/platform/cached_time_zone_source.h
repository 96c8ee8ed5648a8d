#pragma once
// A zone source that keeps what another source lists (the zones' key names and values; never the host's own zone)
// in a cache file, and answers from that file for as long as its stamp is the same. Building the list from the
// system's time-zone database costs milliseconds at every start; reading it back costs a fraction of one.
#include <filesystem>
#include <map>
#include <mutex>
#include <string>

#include "platform/time_zone_source.h"

namespace dashcam {

class CachedTimeZoneSource : public TimeZoneSource {
public:
    // `stamp` names what the list was built from (the database's version, the year of its rules …): a file with
    // another stamp, or one that cannot be read back whole, is rebuilt from `source`. Failing to write the file
    // costs nothing but the next start's speed. `source` must outlive this.
    CachedTimeZoneSource(TimeZoneSource& source, std::filesystem::path file, const std::string& stamp);

    std::vector<std::u16string> ZoneKeyNames() override;
    std::vector<TimeZoneValue> ZoneValues(std::u16string_view keyName) override;
    HostTimeZone HostZone() override;

private:
    void Load();
    bool ReadFile();
    void WriteFile() const;

    TimeZoneSource& source_;
    std::filesystem::path file_;
    std::u16string stamp_; // as the file holds it, one code unit per byte
    std::once_flag loaded_;
    std::vector<std::u16string> names_;
    std::map<std::u16string, std::vector<TimeZoneValue>, std::less<>> values_;
};

} // namespace dashcam
