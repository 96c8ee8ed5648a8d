// The card commands of dashcam-cfg: show, get, set, restore-defaults, clock, diff, languages.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/command_line.h"
#include "cli/command_support.h"
#include "cli/zones_command.h"
#include "platform/files/safe_file.h"
#include "platform/host_system.h"
#include "platform/text_codec.h"
#include "settings/card_files.h"
#include "settings/card_version_info.h"
#include "settings/settings_record.h"
#include "timezone/store_zone_in_record.h"

namespace dashcam::cli {
namespace {

const ArgumentSpec kCard{"CARD", "the card folder", ValueKind::Folder};
const OptionSpec kJson{"--json", "", "one JSON object instead of lines"};

int RunShow(Invocation& call) {
    const auto loaded = LoadCard(call, call.argument(0));
    if (!loaded)
        return 1;
    const SettingsRecord& record = loaded->record();
    if (call.Has("--json")) {
        JsonWriter json;
        json.BeginObject().Key("source").String(SourceFileName(loaded->source));
        for (const FieldInfo& f : SettingsFields())
            WriteFieldValue(json.Key(f.name), record, f);
        call.Out(json.EndObject().Text());
        return 0;
    }
    std::string out;
    for (const FieldInfo& f : SettingsFields())
        out += std::string(f.name) + " = " + FieldValue(record, f, true) + "\n";
    call.Out(out);
    return 0;
}

int RunGet(Invocation& call) {
    const FieldInfo* field = FindSettingsField(call.argument(1));
    if (!field)
        return call.UsageError("unknown field '" + call.argument(1) + "'" +
                               DidYouMean(call.argument(1), SettingsFieldNames()));
    const auto loaded = LoadCard(call, call.argument(0));
    if (!loaded)
        return 1;
    call.Out(FieldValue(loaded->record(), *field, false) + "\n");
    return 0;
}

int RunSet(Invocation& call) {
    // The assignments are checked before the card is touched.
    for (std::size_t i = 1; i < call.arguments().size(); ++i) {
        const std::string& a = call.argument(i);
        if (a.find('=') == std::string::npos || a.front() == '=')
            return call.UsageError("'" + a + "' is not FIELD=VALUE");
    }
    const auto loaded = LoadCard(call, call.argument(0));
    if (!loaded)
        return 1;
    std::vector<const FieldInfo*> edited;
    for (std::size_t i = 1; i < call.arguments().size(); ++i) {
        const std::string& a = call.argument(i);
        const std::size_t eq = a.find('=');
        if (int status = AssignField(call, loaded->card, a.substr(0, eq), a.substr(eq + 1), call.Has("--force"), edited))
            return status;
    }
    return SaveCard(call, loaded->card, call.argument(0), edited) ? 0 : 1;
}

int RunRestoreDefaults(Invocation& call) {
    // As the editor: the card's settings first, so that the retained fields are the current ones.
    const auto loaded = LoadCard(call, call.argument(0));
    if (!loaded)
        return 1;
    const auto source = &loaded->source;
    SettingsRecord& record = loaded->record();
    const SettingsRecord before = record;
    if (*source == CardSettingsLoad::Source::Setup && !loaded->card.RestoreDefaultSettings(record))
        return 1;
    // As the System page shows the restored record: one without a zone gets the PC's.
    GiveRecordTheHostZone(ZoneCatalogue(), record);
    if (record.SaveLength() == 0 && *source == CardSettingsLoad::Source::Defaults)
        return call.Fail(call.argument(0) + ": default.cfg's recordLength is 0, so a save would create an empty "
                                            "setup.cfg; nothing was saved");
    // Fields beyond the bytes that the save writes keep what setup.cfg holds: say so when that is not the default.
    std::vector<const FieldInfo*> changed;
    for (const FieldInfo& f : SettingsFields())
        if (std::string_view(f.name) != "recordLength" &&
            !std::equal(record.bytes.begin() + static_cast<long>(f.offset),
                        record.bytes.begin() + static_cast<long>(f.offset + f.width),
                        before.bytes.begin() + static_cast<long>(f.offset)))
            changed.push_back(&f);
    return SaveCard(call, loaded->card, call.argument(0), changed) ? 0 : 1;
}

// "YYYY-MM-DD HH:MM:SS" with a real calendar date.
std::optional<SystemTime> ParseMoment(const std::string& text) {
    int y, mo, d, h, mi, s;
    char tail;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s, &tail) != 6)
        return std::nullopt;
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (y < 1601 || y > 9999 || mo < 1 || mo > 12 || d < 1 || d > days[mo - 1] + (mo == 2 && leap) || h > 23 ||
        h < 0 || mi < 0 || mi > 59 || s < 0 || s > 59)
        return std::nullopt;
    return SystemTime{static_cast<std::uint16_t>(y),  static_cast<std::uint16_t>(mo), 0,
                      static_cast<std::uint16_t>(d),  static_cast<std::uint16_t>(h),  static_cast<std::uint16_t>(mi),
                      static_cast<std::uint16_t>(s), 0};
}

