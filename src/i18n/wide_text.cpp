#include "i18n/wide_text.h"

namespace dashcam {

bool IsWideSpace(char16_t c) {
    if (c <= 0x20)
        return c == 0x20 || (c >= 0x09 && c <= 0x0D);
    if (c < 0x85)
        return false;
    switch (c) {
    case 0x0085:
    case 0x00A0:
    case 0x1680:
    case 0x2028:
    case 0x2029:
    case 0x202F:
    case 0x205F:
    case 0x3000:
        return true;
    default:
        return c >= 0x2000 && c <= 0x200A;
    }
}

std::u16string_view TrimWide(std::u16string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsWideSpace(text[begin]))
        ++begin;
    while (end > begin && IsWideSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

char16_t FoldCase(char16_t c) {
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 0x20) : c;
    // Latin-1: À-Þ except the multiplication sign.
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<char16_t>(c + 0x20);
    // Latin Extended-A pairs upper/lower on even/odd code points, with the run 0x139-0x148 and 0x179-0x17E
    // on odd/even; U+0130 and U+0131 (dotted/dotless i) and U+0138 (kra) are left alone.
    if (c >= 0x100 && c <= 0x17F) {
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
            return (c % 2 == 1) ? static_cast<char16_t>(c + 1) : c;
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F)
            return c;
        if (c == 0x178)
            return 0xFF;
        return (c % 2 == 0) ? static_cast<char16_t>(c + 1) : c;
    }
    // Greek capitals.
    if ((c >= 0x391 && c <= 0x3A9 && c != 0x3A2))
        return static_cast<char16_t>(c + 0x20);
    // Cyrillic: Ѐ-Џ, А-Я, and the even/odd pairs of U+0460-U+0481 and U+048A-U+04BF.
    if (c >= 0x400 && c <= 0x40F)
        return static_cast<char16_t>(c + 0x50);
    if (c >= 0x410 && c <= 0x42F)
        return static_cast<char16_t>(c + 0x20);
    if ((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF))
        return (c % 2 == 0) ? static_cast<char16_t>(c + 1) : c;
    return c;
}

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    return true;
}

std::size_t CaseInsensitiveHash::operator()(std::u16string_view text) const {
    // FNV-1a over the folded code units.
    std::size_t hash = static_cast<std::size_t>(14695981039346656037ULL);
    for (char16_t c : text) {
        char16_t folded = FoldCase(c);
        hash ^= static_cast<std::size_t>(folded & 0xFF);
        hash *= static_cast<std::size_t>(1099511628211ULL);
        hash ^= static_cast<std::size_t>(folded >> 8);
        hash *= static_cast<std::size_t>(1099511628211ULL);
    }
    return hash;
}

} // namespace dashcam
