// The card commands of dashcam-cfg: show, get, set, restore-defaults, clock, diff, languages.
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_support.h"
#include "cli/cmd_zones.h"
#include "platform/host_system.h"
#include "platform/text_codec.h"
#include "settings/card_files.h"
#include "settings/card_lock.h"
#include "settings/card_version_info.h"
#include "settings/editable_fields.h"
#include "settings/settings_record.h"

namespace dashcam::cli {
namespace {

const char* const kShowUsage = "usage: dashcam-cfg show CARD [--json]\n"
                               "  Prints every interpreted field of the card's settings (setup.cfg, or default.cfg\n"
                               "  when setup.cfg cannot be opened), one 'name = value' line each, or one JSON object.\n";
const char* const kGetUsage = "usage: dashcam-cfg get CARD FIELD\n"
                              "  Prints one field's value: decimal for integers, the text for text fields.\n";
const char* const kSetUsage =
    "usage: dashcam-cfg set CARD FIELD=VALUE... [--force]\n"
    "  Sets fields that the editor's pages edit and saves setup.cfg as the editor's Save does (time.dat is not\n"
    "  touched). A value that the page's control could not store is refused unless --force is given.\n"
    "  timeZone=KEY sets timeZoneName and timeZoneBias from the zone that 'dashcam-cfg zones' lists as KEY.\n";
const char* const kRestoreUsage =
    "usage: dashcam-cfg restore-defaults CARD\n"
    "  Loads default.cfg into the settings (keeping the retained fields) and saves them as setup.cfg.\n";
const char* const kClockUsage = "usage: dashcam-cfg clock CARD (--at \"YYYY-MM-DD HH:MM:SS\" | --now | --off)\n"
                                "  Writes the clock request time.dat as Save does, or deletes it (--off).\n";
const char* const kDiffUsage = "usage: dashcam-cfg diff FILE_A FILE_B\n"
                               "  Lists the interpreted fields that differ between two settings files, and how many\n"
                               "  bytes that the editor does not interpret differ.\n";
const char* const kLanguagesUsage = "usage: dashcam-cfg languages CARD [--json]\n"
                                    "  Prints what the card's lang/ver.dat says: version, pack name, device, language\n"
                                    "  codes and names.\n";

std::string FieldText(const SettingsRecord& record, const FieldInfo& field) {
    std::string_view bytes = record.Text(field.offset, field.width);
    return Utf16ToUtf8(AnsiForDisplay(bytes));
}

std::string FieldValue(const SettingsRecord& record, const FieldInfo& field, bool quoteTexts) {
    switch (field.kind) {
    case FieldKind::Unsigned:
        return std::to_string(record.U32(field.offset));
    case FieldKind::Signed:
        return std::to_string(record.I32(field.offset));
    case FieldKind::Text:
        return quoteTexts ? JsonQuoted(FieldText(record, field)) : FieldText(record, field);
    }
    return {};
}

// Takes the card's lock for the rest of the run, so that nobody saves between our load and our save.
bool HoldCard(const std::string& card) {
    static CardLock held;
    SetCardRoot(CardRootFromArgument(card));
    held = CardLock::Acquire(CardRoot());
    if (!held.held())
        return Failure(card + ": " + held.message()), false;
    if (!held.message().empty())
        std::fprintf(stderr, "dashcam-cfg: note: %s\n", held.message().c_str());
    return true;
}

// Loads the card's settings as the editor does at start-up and tells which file they came from; nothing (with a
// message) when setup.cfg is there but cannot be read, or when neither file loads.
std::optional<CardSettingsLoad::Source> LoadCard(const std::string& card) {
    if (!CheckCardFolder(card) || !HoldCard(card))
        return std::nullopt;
    SettingsRecord& record = AllocateRecord();
    const CardSettingsLoad load = LoadCardSettings(record);
    if (!load.problem.empty())
        return Failure(card + ": setup.cfg cannot be read (" + load.problem + ")"), std::nullopt;
    if (!load)
        return Failure(card + ": neither setup.cfg nor default.cfg can be read"), std::nullopt;
    return load.source;
}

struct Parsed {
    std::vector<std::string> positional;
    std::vector<std::string> flags;
};

// Splits the words into positional ones and known flags; an unknown option is a usage error.
std::optional<Parsed> Split(const Args& args, std::initializer_list<std::string_view> known, std::string& unknown) {
    Parsed p;
    for (const std::string& a : args) {
        if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            bool ok = false;
            for (std::string_view k : known)
                ok = ok || a == k;
            if (!ok) {
                unknown = a;
                return std::nullopt;
            }
            p.flags.push_back(a);
        } else {
            p.positional.push_back(a);
        }
    }
    return p;
}

bool Has(const Parsed& p, std::string_view flag) {
    for (const std::string& f : p.flags)
        if (f == flag)
            return true;
    return false;
}

std::size_t CardLanguageCount() {
    CardVersionInfo info;
    ReadVersionFile(CardRoot() + u"lang" + kPathSeparator, info);
    return info.languageNames.size();
}

// Sets one FIELD=VALUE into the record; returns 0, or the exit status of the refusal.
int SetOne(SettingsRecord& record, const std::string& assignment, bool force) {
    std::size_t eq = assignment.find('=');
    if (eq == std::string::npos || eq == 0)
        return UsageError("'" + assignment + "' is not FIELD=VALUE", kSetUsage);
    std::string name = assignment.substr(0, eq), value = assignment.substr(eq + 1);
    if (name == "timeZone")
        return SetTimeZone(record, value, kSetUsage);
    const FieldInfo* field = FindSettingsField(name);
    if (!field)
        return UsageError("unknown field '" + name + "'", kSetUsage);
    if (!IsEditableField(name))
        return UsageError("'" + name + "' is not edited by the editor and cannot be set", kSetUsage);
    if (field->kind == FieldKind::Text) {
        std::u16string wide = Utf8ToUtf16(value);
        std::string ansi = WideToAnsi(wide);
        if (AnsiToWide(ansi).value_or(u"") != wide)
            return UsageError("'" + value + "' has characters that the record's code page lacks", kSetUsage);
        if (ansi.size() > field->width)
            return UsageError(name + " holds at most " + std::to_string(field->width) + " bytes", kSetUsage);
        record.SetText(field->offset, field->width, ansi);
        return 0;
    }
    auto number = ParseInteger(value);
    const bool isSigned = field->kind == FieldKind::Signed;
    if (!number || (isSigned && (*number < INT32_MIN || *number > INT32_MAX)) ||
        (!isSigned && (*number < 0 || *number > UINT32_MAX)))
        return UsageError("'" + value + "' is not a valid " + (isSigned ? "signed" : "unsigned") +
                              " 32-bit value for " + name,
                          kSetUsage);
    if (!force) {
        if (auto why = CheckControlValue(name, *number, record, CardLanguageCount()))
            return UsageError(name + "=" + value + " refused: " + *why + " (--force stores it anyway)", kSetUsage);
    }
    if (isSigned)
        record.SetI32(field->offset, static_cast<std::int32_t>(*number));
    else
        record.SetU32(field->offset, static_cast<std::uint32_t>(*number));
    return 0;
}

bool SaveCardSettings(const std::string& card) {
    if (!SaveSettingsFile(CardRoot() + u"setup.cfg")) {
        std::fprintf(stderr, "dashcam-cfg: %s: %s\n", card.c_str(), LastCardFileError().c_str());
        return false;
    }
    return true;
}

// "YYYY-MM-DD HH:MM:SS" with a real calendar date.
std::optional<SystemTime> ParseMoment(const std::string& text) {
    int y, mo, d, h, mi, s;
    char tail;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s, &tail) != 6)
        return std::nullopt;
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (y < 1601 || y > 9999 || mo < 1 || mo > 12 || d < 1 || d > days[mo - 1] + (mo == 2 && leap) || h > 23 ||
        h < 0 || mi < 0 || mi > 59 || s < 0 || s > 59)
        return std::nullopt;
    SystemTime t;
    t.year = static_cast<std::uint16_t>(y);
    t.month = static_cast<std::uint16_t>(mo);
    t.day = static_cast<std::uint16_t>(d);
    t.hour = static_cast<std::uint16_t>(h);
    t.minute = static_cast<std::uint16_t>(mi);
    t.second = static_cast<std::uint16_t>(s);
    return t;
}