int RunClock(Invocation& call) {
    const auto at = call.Value("--at");
    const bool now = call.Has("--now"), off = call.Has("--off");
    if (int(at.has_value()) + int(now) + int(off) != 1)
        return call.UsageError("give exactly one of --at, --now, --off");
    ClockRequest clock;
    if (at) {
        const auto t = ParseMoment(*at);
        if (!t)
            return call.UsageError("'" + *at + "' is not a date and time as YYYY-MM-DD HH:MM:SS");
        clock.timeSyncTime = *t;
        clock.timeSyncRequested = 1;
    } else if (now) {
        const LocalDateTime local = Host().LocalNow();
        clock.timeSyncTime = SystemTime{static_cast<std::uint16_t>(local.year),   static_cast<std::uint16_t>(local.month),
                                        static_cast<std::uint16_t>(local.dayOfWeek), static_cast<std::uint16_t>(local.day),
                                        static_cast<std::uint16_t>(local.hour),   static_cast<std::uint16_t>(local.minute),
                                        static_cast<std::uint16_t>(local.second), 0};
        clock.timeSyncRequested = 1;
    } else {
        clock.timeSyncRequested = 0;
    }
    const auto card = OpenCardFolder(call, call.argument(0));
    if (!card)
        return 1;
    card->clock() = clock;
    if (!card->WriteClockFile(card->FilePath(u"time.dat")))
        return call.Fail(call.argument(0) + ": " +
                         (card->LastCardFileError().empty() ? std::string("time.dat could not be ") +
                                                                  (off ? "deleted" : "written")
                                                            : card->LastCardFileError()));
    if (!card->LastCardFileNote().empty())
        call.Note(call.argument(0) + ": " + card->LastCardFileNote());
    return 0;
}

