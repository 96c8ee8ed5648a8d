#include "platform/posix/qt_time_zone_source.h"

#include "platform/cached_time_zone_source.h"

#include <QDate>
#include <QDateTime>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <QSet>
#include <QTimeZone>
#include <algorithm>
#include <array>
#include <optional>
#include <utility>

namespace dashcam {
namespace {

// Zones that the time-zone database renamed after the Windows mapping had taken their names: (current, former).
// The mapping knows only the former names; the database may hold only the current ones.
constexpr std::pair<const char*, const char*> kRenamedZones[] = {
    {"Asia/Kolkata", "Asia/Calcutta"},
    {"Asia/Kathmandu", "Asia/Katmandu"},
    {"Asia/Yangon", "Asia/Rangoon"},
    {"Asia/Ho_Chi_Minh", "Asia/Saigon"},
    {"Europe/Kyiv", "Europe/Kiev"},
    {"America/Nuuk", "America/Godthab"},
    {"Atlantic/Faroe", "Atlantic/Faeroe"},
    {"Pacific/Chuuk", "Pacific/Truk"},
    {"Pacific/Pohnpei", "Pacific/Ponape"},
    {"Pacific/Kanton", "Pacific/Enderbury"},
    {"Africa/Asmara", "Africa/Asmera"},
    {"America/Argentina/Buenos_Aires", "America/Buenos_Aires"},
    {"America/Argentina/Catamarca", "America/Catamarca"},
    {"America/Argentina/Cordoba", "America/Cordoba"},
    {"America/Argentina/Jujuy", "America/Jujuy"},
    {"America/Argentina/Mendoza", "America/Mendoza"},
    {"America/Atikokan", "America/Coral_Harbour"},
    {"America/Indiana/Indianapolis", "America/Indianapolis"},
    {"America/Kentucky/Louisville", "America/Louisville"},
    {"UTC", "Etc/UTC"},
};

QByteArray FormerName(const QByteArray& id) {
    for (auto [current, former] : kRenamedZones)
        if (id == current)
            return former;
    return id;
}

QByteArray CurrentName(const QByteArray& id) {
    for (auto [current, former] : kRenamedZones)
        if (id == former)
            return current;
    return id;
}

QByteArray WindowsIdOf(const QByteArray& ianaId) {
    QByteArray windowsId = QTimeZone::ianaIdToWindowsId(ianaId);
    if (const QByteArray former = FormerName(ianaId); windowsId.isEmpty() && former != ianaId)
        windowsId = QTimeZone::ianaIdToWindowsId(former);
    return windowsId;
}

QTimeZone OpenZone(const QByteArray& ianaId) {
    QTimeZone zone(ianaId);
    return zone.isValid() ? zone : QTimeZone(CurrentName(ianaId));
}

// The places of the best-known zones as Windows names them.
constexpr std::pair<const char*, const char*> kKnownPlaces[] = {
    {"Korea Standard Time", "Seoul"},
    {"Tokyo Standard Time", "Osaka, Sapporo, Tokyo"},
    {"China Standard Time", "Beijing, Chongqing, Hong Kong, Urumqi"},
    {"Taipei Standard Time", "Taipei"},
    {"Singapore Standard Time", "Kuala Lumpur, Singapore"},
    {"SE Asia Standard Time", "Bangkok, Hanoi, Jakarta"},
    {"India Standard Time", "Chennai, Kolkata, Mumbai, New Delhi"},
    {"Arabian Standard Time", "Abu Dhabi, Muscat"},
    {"Russian Standard Time", "Moscow, St. Petersburg"},
    {"GTB Standard Time", "Athens, Bucharest"},
    {"FLE Standard Time", "Helsinki, Kyiv, Riga, Sofia, Tallinn, Vilnius"},
    {"W. Europe Standard Time", "Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna"},
    {"Romance Standard Time", "Brussels, Copenhagen, Madrid, Paris"},
    {"Central Europe Standard Time", "Belgrade, Bratislava, Budapest, Ljubljana, Prague"},
    {"Central European Standard Time", "Sarajevo, Skopje, Warsaw, Zagreb"},
    {"GMT Standard Time", "Dublin, Edinburgh, Lisbon, London"},
    {"Greenwich Standard Time", "Monrovia, Reykjavik"},
    {"E. South America Standard Time", "Brasilia"},
    {"Newfoundland Standard Time", "Newfoundland"},
    {"Atlantic Standard Time", "Atlantic Time (Canada)"},
    {"Eastern Standard Time", "Eastern Time (US & Canada)"},
    {"Central Standard Time", "Central Time (US & Canada)"},
    {"Mountain Standard Time", "Mountain Time (US & Canada)"},
    {"Pacific Standard Time", "Pacific Time (US & Canada)"},
    {"Alaskan Standard Time", "Alaska"},
    {"Hawaiian Standard Time", "Hawaii"},
    {"AUS Eastern Standard Time", "Canberra, Melbourne, Sydney"},
    {"New Zealand Standard Time", "Auckland, Wellington"},
};

QString CityOf(const QByteArray& ianaId) {
    const QByteArray id = CurrentName(ianaId);
    QString city = QString::fromLatin1(id.mid(id.lastIndexOf('/') + 1));
    return city.replace(QLatin1Char('_'), QLatin1Char(' '));
}

// "Seoul", or the cities of up to four of the zone's database zones, its main one first.
QString PlacesOf(const QByteArray& windowsId, const QByteArray& mainZone) {
    for (auto [id, places] : kKnownPlaces)
        if (windowsId == id)
            return QString::fromLatin1(places);
    QStringList cities{CityOf(mainZone)};
    for (const QByteArray& ianaId : QTimeZone::windowsIdToIanaIds(windowsId)) {
        if (cities.size() == 4)
            break;
        const QString city = CityOf(ianaId);
        if (!ianaId.startsWith("Etc/") && !cities.contains(city))
            cities.append(city);
    }
    return cities.join(QStringLiteral(", "));
}

// "(UTC+09:00) ", "(UTC-03:30) ", "(UTC+00:00) ".
QString OffsetPrefix(int offsetMinutes) {
    const int magnitude = std::abs(offsetMinutes);
    return QStringLiteral("(UTC%1%2:%3) ")
        .arg(offsetMinutes < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(magnitude / 60, 2, 10, QLatin1Char('0'))
        .arg(magnitude % 60, 2, 10, QLatin1Char('0'));
}

// The name of the zone's standard time as Windows gives it.
QString StandardNameOf(const QByteArray& windowsId, const QTimeZone& zone) {
    if (windowsId.endsWith("Standard Time") || windowsId.contains("Standard Time ("))
        return QString::fromLatin1(windowsId);
    if (windowsId.startsWith("Russia Time Zone "))
        return QStringLiteral("Russia TZ %1 Standard Time").arg(QString::fromLatin1(windowsId.mid(17)));
    if (windowsId == "UTC")
        return QStringLiteral("Coordinated Universal Time");
    if (windowsId.startsWith("UTC"))
        return QString::fromLatin1(windowsId);
    return zone.displayName(QTimeZone::StandardTime, QTimeZone::LongName, QLocale::c());
}

// A local transition moment as "the n-th weekday of the month" (5 = the last) at its time of day.
TziSystemTime WeekdayRule(const QDateTime& local) {
    const QDate date = local.date();
    const QTime time = local.time();
    TziSystemTime rule{};
    rule.month = static_cast<std::uint16_t>(date.month());
    rule.dayOfWeek = static_cast<std::uint16_t>(date.dayOfWeek() % 7);
    rule.day = static_cast<std::uint16_t>(date.day() + 7 > date.daysInMonth() ? 5 : (date.day() - 1) / 7 + 1);
    rule.hour = static_cast<std::uint16_t>(time.hour());
    rule.minute = static_cast<std::uint16_t>(time.minute());
    return rule;
}

// The zone's rule for one year with the registry's signs. A year with a move to a larger offset and one back
// gives daylight time (the smaller offset is the standard one); anything else is a zone without daylight time at
// its offset at `reference`.
TziRecord RuleOf(const QTimeZone& zone, int year, const QDateTime& reference) {
    TziRecord rule{};
    const QDateTime from(QDate(year, 1, 1), QTime(0, 0), Qt::UTC);
    const QDateTime to(QDate(year + 1, 1, 1), QTime(0, 0), Qt::UTC);
    std::optional<std::pair<QDateTime, int>> forward, back; // local moment and the offset after it
    if (zone.hasTransitions()) {
        for (const QTimeZone::OffsetData& t : zone.transitions(from, to)) {
            const int before = zone.offsetFromUtc(t.atUtc.addSecs(-1));
            const QDateTime local = t.atUtc.addSecs(before);
            if (t.offsetFromUtc > before && !forward)
                forward = std::pair(local, t.offsetFromUtc);
            else if (t.offsetFromUtc < before && !back)
                back = std::pair(local, t.offsetFromUtc);
        }
    }
    if (forward && back && forward->second > back->second) {
        rule.bias = -back->second / 60;
        rule.daylightBias = -(forward->second - back->second) / 60;
        rule.daylightDate = WeekdayRule(forward->first);
        rule.standardDate = WeekdayRule(back->first);
    } else {
        rule.bias = -zone.standardTimeOffset(reference) / 60;
    }
    return rule;
}

std::vector<std::uint8_t> TextValue(const QString& text) {
    return EncodeZoneText(text.toStdU16String());
}

struct WindowsZone {
    QByteArray windowsId;
    QTimeZone zone;
    TziRecord rule;
};

// The Windows zone's main database zone, or the first of its others that the database holds.
QTimeZone DatabaseZoneOf(const QByteArray& windowsId) {
    QTimeZone zone = OpenZone(QTimeZone::windowsIdToDefaultIanaId(windowsId));
    if (zone.isValid() || windowsId.isEmpty())
        return zone;
    for (const QByteArray& ianaId : QTimeZone::windowsIdToIanaIds(windowsId))
        if (zone = OpenZone(ianaId); zone.isValid())
            break;
    return zone;
}

std::optional<WindowsZone> OpenWindowsZone(const QByteArray& windowsId, int year) {
    const QTimeZone zone = DatabaseZoneOf(windowsId);
    if (!zone.isValid())
        return std::nullopt;
    QDateTime reference = QDateTime::currentDateTimeUtc();
    if (reference.date().year() != year)
        reference = QDateTime(QDate(year, 7, 1), QTime(0, 0), Qt::UTC);
    return WindowsZone{windowsId, zone, RuleOf(zone, year, reference)};
}

QByteArray ToLatin1(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toLatin1();
}

} // namespace

QtTimeZoneSource::QtTimeZoneSource(int year) : year_(year ? year : QDate::currentDate().year()) {}

std::vector<std::u16string> QtTimeZoneSource::ZoneKeyNames() {
    std::vector<QByteArray> ids;
    // Each lookup of a Windows id scans Qt's whole mapping, so the database zones of a Windows zone found once are
    // not looked up again.
    QSet<QByteArray> covered;
    for (const QByteArray& ianaId : QTimeZone::availableTimeZoneIds()) {
        // Qt's own fixed-offset names ("UTC+09:00") are no database zone and never a Windows zone's.
        if (covered.contains(ianaId) || ianaId.startsWith("UTC+") || ianaId.startsWith("UTC-"))
            continue;
        QByteArray windowsId = WindowsIdOf(ianaId);
        if (windowsId.isEmpty())
            continue;
        for (const QByteArray& sibling : QTimeZone::windowsIdToIanaIds(windowsId))
            covered.insert(CurrentName(sibling)), covered.insert(sibling);
        ids.push_back(std::move(windowsId));
    }
    // The registry lists its keys in the order of their names, case ignored.
    std::sort(ids.begin(), ids.end(),
              [](const QByteArray& a, const QByteArray& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    std::vector<std::u16string> names;
    names.reserve(ids.size());
    for (const QByteArray& id : ids)
        names.push_back(QString::fromLatin1(id).toStdU16String());
    return names;
}

std::vector<TimeZoneValue> QtTimeZoneSource::ZoneValues(std::u16string_view keyName) {
    const auto windowsZone = OpenWindowsZone(ToLatin1(keyName), year_);
    if (!windowsZone)
        return {};
    const auto& [windowsId, zone, rule] = *windowsZone;
    const QString display = OffsetPrefix(-rule.bias) + PlacesOf(windowsId, zone.id());
    const auto tzi = EncodeTzi(rule);
    return {{u"Display", TextValue(display)},
            {u"Std", TextValue(StandardNameOf(windowsId, zone))},
            {u"TZI", std::vector<std::uint8_t>(tzi.begin(), tzi.end())}};
}

HostTimeZone QtTimeZoneSource::HostZone() {
    const QByteArray systemId = QTimeZone::systemTimeZoneId();
    if (const auto windowsZone = OpenWindowsZone(WindowsIdOf(systemId), year_))
        return {windowsZone->rule.bias, 0, StandardNameOf(windowsZone->windowsId, windowsZone->zone).toStdU16String()};
    const QTimeZone system = QTimeZone::systemTimeZone();
    return {-system.standardTimeOffset(QDateTime::currentDateTimeUtc()) / 60, 0, {}};
}

std::string QtTimeZoneSource::CacheStamp() const {
    QStringList parts{QStringLiteral("Qt %1").arg(QString::fromLatin1(qVersion())),
                      QStringLiteral("year %1").arg(year_),
                      QDate::currentDate().toString(Qt::ISODate),
                      QStringLiteral("TZDIR=") + qEnvironmentVariable("TZDIR")};
    for (const char* path : {"/usr/share/zoneinfo", "/usr/share/zoneinfo/tzdata.zi", "/usr/share/zoneinfo/zone.tab",
                             "/usr/share/zoneinfo/zone1970.tab"}) {
        const QFileInfo info(QString::fromLatin1(path));
        parts << QStringLiteral("%1 %2 %3")
                     .arg(info.filePath())
                     .arg(info.exists() ? info.lastModified().toMSecsSinceEpoch() : -1)
                     .arg(info.size());
    }
    return parts.join(QStringLiteral("; ")).toStdString();
}

void InstallSystemTimeZones() {
#ifndef _WIN32
    static QtTimeZoneSource database;
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty()) {
        SetTimeZones(&database);
        return;
    }
    static CachedTimeZoneSource kept(database, (cache + QStringLiteral("/dashcam-setting/time-zones")).toStdU16String(),
                                     database.CacheStamp());
    SetTimeZones(&kept);
#endif
}

} // namespace dashcam