std::string JoinJson(const std::vector<std::u16string>& items) {
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i)
        out += (i ? ", " : "") + JsonQuoted(Utf16ToUtf8(items[i]));
    return out + "]";
}

std::string JoinPlain(const std::vector<std::u16string>& items, const char* separator) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i)
        out += (i ? separator : "") + Utf16ToUtf8(items[i]);
    return out;
}

} // namespace

int RunShow(const Args& args) {
    if (WantsHelp(args))
        return PrintHelp(kShowUsage), 0;
    std::string unknown;
    auto p = Split(args, {"--json"}, unknown);
    if (!p)
        return UsageError("unknown option '" + unknown + "'", kShowUsage);
    if (p->positional.size() != 1)
        return UsageError("show takes one card folder", kShowUsage);
    if (!LoadCard(p->positional[0]))
        return 1;
    const SettingsRecord& record = *CurrentRecord();
    const bool json = Has(*p, "--json");
    std::string out = json ? "{\n" : "";
    bool first = true;
    for (const FieldInfo& f : SettingsFields()) {
        if (json) {
            out += (first ? "  " : ",\n  ") + JsonQuoted(f.name) + ": " + FieldValue(record, f, true);
            first = false;
        } else {
            out += std::string(f.name) + " = " + FieldValue(record, f, true) + "\n";
        }
    }
    if (json)
        out += "\n}\n";
    std::fputs(out.c_str(), stdout);
    return 0;
}

