// Profiles and discovery for scripts: export, apply, fields, cards.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/command_line.h"
#include "cli/command_support.h"
#include "cli/json_value.h"
#include "platform/files/safe_file.h"
#include "platform/host_system.h"
#include "platform/text_codec.h"
#include "settings/card.h"
#include "forms/editable_fields.h"
#include "settings/mounted_cards.h"
#include "settings/settings_record.h"

namespace dashcam::cli {
namespace {

// The kind of file that export writes and apply reads, and the version of its layout. Version 2 gives
// deviceLanguage as the language code of the card's list; version 1 gave the position in that list, which means
// another language on a card whose list differs.
constexpr const char* kProfileFormat = "dashcam-cfg profile";
constexpr int kProfileVersion = 2;
constexpr int kPositionLanguageVersion = 1;
// A profile is a few KiB; anything far beyond that is not one.
constexpr std::size_t kMaxProfileBytes = 1u << 20;
// The bits of winterMonthMask that the five month check boxes own; the card keeps the others.
constexpr std::uint32_t kMonthBoxBits = 0x1F;

std::string ProductName(const SettingsRecord& record) {
    return Utf16ToUtf8(AnsiForDisplay(record.productName()));
}

// The profile of the opened card's record. deviceLanguage is given as its code in the card's language list, and
// left out (with a note) when it names no entry of that list.
std::string ProfileOf(Invocation& call, const Card& card) {
    const SettingsRecord& record = *card.record();
    JsonWriter json;
    json.BeginObject()
        .Key("format").String(kProfileFormat)
        .Key("formatVersion").Number(kProfileVersion)
        .Key("productName").String(ProductName(record))
        .Key("fields").BeginObject();
    for (const FieldInfo& f : SettingsFields()) {
        if (!IsEditableField(f.name))
            continue;
        if (std::string_view(f.name) != "deviceLanguage") {
            WriteFieldValue(json.Key(f.name), record, f);
            continue;
        }
        const std::vector<std::u16string> codes = CardLanguageCodes(card);
        const std::uint32_t index = record.U32(f.offset);
        if (index < codes.size())
            json.Key(f.name).String(Utf16ToUtf8(codes[index]));
        else
            call.Note("deviceLanguage " + std::to_string(index) + " is not an entry of the card's language list (" +
                      std::to_string(codes.size()) + " in lang/ver.dat), so the profile does not carry it");
    }
    return json.EndObject().EndObject().Text();
}

int RunExport(Invocation& call) {
    const auto loaded = LoadCard(call, call.argument(0));
    if (!loaded)
        return 1;
    const std::string profile = ProfileOf(call, loaded->card);
    const auto output = call.Value("--output");
    if (!output || *output == "-") {
        call.Out(profile);
        return 0;
    }
    // The path as given, whatever its characters (a wide path on Windows).
    errno = 0;
    std::ofstream file(ToFsPath(Utf8ToUtf16(*output)), std::ios::binary | std::ios::trunc);
    if (file)
        file.write(profile.data(), static_cast<std::streamsize>(profile.size()));
    if (file)
        file.close();
    if (!file)
        return call.Fail(*output + ": " + (errno ? std::strerror(errno) : "cannot be written"));
    return 0;
}

struct Profile {
    std::string productName;
    std::vector<std::pair<std::string, std::string>> assignments; // field, value as set takes it
    std::optional<std::string> languageCode;                      // deviceLanguage, found in each card's list
};

// A value as a message names it: the number as written, the text quoted, or its kind.
std::string Described(const JsonValue& value) {
    switch (value.type) {
    case JsonValue::Type::Number:
        return value.literal;
    case JsonValue::Type::String:
        return "the text " + QuotedText(value.string);
    case JsonValue::Type::Bool:
        return value.boolean ? "true" : "false";
    case JsonValue::Type::Null:
        return "null";
    case JsonValue::Type::Array:
        return "an array";
    case JsonValue::Type::Object:
        return "an object";
    }
    return {};
}

// The profile's fields as set's assignments; nothing (with a message) when the file is not a profile.
std::optional<Profile> ReadProfile(Invocation& call, const std::string& argument) {
    // "-" is standard input.
    const std::string path = argument == "-" ? "standard input" : argument;
    std::string text, why;
    if (argument == "-") {
        if (!call.console().In(text, kMaxProfileBytes, why))
            return call.Fail(path + ": " + why), std::nullopt;
    } else {
        const FileHeadRead read = ReadFileHeadOrWhy(ToFsPath(Utf8ToUtf16(argument)), kMaxProfileBytes);
        if (!read.head)
            return call.Fail(path + ": " + WhyUnread(read)), std::nullopt;
        if (read.head->fileSize > kMaxProfileBytes)
            text.resize(kMaxProfileBytes + 1);
        else
            text.assign(read.head->bytes.begin(), read.head->bytes.end());
    }
    // Never a part of it: what lies beyond would be lost without a word.
    if (text.size() > kMaxProfileBytes)
        return call.Fail(path + ": larger than 1 MiB, which no profile is"), std::nullopt;
    const auto json = JsonValue::Parse(text, &why);
    if (!json)
        return call.Fail(path + ": not JSON (" + why + ")"), std::nullopt;
    const JsonValue* format = json->Find("format");
    const JsonValue* version = json->Find("formatVersion");
    const JsonValue* product = json->Find("productName");
    const JsonValue* fields = json->Find("fields");
    if (!format || format->string != kProfileFormat || !fields || fields->type != JsonValue::Type::Object ||
        !product || product->type != JsonValue::Type::String)
        return call.Fail(path + ": not a profile that 'dashcam-cfg export' wrote"), std::nullopt;
    if (!version || version->type != JsonValue::Type::Number || !version->fitsInteger ||
        (version->integer != kProfileVersion && version->integer != kPositionLanguageVersion))
        return call.Fail(path + ": " + (version ? "formatVersion " + Described(*version) : "no formatVersion") +
                         "; this program reads profiles of format version " + std::to_string(kProfileVersion) +
                         " and " + std::to_string(kPositionLanguageVersion) + " (the number, as export writes it)"),
               std::nullopt;
    const bool languageByCode = version->integer == kProfileVersion;
    Profile profile{product->string, {}, {}};
    for (const auto& [name, value] : fields->members) {
        if (!IsEditableField(name))
            return call.Fail(path + ": '" + name + "' is not a field that the editor edits"), std::nullopt;
        const FieldInfo* field = FindSettingsField(name);
        if (name == "deviceLanguage" && !languageByCode) {
            call.Note(path + ": a profile of format version 1 gives deviceLanguage as a position in the language "
                             "list of the card it came from, which need not be the same language on another card; "
                             "it is not applied (export the profile again to carry the language)");
            continue;
        }
        if (name == "deviceLanguage") {
            if (value.type != JsonValue::Type::String || value.string.empty())
                return call.Fail(path + ": deviceLanguage must be a language code of lang/ver.dat, not " +
                                 Described(value)),
                       std::nullopt;
            profile.languageCode = value.string;
            continue;
        }
        const bool text = field->kind == FieldKind::Text;
        if (text ? value.type != JsonValue::Type::String : !(value.type == JsonValue::Type::Number && value.integral))
            return call.Fail(path + ": " + name + " must be " + (text ? "a string" : "an integer") + ", not " +
                             Described(value)),
                   std::nullopt;
        const bool isSigned = field->kind == FieldKind::Signed;
        if (!text && (!value.fitsInteger || value.integer < (isSigned ? INT32_MIN : 0) ||
                      value.integer > (isSigned ? INT32_MAX : UINT32_MAX)))
            return call.Fail(path + ": " + name + " " + value.literal + " is out of range (" +
                             (isSigned ? "-2147483648 to 2147483647" : "0 to 4294967295") + ")"),
                   std::nullopt;
        profile.assignments.emplace_back(name, text ? value.string : std::to_string(value.integer));
    }
    return profile;
}

// "1 field", "3 fields".
std::string Fields(std::size_t count) { return std::to_string(count) + (count == 1 ? " field" : " fields"); }

// Applies the profile to one card and says so on one line; true when the card holds the profile afterwards.
bool ApplyToCard(Invocation& call, const Profile& profile, const std::string& card) {
    const auto loaded = LoadCard(call, card);
    if (!loaded) {
        call.Out("failed " + card + "\n");
        return false;
    }
    SettingsRecord& record = loaded->record();
    const std::string product = ProductName(record);
    if (product != profile.productName && !call.Has("--force")) {
        call.Fail(card + ": the profile is for \"" + profile.productName + "\", the card is a \"" + product +
                  "\" (--force applies it anyway)");
        call.Out("failed " + card + "\n");
        return false;
    }
    std::vector<std::pair<std::string, std::string>> assignments = profile.assignments;
    for (auto& [name, value] : assignments) {
        // The month boxes own bits 0-4; the card keeps its other bits, as the page does.
        if (name == "winterMonthMask")
            value = std::to_string((record.winterMonthMask() & ~kMonthBoxBits) |
                                   (static_cast<std::uint32_t>(ParseInteger(value).value_or(0)) & kMonthBoxBits));
    }
    if (profile.languageCode) {
        const std::vector<std::u16string> codes = CardLanguageCodes(loaded->card);
        const auto at = std::find(codes.begin(), codes.end(), Utf8ToUtf16(*profile.languageCode));
        if (at == codes.end()) {
            std::string listed;
            for (const std::u16string& code : codes)
                listed += (listed.empty() ? "" : " ") + Utf16ToUtf8(code);
            call.Fail(card + ": the profile's deviceLanguage \"" + *profile.languageCode +
                      "\" is not in the card's language list (" + (listed.empty() ? "none" : listed) + ")");
            call.Out("failed " + card + "\n");
            return false;
        }
        assignments.emplace_back("deviceLanguage", std::to_string(at - codes.begin()));
    }
    const SettingsRecord before = record;
    std::vector<const FieldInfo*> edited;
    for (const auto& [name, value] : assignments) {
        if (AssignField(call, loaded->card, name, value, false, edited) != 0) {
            call.Out("failed " + card + "\n");
            return false;
        }
    }
    std::string changes;
    std::vector<const FieldInfo*> changed;
    for (const FieldInfo* f : edited) {
        const std::string was = FieldValue(before, *f, true), now = FieldValue(record, *f, true);
        if (was != now) {
            changes += "  " + std::string(f->name) + ": " + was + " -> " + now + "\n";
            changed.push_back(f);
        }
    }
    if (call.Has("--dry-run")) {
        call.Out("would change " + card + " (" + Fields(changed.size()) + ")\n" + changes);
        return true;
    }
    if (!SaveCard(call, loaded->card, card, changed)) {
        call.Out("failed " + card + "\n");
        return false;
    }
    call.Out("applied " + card + " (" + Fields(changed.size()) + " changed)\n");
    return true;
}

int RunApply(Invocation& call) {
    const auto profile = ReadProfile(call, call.argument(0));
    if (!profile)
        return 1;
    bool allDone = true;
    for (std::size_t i = 1; i < call.arguments().size(); ++i)
        allDone = ApplyToCard(call, *profile, call.argument(i)) && allDone;
    return allDone ? 0 : 1;
}

int RunFields(Invocation& call) {
    const bool json = call.Has("--json");
    std::string out;
    JsonWriter list;
    list.BeginArray();
    for (const ControlValues& values : EditableFieldValues()) {
        const FieldInfo& field = *FindSettingsField(values.name);
        const char* type = field.kind == FieldKind::Text ? "text" : field.kind == FieldKind::Signed ? "signed" : "unsigned";
        if (!json) {
            out += std::string(values.name) + "\t" + type + "\t" + AllowedValuesText(values) + "\n";
            continue;
        }
        list.BeginObject(JsonWriter::Layout::Inline).Key("name").String(values.name).Key("type").String(type);
        if (field.kind == FieldKind::Text) {
            list.Key("maxBytes").Number(field.width);
        } else if (values.cardLanguageIndex) {
            // The allowed values depend on the card.
        } else if (!values.only.empty()) {
            list.Key("values").BeginArray(JsonWriter::Layout::Inline);
            for (std::int64_t v : values.only)
                list.Number(v);
            list.EndArray();
        } else {
            list.Key("min").Number(values.low).Key("max").Number(values.high);
        }
        list.Key("allowed").String(AllowedValuesText(values)).EndObject();
    }
    call.Out(json ? list.EndArray().Text() : out);
    return 0;
}

int RunCards(Invocation& call) {
    const bool json = call.Has("--json");
    if (json && call.Has("--null"))
        return call.UsageError("--json and --null cannot be used together");
    // A mount point may hold spaces ("NO NAME") or even a line feed; after NUL nothing can be split wrongly.
    const char end = call.Has("--null") ? '\0' : '\n';
    std::string out;
    JsonWriter list;
    list.BeginArray();
    for (const std::u16string& root : FindMountedCards()) {
        if (json)
            list.BeginObject(JsonWriter::Layout::Inline)
                .Key("path").String(Utf16ToUtf8(root))
                .Key("removable").Bool(Host().IsOnRemovableDrive(root))
                .EndObject();
        else
            out += Utf16ToUtf8(root) + end;
    }
    call.Out(json ? list.EndArray().Text() : out);
    return 0;
}

} // namespace

std::vector<Command> ProfileCommands() {
    return {
        {"export", "the card's editable fields as a JSON profile",
         "Writes the fields that the editor's pages edit, by name, as a JSON profile with the format version and "
         "the product name of the card it came from: {\"format\": \"dashcam-cfg profile\", \"formatVersion\": 2, "
         "\"productName\": ..., \"fields\": {...}}. deviceLanguage is given as the card's language code from "
         "lang/ver.dat (\"de\"), not as its position in the card's list.",
         {{"CARD", "the card folder", ValueKind::Folder}},
         {{"--output", "FILE", "write the profile to FILE instead of standard output ('-': standard output)",
           ValueKind::File}},
         RunExport},
        {"apply", "apply a profile to one or more cards",
         "Applies a profile that export wrote to each card as set does: each card is saved on its own and reported "
         "on its own line ('applied CARD', 'would change CARD', 'failed CARD'); a card that fails does not stop the "
         "others, and the exit status is 1 when any card failed. A profile from another product name is refused "
         "unless --force is given. deviceLanguage is set to the position of the profile's language code in each "
         "card's lang/ver.dat; a card without that language fails. winterMonthMask sets the five month bits "
         "(0-4) only; each card keeps its other bits. A profile of format version 1 is read without its "
         "deviceLanguage, which it gave as a list position.",
         {{"PROFILE", "a profile written by export ('-': read it from standard input)", ValueKind::File},
          {"CARD", "a card folder", ValueKind::Folder, false, true}},
         {{"--dry-run", "", "show what would change, save nothing"},
          {"--force", "", "apply a profile of another product name"}},
         RunApply},
        {"fields", "every field that set accepts, with its allowed values",
         "Lists every field that set accepts, with its type and the values that the editor's controls store "
         "there, one tab-separated line each.",
         {},
         {{"--json", "", "one JSON array of objects: name, type, values or min and max, allowed"}},
         RunFields},
        {"cards", "the mounted cards that the menu entry offers",
         "Lists the mounted volumes that hold a setup.cfg at their root and are this user's cards, as the menu "
         "entry's launcher offers them: on Linux a mount whose root folder the user owns, on a removable drive or "
         "in the desktop's places for removable media (/media/USER, /run/media/USER); on Windows a removable "
         "drive. Removable ones first, one path per line.",
         {},
         {{"--json", "", "one JSON array of objects: path, removable"},
          {"--null", "", "end each path with a NUL byte instead of a line feed, for xargs -0"}},
         RunCards},
    };
}

} // namespace dashcam::cli
