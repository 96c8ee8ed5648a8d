// The zone list kept in a cache file between runs.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "../support/fake_time_zones.h"
#include "../support/fifo_wait.h"
#include "../support/temp_dir.h"
#include "platform/cached_time_zone_source.h"

namespace dashcam {
namespace {

struct CountingZones : test::FakeTimeZones {
    CountingZones() {
        Add(u"Korea Standard Time", u"(UTC+09:00) Seoul", u"Korea Standard Time", 540);
        Add(u"UTC", u"(UTC) Coordinated Universal Time", u"Coordinated Universal Time", 0);
        host.standardName = u"Korea Standard Time";
    }
    std::vector<std::u16string> ZoneKeyNames() override {
        ++nameCalls;
        return FakeTimeZones::ZoneKeyNames();
    }
    std::vector<TimeZoneValue> ZoneValues(std::u16string_view key) override {
        ++valueCalls;
        return FakeTimeZones::ZoneValues(key);
    }
    int nameCalls = 0;
    int valueCalls = 0;
};

bool SameList(TimeZoneSource& a, TimeZoneSource& b) {
    const auto names = a.ZoneKeyNames();
    if (names != b.ZoneKeyNames())
        return false;
    for (const auto& name : names) {
        const auto x = a.ZoneValues(name), y = b.ZoneValues(name);
        if (x.size() != y.size())
            return false;
        for (std::size_t i = 0; i < x.size(); ++i)
            if (x[i].name != y[i].name || x[i].data != y[i].data)
                return false;
    }
    return true;
}

TEST(CachedTimeZones, ALaterRunUnderTheSameStampReadsTheFileAndAnotherStampRebuilds) {
    test::TempDir dir;
    const auto file = dir / "cache" / "time-zones";
    CountingZones reference;
    {
        CountingZones database;
        CachedTimeZoneSource first(database, file, "tz 1");
        EXPECT_TRUE(SameList(first, reference));
        EXPECT_EQ(database.nameCalls, 1);
        EXPECT_EQ(database.valueCalls, 2);
        EXPECT_EQ(first.HostZone().standardName, u"Korea Standard Time");
    }
    {
        CountingZones database;
        CachedTimeZoneSource again(database, file, "tz 1");
        EXPECT_TRUE(SameList(again, reference));
        EXPECT_EQ(database.nameCalls + database.valueCalls, 0);
    }
    {
        CountingZones database;
        database.Add(u"Tokyo Standard Time", u"(UTC+09:00) Osaka, Sapporo, Tokyo", u"Tokyo Standard Time", 540);
        CachedTimeZoneSource newer(database, file, "tz 2");
        EXPECT_TRUE(SameList(newer, database));
        EXPECT_EQ(database.nameCalls, 2); // once to build, once by SameList
    }
}

TEST(CachedTimeZones, ABrokenOrUnwritableFileOnlyCostsTheBuild) {
    test::TempDir dir;
    const auto file = dir / "time-zones";
    CountingZones reference;
    {
        CountingZones database;
        CachedTimeZoneSource first(database, file, "tz");
        first.ZoneKeyNames();
    }
    // Cut short, then garbage: each is rebuilt from the database and written whole again.
    auto bytes = test::ReadBytes(file);
    ASSERT_GT(bytes.size(), 40u);
    for (const auto& damaged : {std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 3),
                                std::vector<std::uint8_t>(bytes.size(), 0xff)}) {
        test::WriteBytes(file, damaged);
        CountingZones database;
        CachedTimeZoneSource cached(database, file, "tz");
        EXPECT_TRUE(SameList(cached, reference));
        EXPECT_EQ(database.valueCalls, 2);
        EXPECT_EQ(test::ReadBytes(file), bytes);
    }
    // A cache folder that is a file: the list comes from the database every time.
    test::WriteText(dir / "blocked", "");
    CountingZones database;
    CachedTimeZoneSource unwritable(database, dir / "blocked" / "time-zones", "tz");
    EXPECT_TRUE(SameList(unwritable, reference));
    EXPECT_FALSE(std::filesystem::exists(dir / "blocked" / "time-zones"));
}

#ifndef _WIN32
TEST(CachedTimeZones, AFifoAtTheFileIsNotWaitedFor) {
    test::TempDir dir;
    const auto file = dir / "time-zones";
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    CountingZones reference;
    EXPECT_TRUE(test::WithoutWaitingOn(file, [&](auto&) {
        CountingZones database;
        CachedTimeZoneSource cached(database, file, "tz");
        return SameList(cached, reference);
    }));
}
#endif

} // namespace
} // namespace dashcam