int RunGet(const Args& args) {
    if (WantsHelp(args))
        return PrintHelp(kGetUsage), 0;
    std::string unknown;
    auto p = Split(args, {}, unknown);
    if (!p)
        return UsageError("unknown option '" + unknown + "'", kGetUsage);
    if (p->positional.size() != 2)
        return UsageError("get takes a card folder and a field name", kGetUsage);
    const FieldInfo* field = FindSettingsField(p->positional[1]);
    if (!field)
        return UsageError("unknown field '" + p->positional[1] + "'", kGetUsage);
    if (!LoadCard(p->positional[0]))
        return 1;
    std::printf("%s\n", FieldValue(*CurrentRecord(), *field, false).c_str());
    return 0;
}

int RunSet(const Args& args) {
    if (WantsHelp(args))
        return PrintHelp(kSetUsage), 0;
    std::string unknown;
    auto p = Split(args, {"--force"}, unknown);
    if (!p)
        return UsageError("unknown option '" + unknown + "'", kSetUsage);
    if (p->positional.size() < 2)
        return UsageError("set takes a card folder and at least one FIELD=VALUE", kSetUsage);
    if (!LoadCard(p->positional[0]))
        return 1;
    SettingsRecord& record = *CurrentRecord();
    for (std::size_t i = 1; i < p->positional.size(); ++i)
        if (int status = SetOne(record, p->positional[i], Has(*p, "--force")))
            return status;
    return SaveCardSettings(p->positional[0]) ? 0 : 1;
}

int RunRestoreDefaults(const Args& args) {
    if (WantsHelp(args))
        return PrintHelp(kRestoreUsage), 0;
    std::string unknown;
    auto p = Split(args, {}, unknown);
    if (!p)
        return UsageError("unknown option '" + unknown + "'", kRestoreUsage);
    if (p->positional.size() != 1)
        return UsageError("restore-defaults takes one card folder", kRestoreUsage);
    // As the editor: the card's settings first, so that the retained fields are the current ones.
    const auto source = LoadCard(p->positional[0]);
    if (!source)
        return 1;
    if (*source == CardSettingsLoad::Source::Setup && !RestoreDefaultSettings(*CurrentRecord()))
        return 1;
    return SaveCardSettings(p->positional[0]) ? 0 : 1;
}

int RunClock(const Args& args) {
    if (WantsHelp(args))
        return PrintHelp(kClockUsage), 0;
    std::vector<std::string> positional;
    std::optional<std::string> at;
    bool now = false, off = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--at") {
            if (i + 1 >= args.size())
                return UsageError("--at needs \"YYYY-MM-DD HH:MM:SS\"", kClockUsage);
            at = args[++i];
        } else if (args[i] == "--now") {
            now = true;
        } else if (args[i] == "--off") {
            off = true;
        } else if (args[i].rfind("--", 0) == 0) {
            return UsageError("unknown option '" + args[i] + "'", kClockUsage);
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 1)
        return UsageError("clock takes one card folder", kClockUsage);
    if (int(at.has_value()) + int(now) + int(off) != 1)
        return UsageError("give exactly one of --at, --now, --off", kClockUsage);
    ClockRequest& clock = Clock();
    if (at) {
        auto t = ParseMoment(*at);
        if (!t)
            return UsageError("'" + *at + "' is not a date and time as YYYY-MM-DD HH:MM:SS", kClockUsage);
        clock.timeSyncTime = *t;
        clock.timeSyncRequested = 1;
    } else if (now) {
        std::time_t secs = std::time(nullptr);
        std::tm local{};
        localtime_r(&secs, &local);
        clock.timeSyncTime = SystemTime{static_cast<std::uint16_t>(local.tm_year + 1900),
                                        static_cast<std::uint16_t>(local.tm_mon + 1),
                                        static_cast<std::uint16_t>(local.tm_wday),
                                        static_cast<std::uint16_t>(local.tm_mday),
                                        static_cast<std::uint16_t>(local.tm_hour),
                                        static_cast<std::uint16_t>(local.tm_min),
                                        static_cast<std::uint16_t>(local.tm_sec),
                                        0};
        clock.timeSyncRequested = 1;
    } else {
        clock.timeSyncRequested = 0;
    }
    if (!CheckCardFolder(positional[0]))
        return 1;
    SetCardRoot(CardRootFromArgument(positional[0]));
    if (!WriteClockFile(CardRoot() + u"time.dat"))
        return Failure(positional[0] + ": time.dat could not be " + (off ? "deleted" : "written"));
    return 0;
}

