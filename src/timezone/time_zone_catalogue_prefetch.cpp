#include "timezone/time_zone_catalogue_prefetch.h"

#include <mutex>

namespace dashcam {
namespace {
std::mutex g_lock;
TimeZoneCataloguePrefetch* g_running = nullptr; // guarded by g_lock
} // namespace

TimeZoneCataloguePrefetch::TimeZoneCataloguePrefetch(std::function<void()> first)
    : build_(std::async(std::launch::async, [&source = TimeZones(), first = std::move(first)] {
          if (first)
              first();
          return std::make_unique<CTimeZoneInfoManager>(source);
      })) {
    const std::lock_guard lock(g_lock);
    g_running = this;
}

TimeZoneCataloguePrefetch::~TimeZoneCataloguePrefetch() {
    {
        const std::lock_guard lock(g_lock);
        if (g_running == this)
            g_running = nullptr;
    }
    if (build_.valid())
        build_.wait();
}

std::unique_ptr<CTimeZoneInfoManager> TimeZoneCataloguePrefetch::Take() {
    std::future<std::unique_ptr<CTimeZoneInfoManager>> build;
    {
        const std::lock_guard lock(g_lock);
        if (g_running) {
            build = std::move(g_running->build_);
            g_running = nullptr;
        }
    }
    return build.valid() ? build.get() : std::make_unique<CTimeZoneInfoManager>();
}

} // namespace dashcam
