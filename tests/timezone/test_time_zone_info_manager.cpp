// The time-zone catalogue on zone sources of the test's making.
#include <gtest/gtest.h>

#include <memory>

#include "timezone/store_zone_in_record.h"
#include "timezone/time_zone_catalogue_prefetch.h"
#include "timezone/time_zone_info_manager.h"
#include "support/fake_time_zones.h"
#include "support/trace_capture.h"

namespace dashcam {
namespace {

using test::FakeTimeZones;

std::vector<std::u16string> KeysInOrder(const CTimeZoneInfoManager& m) {
    std::vector<std::u16string> keys;
    for (std::size_t i = 0; i < m.zoneCount(); ++i)
        keys.emplace_back(KeyNameOf(m.zone(i)));
    return keys;
}

TEST(TimeZoneCatalogue, LeavesOutExcludedPrefixesAndSortsEastToWest) {
    FakeTimeZones source;
    source.Add(u"UTC", u"(UTC) Coordinated Universal Time", u"Coordinated Universal Time", 0);
    source.Add(u"UTC+12", u"(UTC+12:00) Coordinated Universal Time+12", u"UTC+12", 720);
    source.Add(u"GMT Standard Time", u"(UTC+00:00) London", u"GMT Standard Time", 0);
    source.Add(u"mexico Standard Time 2", u"(UTC-07:00) Chihuahua", u"Mexico Standard Time 2", -420);
    source.Add(u"Korea Standard Time", u"(UTC+09:00) Seoul", u"Korea Standard Time", 540);
    source.Add(u"Middle East Standard Time", u"(UTC+02:00) Beirut", u"Middle East Standard Time", 120);
    source.Add(u"Eastern Standard Time", u"(UTC-05:00) Eastern Time", u"Eastern Standard Time", -300);
    // Equal biases go by standard name in code-unit order: "B…" before "a…", unlike a case-blind order.
    source.Add(u"Zone A", u"(UTC+00:00) A", u"a zone", 0);
    source.Add(u"Zone B", u"(UTC+00:00) B", u"B zone", 0);
    CTimeZoneInfoManager m(source);

    EXPECT_EQ(m.subkeyNames(), (std::vector<std::u16string>{u"GMT Standard Time", u"Korea Standard Time",
                                                             u"Eastern Standard Time", u"Zone A", u"Zone B"}));
    EXPECT_EQ(KeysInOrder(m), (std::vector<std::u16string>{u"Korea Standard Time", u"Zone B", u"GMT Standard Time",
                                                            u"Zone A", u"Eastern Standard Time"}));
    EXPECT_EQ(BiasOf(m.zone(0)), 540);
    EXPECT_EQ(DisplayNameOf(m.zone(0)), u"(UTC+09:00) Seoul");
}

TEST(TimeZoneCatalogue, ReadsValuesByNameCaseBlindAndNegatesTheWestwardBiases) {
    FakeTimeZones source;
    TziRecord stored{};
    stored.bias = 300;
    stored.standardBias = 7;
    stored.daylightBias = -60;
    stored.daylightDate = {0, 3, 0, 2, 2, 0, 0, 0};
    stored.standardDate = {0, 11, 0, 1, 2, 0, 0, 0};
    const auto tzi = EncodeTzi(stored);
    source.zones.push_back({u"Eastern Standard Time",
                            {{u"display", FakeTimeZones::Text(u"(UTC-05:00) Eastern Time (US & Canada)")},
                             {u"Dlt", FakeTimeZones::Text(u"Eastern Daylight Time")},
                             {u"STD", FakeTimeZones::Text(u"Eastern Standard Time")},
                             {u"tzi", std::vector<std::uint8_t>(tzi.begin(), tzi.end())}}});
    // A zone whose key cannot be read, one with a short rule and one with an oversized display text.
    source.zones.push_back({u"Unreadable Standard Time", {}});
    source.zones.push_back({u"Short", {{u"TZI", {0x10, 0xFE, 0xFF, 0xFF}}}});
    source.zones.push_back({u"Long", {{u"Display", FakeTimeZones::Text(std::u16string(600, u'x'))}}});
    CTimeZoneInfoManager m(source);

    ASSERT_EQ(m.zoneCount(), 4u);
    const CRegTimeZoneInfo& eastern = m.zone(static_cast<std::size_t>(m.FindZone(u"Eastern Standard Time", -300)));
    EXPECT_EQ(DisplayNameOf(eastern), u"(UTC-05:00) Eastern Time (US & Canada)");
    EXPECT_EQ(StandardNameOf(eastern), u"Eastern Standard Time");
    EXPECT_EQ(eastern.zoneRule.bias, -300);
    EXPECT_EQ(eastern.zoneRule.standardBias, 7);
    EXPECT_EQ(eastern.zoneRule.daylightBias, 60);
    EXPECT_EQ(eastern.zoneRule.daylightDate.month, 3);
    EXPECT_EQ(eastern.zoneRule.standardDate.day, 1);

    const CRegTimeZoneInfo& shortRule = m.zone(static_cast<std::size_t>(m.FindZone(u"Short", 496)));
    EXPECT_EQ(KeyNameOf(shortRule), u"Short");
    EXPECT_EQ(shortRule.zoneRule.daylightBias, 0);
    const CRegTimeZoneInfo& unreadable = m.zone(static_cast<std::size_t>(m.FindZone(u"Unreadable Standard Time", 0)));
    EXPECT_EQ(KeyNameOf(unreadable), u"Unreadable Standard Time");
    EXPECT_TRUE(DisplayNameOf(unreadable).empty());
    const CRegTimeZoneInfo& longText = m.zone(static_cast<std::size_t>(m.FindZone(u"Long", 0)));
    EXPECT_EQ(DisplayNameOf(longText).size(), longText.displayName.size() - 1);
}

TEST(TimeZoneCatalogue, TracesEachZoneWithItsIndexAfterTheExclusions) {
    FakeTimeZones source;
    source.Add(u"Argentina Standard Time", u"(UTC-03:00) City of Buenos Aires", u"Argentina Standard Time", -180);
    source.Add(u"Korea Standard Time", u"(UTC+09:00) Seoul", u"Korea Standard Time", 540);
    source.Add(u"Newfoundland Standard Time", u"(UTC-03:30) Newfoundland", u"Newfoundland Standard Time", -210);
    test::TraceCapture trace;
    CTimeZoneInfoManager m(source);
    EXPECT_EQ(trace.text(), "\t0\t[Korea Standard Time]\t[(UTC+09:00) Seoul]\tBias[540]\tDaylightBias[0]\n"
                            "\t1\t[Newfoundland Standard Time]\t[(UTC-03:30) Newfoundland]\tBias[-210]\t"
                            "DaylightBias[0]\n");
}

class FindingZones : public ::testing::Test {
protected:
    void SetUp() override {
        source.Add(u"Korea Standard Time", u"(UTC+09:00) Seoul", u"Korea Standard Time", 540);
        source.Add(u"Tokyo Standard Time", u"(UTC+09:00) Osaka", u"Tokyo Standard Time", 540);
        source.Add(u"Yakutsk Standard Time", u"(UTC+09:00) Yakutsk", u"Yakutsk Standard Time", 540);
        source.Add(u"GMT Standard Time", u"(UTC+00:00) London", u"GMT Standard Time", 0);
        source.Add(u"UTC", u"(UTC) Coordinated Universal Time", u"Coordinated Universal Time", 0);
    }
    FakeTimeZones source;
};

TEST_F(FindingZones, ByNameAndBiasWithTheirFallbacks) {
    CTimeZoneInfoManager m(source);
    ASSERT_EQ(KeysInOrder(m), (std::vector<std::u16string>{u"Korea Standard Time", u"Tokyo Standard Time",
                                                            u"Yakutsk Standard Time", u"GMT Standard Time"}));
    EXPECT_EQ(m.FindZone(u"Tokyo Standard Time", 540), 1);
    EXPECT_EQ(m.FindZone(u"tokyo standard time", 540), 2); // names are exact: the last zone with the bias
    EXPECT_EQ(m.FindZone(u"Tokyo Standard Time", 0), 3);   // the bias decides first
    EXPECT_EQ(m.FindZone(u"Nowhere", 123), 0);
    EXPECT_EQ(m.FindZone(u"", 540), 0);
    EXPECT_EQ(m.FindZone(u"", 0), 3);
    EXPECT_EQ(m.FindZone(u"", 123), -1);
}

TEST_F(FindingZones, HostZoneNeedsBiasStandardBiasAndName) {
    CTimeZoneInfoManager m(source);
    source.host = {-540, 0, u"Yakutsk Standard Time"};
    EXPECT_EQ(m.FindHostZone(), 2);
    source.host = {-540, -60, u"Yakutsk Standard Time"};
    EXPECT_EQ(m.FindHostZone(), 0);
    source.host = {540, 0, u"Yakutsk Standard Time"}; // no zone has the bias: the first zone
    EXPECT_EQ(m.FindHostZone(), 0);
    source.host = {0, 0, u"GMT Standard Time"};
    EXPECT_EQ(m.FindHostZone(), 3);
}

// A host whose zone the catalogue leaves out keeps its offset: the first zone with its bias, not the first zone.
TEST_F(FindingZones, AnExcludedHostZoneFallsBackToItsBias) {
    source.Add(u"Turkey Standard Time", u"(UTC+03:00) Istanbul", u"Turkey Standard Time", 180);
    source.Add(u"Arab Standard Time", u"(UTC+03:00) Kuwait, Riyadh", u"Arab Standard Time", 180);
    source.Add(u"Line Islands Standard Time", u"(UTC+14:00) Kiritimati Island", u"Line Islands Standard Time", 840);
    CTimeZoneInfoManager m(source);
    ASSERT_EQ(KeyNameOf(m.zone(0)), u"Line Islands Standard Time");
    source.host = {0, 0, u"Coordinated Universal Time"};
    EXPECT_EQ(KeyNameOf(m.zone(static_cast<std::size_t>(m.FindHostZone()))), u"GMT Standard Time");
    source.host = {-180, 0, u"Turkey Standard Time"};
    EXPECT_EQ(KeyNameOf(m.zone(static_cast<std::size_t>(m.FindHostZone()))), u"Arab Standard Time");

    // Initialize, or a card without a zone, stores that zone; a record with a zone is left as it is.
    SettingsRecord record;
    source.host = {0, 0, u"Coordinated Universal Time"};
    EXPECT_EQ(GiveRecordTheHostZone(m, record), m.FindHostZone());
    EXPECT_EQ(record.timeZoneName(), "GMT Standard Time");
    EXPECT_EQ(record.timeZoneBias(), 0);
    record.setTimeZoneBias(60);
    record.setTimeZoneName("");
    EXPECT_EQ(GiveRecordTheHostZone(m, record), std::nullopt);
    EXPECT_EQ(record.timeZoneBias(), 60);
}

TEST(TimeZoneCatalogue, EmptyWhenTheSourceListsNothing) {
    FakeTimeZones source;
    source.host = {-540, 0, u"Korea Standard Time"};
    CTimeZoneInfoManager m; // the source in use
    EXPECT_EQ(m.zoneCount(), 0u);
    EXPECT_EQ(m.FindHostZone(), 0);
    EXPECT_EQ(m.FindZone(u"", 0), -1);
}

TEST(StoreZoneInRecord, ZeroesTheNameFieldAndKeepsRoomForItsNul) {
    FakeTimeZones source;
    source.Add(u"Korea Standard Time", u"(UTC+09:00) Seoul", u"Korea Standard Time", 540);
    source.Add(u"Very Long Zone Name Standard Time (Somewhere)", u"(UTC-01:00) Far", u"Far", -60);
    CTimeZoneInfoManager m(source);
    SettingsRecord record;
    std::fill(record.bytes.begin(), record.bytes.end(), std::uint8_t{0xFF});
    test::TraceCapture trace;

    StoreZoneInRecord(m.zone(0), record);
    EXPECT_EQ(record.timeZoneName(), "Korea Standard Time");
    EXPECT_EQ(record.Text(380 + 20, 12), ""); // bytes after the name zeroed, not left as they were
    EXPECT_EQ(record.timeZoneBias(), 540);
    EXPECT_EQ(trace.text(), "TimeZone [Korea Standard Time] Bias[540]\n");

    StoreZoneInRecord(m.zone(1), record);
    EXPECT_EQ(record.timeZoneName(), "Very Long Zone Name Standard Ti");
    EXPECT_EQ(record.bytes[380 + 31], 0);
    EXPECT_EQ(record.timeZoneBias(), -60);
    EXPECT_EQ(record.I32(412), -1); // the field after the name is untouched
}

TEST(TimeZoneCatalogue, PrefetchHandsOverOneCatalogueThenBuildsFromTheSourceInUse) {
    FakeTimeZones korea, london;
    korea.Add(u"Korea Standard Time", u"(UTC+09:00) Seoul", u"Korea Standard Time", 540);
    london.Add(u"GMT Standard Time", u"(UTC+00:00) London", u"GMT Standard Time", 0);
    SetTimeZones(&korea);
    {
        TimeZoneCataloguePrefetch prefetch;
        SetTimeZones(&london); // not seen by the prefetch, which took the source it started with
        EXPECT_EQ(KeysInOrder(*TimeZoneCataloguePrefetch::Take()), std::vector<std::u16string>{u"Korea Standard Time"});
        EXPECT_EQ(KeysInOrder(*TimeZoneCataloguePrefetch::Take()), std::vector<std::u16string>{u"GMT Standard Time"});
        SetTimeZones(&korea);
    }
    // A prefetch that nobody took is waited for, and gone: Take builds anew.
    { TimeZoneCataloguePrefetch unused; }
    SetTimeZones(&london);
    EXPECT_EQ(KeysInOrder(*TimeZoneCataloguePrefetch::Take()), std::vector<std::u16string>{u"GMT Standard Time"});
}

#ifdef _WIN32
// The registry of the machine (or of Wine) that runs the tests.
TEST(TimeZoneCatalogue, HostRegistryListIsFilteredSortedAndHoldsTheHostZone) {
    CTimeZoneInfoManager m;
    ASSERT_GT(m.zoneCount(), 50u);
    for (std::size_t i = 0; i < m.zoneCount(); ++i) {
        for (std::u16string_view prefix : kExcludedZonePrefixes)
            EXPECT_NE(KeyNameOf(m.zone(i)).substr(0, prefix.size()), prefix);
        EXPECT_FALSE(DisplayNameOf(m.zone(i)).empty());
        if (i > 0) {
            EXPECT_GE(BiasOf(m.zone(i - 1)), BiasOf(m.zone(i)));
            if (BiasOf(m.zone(i - 1)) == BiasOf(m.zone(i))) {
                EXPECT_LE(StandardNameOf(m.zone(i - 1)), StandardNameOf(m.zone(i)));
            }
        }
    }
    const HostTimeZone host = TimeZones().HostZone();
    const CRegTimeZoneInfo& found = m.zone(static_cast<std::size_t>(m.FindHostZone()));
    bool listed = false;
    for (std::size_t i = 0; i < m.zoneCount(); ++i)
        listed = listed || (BiasOf(m.zone(i)) == -host.bias && StandardNameOf(m.zone(i)) == host.standardName);
    if (listed) {
        EXPECT_EQ(BiasOf(found), -host.bias);
        EXPECT_EQ(StandardNameOf(found), host.standardName);
    } else {
        EXPECT_EQ(m.FindHostZone(), 0); // an excluded host zone such as UTC
    }
}
#endif

} // namespace
} // namespace dashcam
