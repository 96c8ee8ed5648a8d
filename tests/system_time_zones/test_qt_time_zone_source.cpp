// The system's time-zone database presented as Windows zones, on this machine's database.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "../support/temp_dir.h"
#include "timezone/time_zone_info_manager.h"
#include "platform/cached_time_zone_source.h"
#include "platform/posix/qt_time_zone_source.h"

namespace dashcam {
namespace {

constexpr int kYear = 2026;

void SetTz(const char* zone) {
    ::setenv("TZ", zone, 1);
    ::tzset();
}

TziRecord StoredRule(QtTimeZoneSource& source, std::u16string_view key) {
    for (const TimeZoneValue& v : source.ZoneValues(key))
        if (v.name == u"TZI")
            return DecodeTzi(v.data.data(), v.data.size());
    ADD_FAILURE() << "no TZI";
    return {};
}

std::u16string DisplayOf(const CTimeZoneInfoManager& m, std::u16string_view key) {
    for (std::size_t i = 0; i < m.zoneCount(); ++i)
        if (KeyNameOf(m.zone(i)) == key)
            return std::u16string(DisplayNameOf(m.zone(i)));
    return u"<missing>";
}

class SystemTimeZones : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        source = new QtTimeZoneSource(kYear);
        catalogue = new CTimeZoneInfoManager(*source);
    }
    static void TearDownTestSuite() {
        delete catalogue;
        delete source;
    }
    static QtTimeZoneSource* source;
    static CTimeZoneInfoManager* catalogue;
};
QtTimeZoneSource* SystemTimeZones::source = nullptr;
CTimeZoneInfoManager* SystemTimeZones::catalogue = nullptr;

// The list kept between runs gives back every value of every zone as the database gave it.
TEST_F(SystemTimeZones, KeptListReadsBackValueForValue) {
    test::TempDir dir;
    const auto file = dir / "time-zones";
    { CachedTimeZoneSource(*source, file, source->CacheStamp()).ZoneKeyNames(); }
    // Read back over a source without zones: everything below comes from the file.
    struct NoZones : TimeZoneSource {
        std::vector<std::u16string> ZoneKeyNames() override { return {}; }
        std::vector<TimeZoneValue> ZoneValues(std::u16string_view) override { return {}; }
        HostTimeZone HostZone() override { return {}; }
    } none;
    CachedTimeZoneSource kept(none, file, source->CacheStamp());
    const auto names = kept.ZoneKeyNames();
    ASSERT_EQ(names, source->ZoneKeyNames());
    for (const auto& name : names) {
        const auto stored = kept.ZoneValues(name), fresh = source->ZoneValues(name);
        ASSERT_EQ(stored.size(), fresh.size());
        for (std::size_t i = 0; i < stored.size(); ++i) {
            EXPECT_EQ(stored[i].name, fresh[i].name);
            EXPECT_EQ(stored[i].data, fresh[i].data);
        }
    }
}

TEST_F(SystemTimeZones, HostZoneIsFoundUnderItsWindowsName) {
    const struct {
        const char* tz;
        std::u16string_view key;
        std::int32_t bias;
    } cases[] = {
        {"Asia/Seoul", u"Korea Standard Time", 540},
        {"America/New_York", u"Eastern Standard Time", -300},
        {"Asia/Kolkata", u"India Standard Time", 330}, // the Windows mapping knows it as Asia/Calcutta
        {"America/St_Johns", u"Newfoundland Standard Time", -210},
        {"Europe/London", u"GMT Standard Time", 0},
        {"America/Mazatlan", u"Mountain Standard Time (Mexico)", -420},
        {"Europe/Vienna", u"W. Europe Standard Time", 60}, // not the zone's main city: found all the same
    };
    for (const auto& c : cases) {
        SetTz(c.tz);
        const CRegTimeZoneInfo& zone = catalogue->zone(static_cast<std::size_t>(catalogue->FindHostZone()));
        EXPECT_EQ(KeyNameOf(zone), c.key) << c.tz;
        EXPECT_EQ(BiasOf(zone), c.bias) << c.tz;
    }
    SetTz("UTC"); // UTC is left out of the catalogue: the first zone of its offset stands in
    EXPECT_EQ(source->HostZone().standardName, u"Coordinated Universal Time");
    const int host = catalogue->FindHostZone();
    EXPECT_EQ(KeyNameOf(catalogue->zone(static_cast<std::size_t>(host))), u"GMT Standard Time");
}

