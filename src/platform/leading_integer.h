#pragma once
// The integer at the start of a text, read as the C library's atoi reads it, for the card's clock file and the
// numbers of the language files' [font] section.
#include <algorithm>
#include <climits>
#include <string_view>

namespace dashcam {

// Leading white space (as `isSpace` tells it), an optional sign, then decimal digits up to the first other
// character; 0 when no digit follows. A number beyond the range of int gives INT_MAX or INT_MIN.
template <class Char, class IsSpace> int LeadingInteger(std::basic_string_view<Char> text, IsSpace isSpace) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == Char('+') || text[i] == Char('-')))
        negative = text[i++] == Char('-');
    constexpr long long kBeyond = static_cast<long long>(INT_MAX) + 2; // stops growing, still clamps either way
    long long value = 0;
    for (; i < text.size() && text[i] >= Char('0') && text[i] <= Char('9'); ++i)
        value = std::min(value * 10 + (text[i] - Char('0')), kBeyond);
    return static_cast<int>(std::clamp<long long>(negative ? -value : value, INT_MIN, INT_MAX));
}

} // namespace dashcam
