#include "cli/command_support.h"

#include <climits>
#include <filesystem>
#include <system_error>

#include "cli/command_line.h"
#include "cli/zones_command.h"
#include "platform/deferred_interrupts.h"
#include "platform/files/card_lock.h"
#include "platform/host_system.h"
#include "platform/prompt.h"
#include "platform/text_codec.h"
#include "settings/card_version_info.h"
#include "forms/editable_fields.h"

namespace dashcam::cli {

std::string CardFolderProblem(const std::string& argument) {
    std::error_code ec;
    const std::filesystem::path folder = ToFsPath(Utf8ToUtf16(argument));
    if (std::filesystem::is_directory(folder, ec))
        return {};
    return argument + ": " + (std::filesystem::exists(folder, ec) ? "Not a directory" : "No such file or directory");
}

std::unique_ptr<Card> OpenCardFolder(Invocation& call, const std::string& argument) {
    if (const std::string problem = CardFolderProblem(argument); !problem.empty()) {
        call.Fail(problem);
        return nullptr;
    }
    // Card files are the folder followed directly by their names: the folder ends in a separator.
    return std::make_unique<Card>(CardRootFromArgument(Utf8ToUtf16(argument)));
}

std::unique_ptr<LoadedCard> LoadCard(Invocation& call, const std::string& argument) {
    const auto opened = OpenCardFolder(call, argument);
    if (!opened)
        return nullptr;
    auto loaded = std::make_unique<LoadedCard>(opened->root());
    loaded->lock = CardLock::Acquire(ToFsPath(loaded->card.root()));
    if (!loaded->lock.held())
        return call.Fail(argument + ": " + loaded->lock.message()), nullptr;
    if (!loaded->lock.message().empty())
        call.Note(loaded->lock.message());
    // What the load tells the user is held back, so that one problem makes one line.
    std::vector<prompt::Request> told;
    const prompt::Presenter previous = prompt::SetPresenter([&told](const prompt::Request& request) {
        told.push_back(request);
        return prompt::Answer::Ok;
    });
    const CardSettingsLoad load = loaded->card.LoadCardSettings();
    prompt::SetPresenter(previous);
    if (!load.problem.empty())
        return call.Fail(argument + ": setup.cfg cannot be read (" + load.problem + ")"), nullptr;
    if (!load && told.empty())
        return call.Fail(argument + ": neither setup.cfg nor default.cfg can be read"), nullptr;
    // Without setup.cfg the load says "no default.cfg :" and the path, as the editor does.
    for (const prompt::Request& request : told)
        if (previous)
            previous(request);
    if (!load)
        return nullptr;
    loaded->source = load.source;
    return loaded;
}

const char* SourceFileName(CardSettingsLoad::Source source) {
    return source == CardSettingsLoad::Source::Defaults ? "default.cfg" : "setup.cfg";
}

bool SaveCard(Invocation& call, Card& card, const std::string& name, const std::vector<const FieldInfo*>& edited) {
    SettingsRecord& record = *card.record();
    const std::size_t written = record.SaveLength();
    std::string beyond;
    for (const FieldInfo* field : edited)
        if (field->offset + field->width > written)
            beyond += (beyond.empty() ? "" : ", ") + std::string(field->name);
    if (!beyond.empty()) {
        call.Fail(name + ": recordLength is " + std::to_string(record.recordLength()) + ", so a save writes only " +
                  std::to_string(written) + " bytes and " + beyond +
                  " would not reach setup.cfg; nothing was saved");
        return false;
    }
    DeferredInterrupts hold;
    if (!card.SaveSettingsFile(card.FilePath(u"setup.cfg"))) {
        call.Fail(name + ": " + card.LastCardFileError());
        return false;
    }
    if (!card.LastCardFileNote().empty())
        call.Note(name + ": " + card.LastCardFileNote());
    return true;
}

std::optional<std::int64_t> ParseInteger(std::string_view text) {
    if (text.empty() || text.size() > 20)
        return std::nullopt;
    std::size_t i = 0;
    bool negative = false;
    if (text[0] == '-' || text[0] == '+') {
        negative = text[0] == '-';
        i = 1;
    }
    if (i == text.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > (std::int64_t{1} << 40))
            return std::nullopt;
    }
    return negative ? -value : value;
}

