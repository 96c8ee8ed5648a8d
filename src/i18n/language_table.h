#pragma once
// The interface texts of the running program: the chosen language's file answers first, English fills in
// every key that it lacks or leaves empty. One process-wide table, loaded once at start-up.
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "i18n/ini_document.h"

namespace dashcam {

class LanguageTable {
public:
    // Finds a language file's bytes by its name, without regard to case; a span without data (nullptr) when
    // there is none.
    using ResourceFinder = std::span<const unsigned char> (*)(std::string_view name);

    // A table reading the files embedded in the program.
    LanguageTable();
    // A table reading its files through another finder (tests).
    explicit LanguageTable(ResourceFinder finder);
    LanguageTable(const LanguageTable&) = delete;
    LanguageTable& operator=(const LanguageTable&) = delete;

    // Parses the named language file into the primary document and "english" into the fallback. False, with
    // the table unloaded, when either file does not exist; otherwise true when at least one of the two
    // parsed. An empty name skips the primary document. The documents are not emptied first.
    bool LoadLanguage(std::u16string_view name);
    // As LoadLanguage, but the primary document comes from a language file's bytes (a file that a translator
    // is working on) instead of an embedded one.
    bool LoadLanguageFromBytes(std::span<const unsigned char> primaryBytes);

    // The text of the key in the section (the default "text" section when none is given): from the primary
    // document, or from English when the primary one lacks it or has it empty; "" when neither has it. Each
    // backslash + n becomes a line feed and each backslash + r a carriage return. "Error Loading" while the
    // table is not loaded.
    std::u16string LookupText(std::u16string_view key,
                              std::optional<std::u16string_view> section = std::nullopt) const;

    // The interface font's face name: DEFAULT_UI_FACENAME of the "font" section.
    std::u16string GetUiFontFaceName() const;
    // A number of the "font" section (DEFAULT_UI_CHARSET, ...) read as a decimal integer: leading white
    // space, an optional sign, digits up to the first other character; 0 when there are no digits. Values
    // beyond the range of int are clamped to it.
    int GetUiFontNumber(std::u16string_view key) const;

    bool loaded() const { return loaded_; }
    const IniDocument& primary() const { return *primary_; }
    const IniDocument& fallback() const { return *fallback_; }

    // Back to empty and unloaded (tests).
    void Reset();

private:
    bool LoadFallback(bool primaryParsed);

    ResourceFinder finder_;
    std::unique_ptr<IniDocument> primary_;
    std::unique_ptr<IniDocument> fallback_;
    bool loaded_ = false;
};

// The process-wide table and shorthands for its operations.
LanguageTable& TheLanguageTable();
bool LoadLanguage(std::u16string_view name);
std::u16string LookupText(std::u16string_view key, std::optional<std::u16string_view> section = std::nullopt);
std::u16string GetUiFontFaceName();
int GetUiFontNumber(std::u16string_view key);
// Empties the process-wide table (tests).
void ResetLanguageTable();

} // namespace dashcam
