// Without the Qt layer there is no reader of the system's time-zone database: the list is empty and the host's
// zone unknown (UTC).
#include "platform/time_zone_source.h"

namespace dashcam {
namespace {

class NoTimeZones : public TimeZoneSource {
public:
    std::vector<std::u16string> ZoneKeyNames() override { return {}; }
    std::vector<TimeZoneValue> ZoneValues(std::u16string_view) override { return {}; }
    HostTimeZone HostZone() override { return {}; }
};

} // namespace

TimeZoneSource& PlatformTimeZones() {
    static NoTimeZones source;
    return source;
}

} // namespace dashcam