int RunDiff(const Args& args) {
    if (WantsHelp(args))
        return PrintHelp(kDiffUsage), 0;
    std::string unknown;
    auto p = Split(args, {}, unknown);
    if (!p)
        return UsageError("unknown option '" + unknown + "'", kDiffUsage);
    if (p->positional.size() != 2)
        return UsageError("diff takes two settings files", kDiffUsage);
    SettingsRecord records[2];
    for (int i = 0; i < 2; ++i) {
        AllocateRecord();
        if (!LoadSettingsFile(Utf8ToUtf16(p->positional[static_cast<std::size_t>(i)])))
            return Failure(p->positional[static_cast<std::size_t>(i)] + ": cannot be read");
        records[i] = *CurrentRecord();
    }
    std::string out;
    for (const FieldInfo& f : SettingsFields()) {
        std::string a = FieldValue(records[0], f, true), b = FieldValue(records[1], f, true);
        if (a != b)
            out += std::string(f.name) + ": " + a + " -> " + b + "\n";
    }
    int uninterpreted = 0;
    for (std::size_t i = 0; i < SettingsRecord::kSize; ++i)
        if (!IsInterpretedByte(i) && records[0].bytes[i] != records[1].bytes[i])
            ++uninterpreted;
    out += "not-interpreted bytes differing: " + std::to_string(uninterpreted) + "\n";
    std::fputs(out.c_str(), stdout);
    return 0;
}

int RunLanguages(const Args& args) {
    if (WantsHelp(args))
        return PrintHelp(kLanguagesUsage), 0;
    std::string unknown;
    auto p = Split(args, {"--json"}, unknown);
    if (!p)
        return UsageError("unknown option '" + unknown + "'", kLanguagesUsage);
    if (p->positional.size() != 1)
        return UsageError("languages takes one card folder", kLanguagesUsage);
    if (!CheckCardFolder(p->positional[0]))
        return 1;
    const std::u16string folder = CardRootFromArgument(p->positional[0]) + u"lang" + kPathSeparator;
    std::FILE* probe = std::fopen(Utf16ToUtf8(folder + u"ver.dat").c_str(), "rb");
    if (!probe)
        return Failure(Utf16ToUtf8(folder) + "ver.dat: cannot be read");
    std::fclose(probe);
    CardVersionInfo info;
    ReadVersionFile(folder, info);
    std::string out;
    if (Has(*p, "--json")) {
        out = "{\n  \"version\": " + JsonQuoted(Utf16ToUtf8(info.version)) +
              ",\n  \"packName\": " + JsonQuoted(Utf16ToUtf8(info.packName)) +
              ",\n  \"device\": " + JsonQuoted(Utf16ToUtf8(info.device)) +
              ",\n  \"languageCodes\": " + JoinJson(info.languageCodes) +
              ",\n  \"languageNames\": " + JoinJson(info.languageNames) + "\n}\n";
    } else {
        out = "version = " + JsonQuoted(Utf16ToUtf8(info.version)) + "\npackName = " +
              JsonQuoted(Utf16ToUtf8(info.packName)) + "\ndevice = " + JsonQuoted(Utf16ToUtf8(info.device)) +
              "\nlanguageCodes = " + JoinPlain(info.languageCodes, " ") +
              "\nlanguageNames = " + JoinPlain(info.languageNames, ", ") + "\n";
    }
    std::fputs(out.c_str(), stdout);
    return 0;
}

} // namespace dashcam::cli