int RunDiff(Invocation& call) {
    SettingsRecord records[2];
    std::uint64_t sizes[2] = {};
    std::vector<std::uint8_t> tails[2];
    for (std::size_t i = 0; i < 2; ++i) {
        const std::string& argument = call.argument(i);
        std::error_code ec;
        const bool card = std::filesystem::is_directory(ToFsPath(Utf8ToUtf16(argument)), ec);
        // A card folder is loaded as every command loads it; its size and tail are those of the file it came from.
        std::u16string file = Utf8ToUtf16(argument);
        if (card) {
            const auto loaded = LoadCard(call, argument);
            if (!loaded)
                return 1;
            records[i] = loaded->record();
            file = loaded->card.FilePath(Utf8ToUtf16(SourceFileName(loaded->source)));
        }
        // The whole file, up to a size that no settings file reaches, to compare what lies past the record too.
        const FileHeadRead read = ReadFileHeadOrWhy(ToFsPath(file), 1u << 20);
        if (!read.head)
            return call.Fail(Utf16ToUtf8(file) + ": " + WhyUnread(read));
        const auto& bytes = read.head->bytes;
        if (!card) {
            std::copy(bytes.begin(), bytes.begin() + static_cast<long>(std::min(bytes.size(), SettingsRecord::kSize)),
                      records[i].bytes.begin());
            // A record is at most as long as its file, or the 572 bytes that a shorter file leaves zero behind it;
            // text or another kind of file starts with a far larger number.
            if (records[i].recordLength() > std::max<std::uint64_t>(read.head->fileSize, SettingsRecord::kSize))
                return call.Fail(argument + ": not a settings record (its recordLength says " +
                                 std::to_string(records[i].recordLength()) + " bytes, the file has " +
                                 std::to_string(read.head->fileSize) + ")");
        }
        if (bytes.size() > SettingsRecord::kSize)
            tails[i].assign(bytes.begin() + SettingsRecord::kSize, bytes.end());
        sizes[i] = read.head->fileSize;
    }
    std::string fields;
    std::vector<const FieldInfo*> differing;
    for (const FieldInfo& f : SettingsFields()) {
        const std::string a = FieldValue(records[0], f, true), b = FieldValue(records[1], f, true);
        if (a == b)
            continue;
        differing.push_back(&f);
        fields += std::string(f.name) + ": " + a + " -> " + b + "\n";
    }
    std::size_t uninterpreted = 0;
    for (std::size_t i = 0; i < SettingsRecord::kSize; ++i)
        if (!IsInterpretedByte(i) && records[0].bytes[i] != records[1].bytes[i])
            ++uninterpreted;
    // Past the record: every byte that only one file has, or that the two hold differently.
    std::size_t past = 0;
    const std::size_t longer = std::max(tails[0].size(), tails[1].size());
    for (std::size_t i = 0; i < longer; ++i)
        if (i >= tails[0].size() || i >= tails[1].size() || tails[0][i] != tails[1][i])
            ++past;
    const bool differ = !differing.empty() || uninterpreted || past || sizes[0] != sizes[1];
    if (call.Has("--json")) {
        JsonWriter json;
        json.BeginObject().Key("differ").Bool(differ).Key("fields").BeginObject();
        for (const FieldInfo* f : differing) {
            json.Key(f->name).BeginArray(JsonWriter::Layout::Inline);
            WriteFieldValue(json, records[0], *f);
            WriteFieldValue(json, records[1], *f);
            json.EndArray();
        }
        json.EndObject().Key("notInterpretedBytes").Number(uninterpreted).Key("bytesPastRecord").Number(past);
        json.Key("sizes").BeginArray(JsonWriter::Layout::Inline).Number(sizes[0]).Number(sizes[1]).EndArray();
        call.Out(json.EndObject().Text());
    } else {
        call.Out(fields + "not-interpreted bytes differing: " + std::to_string(uninterpreted) + "\n" +
                 (past ? "bytes past the record differing: " + std::to_string(past) + "\n" : std::string()));
    }
    return differ ? 1 : 0;
}

void WriteList(JsonWriter& json, const std::vector<std::u16string>& items) {
    json.BeginArray(JsonWriter::Layout::Inline);
    for (const std::u16string& item : items)
        json.String(Utf16ToUtf8(item));
    json.EndArray();
}

std::string JoinPlain(const std::vector<std::u16string>& items, const char* separator) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i)
        out += (i ? separator : "") + Utf16ToUtf8(items[i]);
    return out;
}

int RunLanguages(Invocation& call) {
    const auto card = OpenCardFolder(call, call.argument(0));
    if (!card)
        return 1;
    const std::u16string folder = card->FilePath(u"lang") + kPathSeparator;
    // The same regular-file check as the other card files: a folder or a FIFO named ver.dat is no version file.
    const FileHeadRead probe = ReadFileHeadOrWhy(ToFsPath(folder + u"ver.dat"), 0);
    if (!probe.head)
        return call.Fail(Utf16ToUtf8(folder) + "ver.dat: " + WhyUnread(probe));
    CardVersionInfo info;
    ReadVersionFile(folder, info);
    if (call.Has("--json")) {
        JsonWriter json;
        json.BeginObject()
            .Key("version").String(Utf16ToUtf8(info.version))
            .Key("packName").String(Utf16ToUtf8(info.packName))
            .Key("device").String(Utf16ToUtf8(info.device));
        WriteList(json.Key("languageCodes"), info.languageCodes);
        WriteList(json.Key("languageNames"), info.languageNames);
        // Each code with its name, or null when the code table has none.
        json.Key("languages").BeginArray();
        for (const std::u16string& code : info.languageCodes) {
            json.BeginObject(JsonWriter::Layout::Inline).Key("code").String(Utf16ToUtf8(code)).Key("name");
            const auto entry = std::find_if(LanguageCodeTable().begin(), LanguageCodeTable().end(),
                                            [&](const LanguageCode& e) { return e.code == code; });
            if (entry != LanguageCodeTable().end())
                json.String(Utf16ToUtf8(std::u16string(entry->name)));
            else
                json.Null();
            json.EndObject();
        }
        call.Out(json.EndArray().EndObject().Text());
    } else {
        call.Out("version = " + QuotedText(Utf16ToUtf8(info.version)) +
                 "\npackName = " + QuotedText(Utf16ToUtf8(info.packName)) +
                 "\ndevice = " + QuotedText(Utf16ToUtf8(info.device)) +
                 "\nlanguageCodes = " + JoinPlain(info.languageCodes, " ") +
                 "\nlanguageNames = " + JoinPlain(info.languageNames, ", ") + "\n");
    }
    return 0;
}

} // namespace

