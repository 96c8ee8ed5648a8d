#pragma once
// Character tests and comparisons that the language files and the interface language choice share. They do
// not depend on the process locale: a translated file is read the same way whatever locale the host runs in.
#include <cstddef>
#include <string>
#include <string_view>

namespace dashcam {

// White space as the wide-character classification of a Unicode-aware C library sees it: the ASCII blanks
// (tab, LF, VT, FF, CR, space) and the Unicode White_Space characters of the Basic Multilingual Plane (NEL,
// no-break space, Ogham space mark, the typographic spaces U+2000-U+200A, line and paragraph separators,
// narrow no-break space, medium mathematical space, ideographic space). std::iswspace is not used because in
// the "C" locale it knows only the ASCII blanks, so a translated text ending in an ideographic space would
// keep it or lose it depending on how the host's locale happens to be set.
bool IsWideSpace(char16_t c);

// The text without white space (IsWideSpace) at either end.
std::u16string_view TrimWide(std::u16string_view text);

// Simple case folding to lower case for ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic letters; every
// other code unit is its own fold. Section names, keys and language names are compared through it.
char16_t FoldCase(char16_t c);
bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);

// Hash and equality for unordered maps keyed by text without regard to case; both accept string views, so a
// lookup needs no temporary string.
struct CaseInsensitiveHash {
    using is_transparent = void;
    std::size_t operator()(std::u16string_view text) const;
};
struct CaseInsensitiveEqual {
    using is_transparent = void;
    bool operator()(std::u16string_view a, std::u16string_view b) const { return EqualsIgnoreCase(a, b); }
};

} // namespace dashcam
