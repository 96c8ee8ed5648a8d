#include "cli/zones_command.h"

#include "cli/cli_commands.h"
#include "cli/command_line.h"
#include "cli/command_support.h"
#include "i18n/wide_text.h"
#include "timezone/store_zone_in_record.h"
#include "timezone/time_zone_info_manager.h"
#include "platform/text_codec.h"

namespace dashcam::cli {
namespace {

bool ContainsIgnoreCase(std::u16string_view text, std::u16string_view part) {
    for (std::size_t at = 0; at + part.size() <= text.size(); ++at)
        if (EqualsIgnoreCase(text.substr(at, part.size()), part))
            return true;
    return false;
}

// A SYSTEMTIME of a zone's rule as its fields in order.
void DateJson(JsonWriter& out, const TziSystemTime& t) {
    out.BeginArray(JsonWriter::Layout::Inline);
    for (std::uint16_t v : {t.year, t.month, t.dayOfWeek, t.day, t.hour, t.minute, t.second, t.milliseconds})
        out.Number(v);
    out.EndArray();
}

int RunZones(Invocation& call) {
    const CTimeZoneInfoManager& catalogue = ZoneCatalogue();
    const bool json = call.Has("--json");
    std::string out;
    JsonWriter list;
    list.BeginArray();
    for (std::size_t i = 0; i < catalogue.zoneCount(); ++i) {
        const CRegTimeZoneInfo& zone = catalogue.zone(i);
        const std::string key = Utf16ToUtf8(KeyNameOf(zone)), display = Utf16ToUtf8(DisplayNameOf(zone));
        if (!json) {
            out += key + "\t" + display + "\t" + std::to_string(BiasOf(zone)) + "\n";
            continue;
        }
        list.BeginObject(JsonWriter::Layout::Inline)
            .Key("keyName").String(key)
            .Key("displayName").String(display)
            .Key("standardName").String(Utf16ToUtf8(StandardNameOf(zone)))
            .Key("bias").Number(BiasOf(zone))
            // The rest of the zone's rule, with the catalogue's signs (bias above).
            .Key("standardBias").Number(zone.zoneRule.standardBias)
            .Key("daylightBias").Number(zone.zoneRule.daylightBias)
            .Key("standardDate");
        DateJson(list, zone.zoneRule.standardDate);
        list.Key("daylightDate");
        DateJson(list, zone.zoneRule.daylightDate);
        list.EndObject();
    }
    call.Out(json ? list.EndArray().Text() : out);
    return 0;
}

} // namespace

const CTimeZoneInfoManager& ZoneCatalogue() {
    static const CTimeZoneInfoManager catalogue;
    return catalogue;
}

int SetTimeZone(Invocation& call, SettingsRecord& record, const std::string& key) {
    const CTimeZoneInfoManager& catalogue = ZoneCatalogue();
    const std::u16string wanted = Utf8ToUtf16(key);
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < catalogue.zoneCount(); ++i) {
        if (KeyNameOf(catalogue.zone(i)) == wanted) {
            StoreZoneInRecord(catalogue.zone(i), record);
            return 0;
        }
        keys.push_back(Utf16ToUtf8(KeyNameOf(catalogue.zone(i))));
    }
    // Not a key: the zone whose display text ("(UTC+09:00) Seoul") holds the words, when only one does.
    std::vector<std::size_t> shown;
    for (std::size_t i = 0; i < catalogue.zoneCount() && !key.empty(); ++i)
        if (ContainsIgnoreCase(DisplayNameOf(catalogue.zone(i)), wanted))
            shown.push_back(i);
    if (shown.size() == 1) {
        StoreZoneInRecord(catalogue.zone(shown.front()), record);
        return 0;
    }
    if (shown.size() > 1) {
        std::string message = "'" + key + "' is in the display text of " + std::to_string(shown.size()) + " zones:";
        for (std::size_t i : shown)
            message += " '" + Utf16ToUtf8(KeyNameOf(catalogue.zone(i))) + "' " +
                       Utf16ToUtf8(DisplayNameOf(catalogue.zone(i))) + ";";
        message.back() = ' ';
        return call.UsageError(message + "(give the key)");
    }
    std::string message = "unknown time zone '" + key + "'";
    const std::vector<std::string> matches = CloseMatches(key, keys, 5);
    for (std::size_t i = 0; i < matches.size(); ++i)
        message += (i ? ", '" : "; close matches: '") + matches[i] + "'";
    return call.UsageError(message + " ('dashcam-cfg zones' lists them all)");
}

Command ZonesCommand() {
    return {"zones",
            "the host's time zones, for set CARD timeZone=KEY",
            "Lists the host's time zones as the System page offers them, east to west: key name, display text and "
            "bias (minutes east of UTC), tab-separated. On Windows they come from the registry; elsewhere from the "
            "project's table of the Windows zones, with the rules of the current year from the system's time-zone "
            "database.",
            {},
            {{"--json", "", "one JSON array of objects that also give the standard-time name and the whole rule"}},
            RunZones};
}

} // namespace dashcam::cli
