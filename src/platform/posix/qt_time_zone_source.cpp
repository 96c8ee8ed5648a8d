#include "platform/posix/qt_time_zone_source.h"

#include <QDate>
#include <QDateTime>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <QTimeZone>
#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "platform/cached_time_zone_source.h"
#include "platform/posix/windows_zone_table.h"

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

QTimeZone OpenZone(std::string_view id) {
    const QByteArray ianaId(id.data(), static_cast<qsizetype>(id.size()));
    QTimeZone zone(ianaId);
    return zone.isValid() ? zone : QTimeZone(CurrentName(ianaId));
}

const WindowsZoneEntry* FindWindowsZone(std::u16string_view keyName) {
    for (const WindowsZoneEntry& entry : WindowsZoneTable())
        if (entry.keyName == keyName)
            return &entry;
    return nullptr;
}

// The Windows zone that CLDR maps a tz zone to, under its own name or the one it had before the database renamed
// it; nullptr for a zone that no Windows zone covers.
const WindowsZoneEntry* WindowsZoneOfTz(const QByteArray& ianaId) {
    const std::span<const TzZoneLink> links = TzZoneLinks();
    for (const QByteArray& id : {ianaId, FormerName(ianaId), CurrentName(ianaId)}) {
        const std::string_view wanted(id.constData(), static_cast<std::size_t>(id.size()));
        const auto it = std::lower_bound(
            links.begin(), links.end(), wanted,
            [](const TzZoneLink& link, std::string_view name) { return link.tzZone < name; });
        if (it != links.end() && it->tzZone == wanted)
            return &WindowsZoneTable()[it->windowsZone];
    }
    return nullptr;
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

std::vector<std::uint8_t> TextValue(std::u16string_view text) { return EncodeZoneText(text); }

// The moment whose rules a zone without daylight time takes its offset from: now, or the middle of another year.
QDateTime ReferenceMoment(int year) {
    QDateTime reference = QDateTime::currentDateTimeUtc();
    if (reference.date().year() != year)
        reference = QDateTime(QDate(year, 7, 1), QTime(0, 0), Qt::UTC);
    return reference;
}

} // namespace

QtTimeZoneSource::QtTimeZoneSource(int year) : year_(year ? year : QDate::currentDate().year()) {}

std::vector<std::u16string> QtTimeZoneSource::ZoneKeyNames() {
    // A zone whose tz zone this database lacks is not listed: it would have no rules.
    std::vector<std::u16string> names;
    for (const WindowsZoneEntry& entry : WindowsZoneTable())
        if (OpenZone(entry.tzZone).isValid())
            names.emplace_back(entry.keyName);
    return names;
}

std::vector<TimeZoneValue> QtTimeZoneSource::ZoneValues(std::u16string_view keyName) {
    const WindowsZoneEntry* entry = FindWindowsZone(keyName);
    if (!entry)
        return {};
    const QTimeZone zone = OpenZone(entry->tzZone);
    if (!zone.isValid())
        return {};
    const auto tzi = EncodeTzi(RuleOf(zone, year_, ReferenceMoment(year_)));
    return {{u"Display", TextValue(entry->displayName)},
            {u"Dlt", TextValue(entry->daylightName)},
            {u"Std", TextValue(entry->standardName)},
            {u"TZI", std::vector<std::uint8_t>(tzi.begin(), tzi.end())}};
}

HostTimeZone QtTimeZoneSource::HostZone() {
    // The PC's own zone gives the offset; the Windows zone it belongs to gives only the name.
    const QTimeZone system = QTimeZone::systemTimeZone();
    const WindowsZoneEntry* entry = WindowsZoneOfTz(QTimeZone::systemTimeZoneId());
    return {-system.standardTimeOffset(ReferenceMoment(year_)) / 60, 0,
            entry ? std::u16string(entry->standardName) : std::u16string()};
}

std::string QtTimeZoneSource::CacheStamp() const {
    // The zone table is part of the program: a checksum of its texts tells one program's list from another's.
    std::uint32_t table = 2166136261u;
    for (const WindowsZoneEntry& entry : WindowsZoneTable())
        for (std::u16string_view text : {entry.keyName, entry.displayName, entry.standardName, entry.daylightName})
            for (char16_t c : text)
                table = (table ^ c) * 16777619u;
    QStringList parts{QStringLiteral("Qt %1").arg(QString::fromLatin1(qVersion())),
                      QStringLiteral("zones %1").arg(table),
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
