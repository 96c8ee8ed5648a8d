// The time-zone command of dashcam-cfg (zones) and the timeZone=KEY assignment of set.
#include "cli/cmd_zones.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_support.h"
#include "pages/timezone/store_zone_in_record.h"
#include "pages/timezone/time_zone_info_manager.h"
#include "platform/posix/qt_time_zone_source.h"
#include "platform/text_codec.h"

namespace dashcam::cli {
namespace {

const char* const kZonesUsage =
    "usage: dashcam-cfg zones [--json]\n"
    "  Lists the host's time zones as the System page offers them, east to west: key name, display text and bias\n"
    "  (minutes east of UTC), tab-separated, or one JSON array. 'set CARD timeZone=KEY' picks one.\n";

// The catalogue as the editor builds it at start-up.
const CTimeZoneInfoManager& Catalogue() {
    InstallSystemTimeZones();
    static const CTimeZoneInfoManager catalogue;
    return catalogue;
}

std::string Lowered(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t substitution = diagonal + (a[i - 1] == b[j - 1] ? 0 : 1);
            diagonal = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, substitution});
        }
    }
    return row[b.size()];
}

// Key names that the typed text is close to: a few typing slips away, or found in the key or the display text.
std::vector<std::string> CloseMatches(const CTimeZoneInfoManager& catalogue, const std::string& typed) {
    const std::string wanted = Lowered(typed);
    std::vector<std::pair<std::size_t, std::string>> scored;
    for (std::size_t i = 0; i < catalogue.zoneCount(); ++i) {
        const std::string key = Utf16ToUtf8(KeyNameOf(catalogue.zone(i)));
        const std::string lowKey = Lowered(key);
        const bool contained = !wanted.empty() && (lowKey.find(wanted) != std::string::npos ||
                                                   Lowered(Utf16ToUtf8(DisplayNameOf(catalogue.zone(i))))
                                                           .find(wanted) != std::string::npos);
        const std::size_t distance = EditDistance(wanted, lowKey);
        if (contained || distance <= std::max<std::size_t>(3, wanted.size() / 4))
            scored.emplace_back(contained ? 0 : distance, key);
    }
    std::stable_sort(scored.begin(), scored.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < scored.size() && i < 5; ++i)
        keys.push_back(scored[i].second);
    return keys;
}

} // namespace

int SetTimeZone(SettingsRecord& record, const std::string& key, const char* usage) {
    const CTimeZoneInfoManager& catalogue = Catalogue();
    const std::u16string wanted = Utf8ToUtf16(key);
    for (std::size_t i = 0; i < catalogue.zoneCount(); ++i) {
        if (KeyNameOf(catalogue.zone(i)) == wanted) {
            StoreZoneInRecord(catalogue.zone(i), record);
            return 0;
        }
    }
    std::string message = "unknown time zone '" + key + "'";
    const std::vector<std::string> matches = CloseMatches(catalogue, key);
    for (std::size_t i = 0; i < matches.size(); ++i)
        message += (i ? ", '" : "; close matches: '") + matches[i] + "'";
    return UsageError(message + " ('dashcam-cfg zones' lists them all)", usage);
}

int RunZones(const Args& args) {
    if (WantsHelp(args))
        return PrintHelp(kZonesUsage), 0;
    bool json = false;
    for (const std::string& a : args) {
        if (a != "--json")
            return UsageError(a.rfind("--", 0) == 0 ? "unknown option '" + a + "'" : "zones takes no card folder",
                              kZonesUsage);
        json = true;
    }
    const CTimeZoneInfoManager& catalogue = Catalogue();
    std::string out = json ? "[" : "";
    for (std::size_t i = 0; i < catalogue.zoneCount(); ++i) {
        const CRegTimeZoneInfo& zone = catalogue.zone(i);
        const std::string key = Utf16ToUtf8(KeyNameOf(zone)), display = Utf16ToUtf8(DisplayNameOf(zone));
        const std::string bias = std::to_string(BiasOf(zone));
        if (json)
            out += std::string(i ? ",\n  " : "\n  ") + "{\"keyName\": " + JsonQuoted(key) +
                   ", \"displayName\": " + JsonQuoted(display) + ", \"standardName\": " +
                   JsonQuoted(Utf16ToUtf8(StandardNameOf(zone))) + ", \"bias\": " + bias + "}";
        else
            out += key + "\t" + display + "\t" + bias + "\n";
    }
    if (json)
        out += catalogue.zoneCount() ? "\n]\n" : "]\n";
    std::fputs(out.c_str(), stdout);
    return 0;
}

} // namespace dashcam::cli
