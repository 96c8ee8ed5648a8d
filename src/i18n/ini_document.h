#pragma once
// One parsed language file: sections of key/value texts, in an INI-like layout. Section names and keys are
// compared without regard to case; values are kept exactly as the file gives them.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "i18n/wide_text.h"

namespace dashcam {

class IniDocument {
public:
    // Key -> value of one section.
    using Section =
        std::unordered_map<std::u16string, std::u16string, CaseInsensitiveHash, CaseInsensitiveEqual>;

    IniDocument() = default;
    IniDocument(const IniDocument&) = delete;
    IniDocument& operator=(const IniDocument&) = delete;

    // Adds the content of one language file held in memory: UTF-16LE after the byte-order mark FF FE, or else
    // 8-bit ANSI text up to its first NUL byte. False, with the document unchanged, for a buffer shorter than
    // two bytes or 8-bit text that does not convert; true otherwise, however many lines were usable.
    bool ParseLanguageBuffer(const unsigned char* data, std::size_t size);
    // Adds already decoded text (what ParseLanguageBuffer does after decoding).
    void ParseText(std::u16string_view text);

    // The section of that name, or nullptr. A repeated request for the same name is answered from the last
    // one found without a map probe.
    const Section* FindSection(std::u16string_view name) const;
    // The first section named "text" (any case) that was read, or nullptr.
    const Section* defaultSection() const { return defaultSection_; }
    // The value of the key in the named section (the default section when no name is given), or nullptr when
    // the section or the key does not exist.
    const std::u16string* FindValue(std::u16string_view key,
                                    std::optional<std::u16string_view> section = std::nullopt) const;

    std::size_t sectionCount() const { return sections_.size(); }

private:
    void ParseLine(std::u16string_view line);
    void ParseEntry(std::u16string_view line);

    std::unordered_map<std::u16string, std::unique_ptr<Section>, CaseInsensitiveHash, CaseInsensitiveEqual>
        sections_;
    Section* defaultSection_ = nullptr;
    Section* current_ = nullptr; // while parsing: the section that entries go to, or none
    mutable std::u16string lastName_;
    mutable const Section* lastSection_ = nullptr;
};

} // namespace dashcam
