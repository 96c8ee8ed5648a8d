// Building the time-zone catalogue over the system's database, as the System page does at every start.
#include <benchmark/benchmark.h>

#include <chrono>

#include "timezone/time_zone_info_manager.h"
#include "platform/posix/qt_time_zone_source.h"

namespace {

using namespace dashcam;

double MillisecondsToBuild() {
    const auto start = std::chrono::steady_clock::now();
    QtTimeZoneSource source;
    CTimeZoneInfoManager catalogue(source);
    benchmark::DoNotOptimize(catalogue.zoneCount());
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The first build in a process reads the database files; later ones find them in Qt's cache.
void BM_CatalogueFirstAndLaterBuilds(benchmark::State& state) {
    static const double first = MillisecondsToBuild();
    for (auto _ : state) {
        QtTimeZoneSource source;
        CTimeZoneInfoManager catalogue(source);
        benchmark::DoNotOptimize(catalogue.zoneCount());
    }
    state.counters["first_build_ms"] = first;
}
BENCHMARK(BM_CatalogueFirstAndLaterBuilds)->Unit(benchmark::kMillisecond);

void BM_HostZoneLookup(benchmark::State& state) {
    QtTimeZoneSource source;
    CTimeZoneInfoManager catalogue(source);
    for (auto _ : state)
        benchmark::DoNotOptimize(catalogue.FindHostZone());
}
BENCHMARK(BM_HostZoneLookup)->Unit(benchmark::kMicrosecond);

} // namespace