TEST_F(SystemTimeZones, DaylightRulesAreWeekdayRulesAtLocalTransitionTimes) {
    const TziRecord ny = StoredRule(*source, u"Eastern Standard Time");
    EXPECT_EQ(ny.bias, 300);
    EXPECT_EQ(ny.standardBias, 0);
    EXPECT_EQ(ny.daylightBias, -60);
    const TziSystemTime secondSundayOfMarchAt2{0, 3, 0, 2, 2, 0, 0, 0}, firstSundayOfNovemberAt2{0, 11, 0, 1, 2, 0, 0, 0};
    EXPECT_EQ(std::memcmp(&ny.daylightDate, &secondSundayOfMarchAt2, sizeof(TziSystemTime)), 0);
    EXPECT_EQ(std::memcmp(&ny.standardDate, &firstSundayOfNovemberAt2, sizeof(TziSystemTime)), 0);

    const TziRecord london = StoredRule(*source, u"GMT Standard Time");
    EXPECT_EQ(london.bias, 0);
    EXPECT_EQ(london.daylightDate.day, 5); // the last Sunday
    EXPECT_EQ(london.daylightDate.hour, 1);
    EXPECT_EQ(london.standardDate.month, 10);
    EXPECT_EQ(london.standardDate.hour, 2); // 01:00 UTC read in summer time

    const TziRecord sydney = StoredRule(*source, u"AUS Eastern Standard Time"); // daylight time over the new year
    EXPECT_EQ(sydney.bias, -600);
    EXPECT_EQ(sydney.daylightDate.month, 10);
    EXPECT_EQ(sydney.standardDate.month, 4);
    EXPECT_EQ(sydney.standardDate.hour, 3);

    const TziRecord kolkata = StoredRule(*source, u"India Standard Time");
    EXPECT_EQ(kolkata.bias, -330);
    EXPECT_EQ(kolkata.daylightBias, 0);
    EXPECT_EQ(kolkata.daylightDate.month, 0);
    EXPECT_EQ(kolkata.standardDate.month, 0);
}

TEST_F(SystemTimeZones, CatalogueHoldsWindowsZonesWithReadableTexts) {
    ASSERT_GT(catalogue->zoneCount(), 100u);
    for (std::size_t i = 0; i < catalogue->zoneCount(); ++i) {
        const CRegTimeZoneInfo& zone = catalogue->zone(i);
        EXPECT_EQ(KeyNameOf(zone).find(u'/'), std::u16string_view::npos);
        EXPECT_NE(KeyNameOf(zone).substr(0, 3), u"UTC");
        EXPECT_EQ(DisplayNameOf(zone).substr(0, 4), u"(UTC");
        EXPECT_FALSE(StandardNameOf(zone).empty());
    }
    // The texts Windows shows, and each zone at the offset Windows gives it.
    EXPECT_EQ(DisplayOf(*catalogue, u"Newfoundland Standard Time"), u"(UTC-03:30) Newfoundland");
    EXPECT_EQ(DisplayOf(*catalogue, u"SA Pacific Standard Time"), u"(UTC-05:00) Bogota, Lima, Quito, Rio Branco");
    EXPECT_EQ(DisplayOf(*catalogue, u"Nepal Standard Time"), u"(UTC+05:45) Kathmandu");
    const struct {
        std::u16string_view key, display;
        std::int32_t bias;
    } zones[] = {{u"Mountain Standard Time (Mexico)", u"(UTC-07:00) La Paz, Mazatlan", -420},
                 {u"Central Asia Standard Time", u"(UTC+06:00) Bishkek", 360},
                 {u"Dateline Standard Time", u"(UTC-12:00) International Date Line West", -720}};
    for (const auto& z : zones) {
        EXPECT_EQ(DisplayOf(*catalogue, z.key), z.display);
        EXPECT_EQ(StoredRule(*source, z.key).bias, -z.bias);
    }
}

} // namespace
} // namespace dashcam
