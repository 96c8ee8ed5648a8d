#pragma once
// Builds the zone catalogue on a thread of its own while the window starts, so that start-up does not wait for the
// host's zone database: the System page takes the catalogue when it is constructed.
#include <functional>
#include <future>
#include <memory>

#include "timezone/time_zone_info_manager.h"

namespace dashcam {

class TimeZoneCataloguePrefetch {
public:
    // Starts building from the zone source in use now (TimeZones()), which must outlive the build. `first`, when
    // given, runs on the same thread before the catalogue is built (other start-up work that may go ahead of it).
    explicit TimeZoneCataloguePrefetch(std::function<void()> first = {});
    // Waits for a build that nobody took.
    ~TimeZoneCataloguePrefetch();
    TimeZoneCataloguePrefetch(const TimeZoneCataloguePrefetch&) = delete;
    TimeZoneCataloguePrefetch& operator=(const TimeZoneCataloguePrefetch&) = delete;

    // The catalogue of the running prefetch, once it is built; without one (none running, or already taken) a
    // catalogue built now from the zone source in use.
    static std::unique_ptr<CTimeZoneInfoManager> Take();

private:
    std::future<std::unique_ptr<CTimeZoneInfoManager>> build_;
};

} // namespace dashcam
