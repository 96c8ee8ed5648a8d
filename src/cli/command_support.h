#pragma once
// Pieces that several dashcam-cfg commands share.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command.h"
#include "cli/json_writer.h"
#include "platform/files/card_lock.h"
#include "platform/files/safe_file.h"
#include "settings/card.h"
#include "settings/settings_record.h"

namespace dashcam::cli {

// The card folder as the editor takes it (UTF-16, ending in the path separator) made a card; nothing, with a
// message, when the folder is not there.
std::unique_ptr<Card> OpenCardFolder(Invocation& call, const std::string& argument);
// Why OpenCardFolder would refuse the argument ("PATH: No such file or directory"), or empty.
std::string CardFolderProblem(const std::string& argument);
// A card a command loaded: the card, its folder's lock held while the command works on it, so that nobody saves
// between the command's load and its save, and where its settings came from.
struct LoadedCard {
    explicit LoadedCard(std::u16string root) : card(std::move(root)) {}
    Card card;
    CardLock lock;
    CardSettingsLoad::Source source = CardSettingsLoad::Source::None;
    SettingsRecord& record() { return *card.record(); }
};
// OpenCardFolder, then the card's lock and its settings loaded as the editor loads them: setup.cfg, or default.cfg
// when there is none. Nothing (with a message) when neither can be read.
std::unique_ptr<LoadedCard> LoadCard(Invocation& call, const std::string& argument);
// "setup.cfg" or "default.cfg".
const char* SourceFileName(CardSettingsLoad::Source source);

// Saves the card's record as the editor's Save does; false with the reason, under the name the user gave the card
// (`name`), when it did not reach the file. The fields named in `edited` must lie within the bytes that the save
// writes (recordLength of them), else nothing is saved.
bool SaveCard(Invocation& call, Card& card, const std::string& name, const std::vector<const FieldInfo*>& edited);

// Why a file could not be read, for "PATH: reason" messages: "No such file" or the reader's reason.
std::string WhyUnread(const FileHeadRead& read);

std::optional<std::int64_t> ParseInteger(std::string_view text);
// A field's value as show prints it: decimal, or the text (quoted when asked) in UTF-8.
std::string FieldValue(const SettingsRecord& record, const FieldInfo& field, bool quoteTexts);
// The same value as a JSON number or string.
void WriteFieldValue(JsonWriter& json, const SettingsRecord& record, const FieldInfo& field);
// Sets FIELD=VALUE as set does; returns 0 or the exit status of the refusal. `edited` gets the field.
int AssignField(Invocation& call, Card& card, const std::string& name, const std::string& value,
                bool force, std::vector<const FieldInfo*>& edited);
// The language codes of the card's lang/ver.dat, in order (deviceLanguage indexes them); empty without one.
std::vector<std::u16string> CardLanguageCodes(const Card& card);
// The names of all the record's fields, in record order.
std::vector<std::string> SettingsFieldNames();
// The names of the fields that the editor's pages edit.
std::vector<std::string> EditableFieldNames();
// The names that set accepts: the editable fields and timeZone.
std::vector<std::string> SettableFieldNames();

} // namespace dashcam::cli