std::string FieldValue(const SettingsRecord& record, const FieldInfo& field, bool quoteTexts) {
    switch (field.kind) {
    case FieldKind::Unsigned:
        return std::to_string(record.U32(field.offset));
    case FieldKind::Signed:
        return std::to_string(record.I32(field.offset));
    case FieldKind::Text: {
        const std::string text = Utf16ToUtf8(AnsiForDisplay(record.Text(field.offset, field.width)));
        return quoteTexts ? QuotedText(text) : text;
    }
    }
    return {};
}

void WriteFieldValue(JsonWriter& json, const SettingsRecord& record, const FieldInfo& field) {
    switch (field.kind) {
    case FieldKind::Unsigned:
        json.Number(record.U32(field.offset));
        return;
    case FieldKind::Signed:
        json.Number(record.I32(field.offset));
        return;
    case FieldKind::Text:
        json.String(FieldValue(record, field, false));
        return;
    }
}

std::string WhyUnread(const FileHeadRead& read) { return read.missing ? "No such file" : read.reason; }

std::vector<std::string> SettingsFieldNames() {
    std::vector<std::string> names;
    for (const FieldInfo& f : SettingsFields())
        names.emplace_back(f.name);
    return names;
}

std::vector<std::string> EditableFieldNames() {
    std::vector<std::string> names;
    for (const FieldInfo& f : SettingsFields())
        if (IsEditableField(f.name))
            names.emplace_back(f.name);
    return names;
}

std::vector<std::string> SettableFieldNames() {
    std::vector<std::string> names = EditableFieldNames();
    names.emplace_back("timeZone");
    return names;
}

std::vector<std::u16string> CardLanguageCodes(const Card& card) {
    CardVersionInfo info;
    ReadVersionFile(card.FilePath(u"lang") + kPathSeparator, info);
    return info.languageCodes;
}

namespace {
std::size_t CardLanguageCount(const Card& card) {
    CardVersionInfo info;
    ReadVersionFile(card.FilePath(u"lang") + kPathSeparator, info);
    return info.languageNames.size();
}
} // namespace

int AssignField(Invocation& call, Card& card, const std::string& name, const std::string& value,
                bool force, std::vector<const FieldInfo*>& edited) {
    SettingsRecord& record = *card.record();
    if (name == "timeZone") {
        edited.push_back(FindSettingsField("timeZoneBias"));
        edited.push_back(FindSettingsField("timeZoneName"));
        return SetTimeZone(call, record, value);
    }
    const FieldInfo* field = FindSettingsField(name);
    if (!field || !IsEditableField(name))
        return call.UsageError(field ? "'" + name + "' is not edited by the editor and cannot be set"
                                     : "unknown field '" + name + "'" + DidYouMean(name, SettableFieldNames()));
    edited.push_back(field);
    if (field->kind == FieldKind::Text) {
        const std::u16string wide = Utf8ToUtf16(value);
        const std::string ansi = WideToAnsi(wide);
        if (AnsiToWide(ansi).value_or(u"") != wide)
            return call.UsageError("'" + value + "' has characters that the record's code page lacks");
        if (ansi.size() > field->width)
            return call.UsageError(name + " holds at most " + std::to_string(field->width) + " bytes");
        record.SetText(field->offset, field->width, ansi);
        return 0;
    }
    const auto number = ParseInteger(value);
    const bool isSigned = field->kind == FieldKind::Signed;
    if (!number || (isSigned && (*number < INT32_MIN || *number > INT32_MAX)) ||
        (!isSigned && (*number < 0 || *number > UINT32_MAX)))
        return call.UsageError("'" + value + "' is not a valid " + (isSigned ? "signed" : "unsigned") +
                               " 32-bit value for " + name);
    if (!force) {
        // Only the language index is checked against the card's list, so only it reads lang/ver.dat.
        const std::size_t languages = name == "deviceLanguage" ? CardLanguageCount(card) : 0;
        if (auto why = CheckControlValue(name, *number, record, languages))
            return call.UsageError(name + "=" + value + " refused: " + *why + " (--force stores it anyway)");
    }
    if (isSigned)
        record.SetI32(field->offset, static_cast<std::int32_t>(*number));
    else
        record.SetU32(field->offset, static_cast<std::uint32_t>(*number));
    return 0;
}

} // namespace dashcam::cli
