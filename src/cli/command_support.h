#pragma once
// Pieces that several dashcam-cfg commands share.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command.h"
#include "settings/card_files.h"
#include "settings/safe_file.h"
#include "settings/settings_record.h"

namespace dashcam::cli {

// The card folder as the editor takes it (UTF-16, ending in the path separator); false with a message when the
// folder is not there.
bool OpenCardFolder(Invocation& call, const std::string& argument);
// OpenCardFolder, then the card's lock for the rest of the run and its settings loaded as the editor loads them:
// setup.cfg, or default.cfg when there is none. Nothing (with a message) when neither can be read.
std::optional<CardSettingsLoad::Source> LoadCard(Invocation& call, const std::string& argument);
// "setup.cfg" or "default.cfg".
const char* SourceFileName(CardSettingsLoad::Source source);

// Saves the record as the editor's Save does; false with the reason when it did not reach the file. The fields
// named in `edited` must lie within the bytes that the save writes (recordLength of them), else nothing is saved.
bool SaveCard(Invocation& call, const std::string& card, const std::vector<const FieldInfo*>& edited);

// Why a file could not be read, for "PATH: reason" messages: "No such file" or the reader's reason.
std::string WhyUnread(const FileHeadRead& read);

std::optional<std::int64_t> ParseInteger(std::string_view text);
std::string JsonQuoted(std::string_view utf8);
// A field's value as show prints it: decimal, or the text (quoted when asked) in UTF-8.
std::string FieldValue(const SettingsRecord& record, const FieldInfo& field, bool quoteTexts);
// Sets FIELD=VALUE as set does; returns 0 or the exit status of the refusal. `edited` gets the field.
int AssignField(Invocation& call, SettingsRecord& record, const std::string& name, const std::string& value,
                bool force, std::vector<const FieldInfo*>& edited);
// The names of all the record's fields, in record order.
std::vector<std::string> SettingsFieldNames();
// The names of the fields that the editor's pages edit.
std::vector<std::string> EditableFieldNames();
// The names that set accepts: the editable fields and timeZone.
std::vector<std::string> SettableFieldNames();

} // namespace dashcam::cli
