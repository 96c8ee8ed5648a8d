#include "settings/user_text.h"

namespace dashcam {

std::u16string FillIn(std::u16string_view text, std::initializer_list<std::u16string_view> values) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 1 < text.size() && text[i + 1] >= u'1' && text[i + 1] <= u'9') {
            const auto n = static_cast<std::size_t>(text[i + 1] - u'1');
            if (n < values.size()) {
                out += *(values.begin() + n);
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::u16string TextFor(const TextOf& text, std::u16string_view key, std::initializer_list<std::u16string_view> values) {
    return FillIn(text ? text(key) : std::u16string(key), values);
}

} // namespace dashcam