std::vector<Command> CardCommands() {
    return {
        {"show", "every interpreted field of the card's settings",
         "Prints every interpreted field of the card's settings, one 'name = value' line each (integers decimal, "
         "texts quoted). The settings are loaded as the editor loads them: setup.cfg, or default.cfg when the card "
         "has no setup.cfg; --json names that file as \"source\".",
         {kCard}, {{"--json", "", "one JSON object: \"source\" and every field by name"}}, RunShow},
        {"get", "one field's value",
         "Prints one field's value: decimal for integers, the text for text fields.",
         {kCard, {"FIELD", "a field name, as show lists them", ValueKind::Field}}, {}, RunGet},
        {"set", "set fields and save setup.cfg as the editor's Save does",
         "Sets fields that the editor's pages edit and saves setup.cfg exactly as the editor's Save does (derived "
         "flag, length rule, a longer file keeps its tail); time.dat is untouched. A value that the page's control "
         "could not store is refused unless --force is given. timeZone=KEY picks a zone of 'dashcam-cfg zones' as "
         "the System page's zone box does; a part of a zone's display text (timeZone=Seoul) picks the one zone that "
         "shows it. When the record's recordLength ends before a field that is set, the save "
         "could not write it: nothing is saved and the exit status is 1.",
         {kCard, {"FIELD=VALUE", "a field and its new value", ValueKind::Assignment, false, true}},
         {{"--force", "", "store values that no control of the editor stores"}}, RunSet},
        {"restore-defaults", "load default.cfg (keeping the retained fields) and save it",
         "Initialize then Save: default.cfg into the settings, the retained fields kept, saved as setup.cfg. "
         "Without default.cfg: \"no default.cfg :\" and its path, exit 1, nothing written.",
         {kCard}, {}, RunRestoreDefaults},
        {"clock", "write or delete the clock request time.dat",
         "Writes the clock request time.dat as Save does with the clock request on (--at, --now), or deletes it "
         "(--off). Exactly one of the three is given.",
         {kCard},
         {{"--at", "\"YYYY-MM-DD HH:MM:SS\"", "ask the camera to set its clock to this moment"},
          {"--now", "", "ask for this computer's local time"},
          {"--off", "", "delete the clock request"}},
         RunClock},
        {"diff", "the interpreted fields that differ between two cards or settings files",
         "Lists the interpreted fields that differ between two cards or settings files ('field: A -> B'), how many "
         "bytes that the editor does not interpret differ, and how many bytes past the record differ. A card folder "
         "is loaded as the other commands load it (setup.cfg, or default.cfg when there is none). A file whose "
         "recordLength is larger than the file (and than the record) is no settings record and is refused. Exit "
         "status 0 when the two hold the same, 1 when they differ (as diff(1)), 2 on a usage error; a card or file "
         "that cannot be read is also status 1, with a message.",
         {{"A", "a card folder or a settings file", ValueKind::File},
          {"B", "another card folder or settings file", ValueKind::File}},
         {{"--json", "", "one JSON object: differ, fields (name: [A, B]), byte counts and file sizes"}},
         RunDiff},
        {"languages", "what the card's lang/ver.dat says",
         "Prints what the card's lang/ver.dat says: version, pack name, device, language codes and names. The "
         "names list has an entry only for codes that the code table knows, so the two lists may not line up; "
         "--json also gives \"languages\", code and name pairs that do (null for an unknown code).",
         {kCard}, {kJson}, RunLanguages},
    };
}

} // namespace dashcam::cli
