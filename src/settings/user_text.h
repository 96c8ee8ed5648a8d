#pragma once
// The texts a user reads come from the language files. The layers that do not hold the language table name a
// text by its key and are handed the lookup; the details they know (a path, a reason) fill the text's %1, %2 ….
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

namespace dashcam {

// The text of a language-file key in the interface language.
using TextOf = std::function<std::u16string(std::u16string_view key)>;

// `text` with each %1 … %9 replaced by entry 1 … 9 of `values`; a % without an entry stays as it is.
std::u16string FillIn(std::u16string_view text, std::initializer_list<std::u16string_view> values);
// The text of `key` through `text`, with `values` filled in; the key itself when there is no lookup.
std::u16string TextFor(const TextOf& text, std::u16string_view key,
                       std::initializer_list<std::u16string_view> values = {});

} // namespace dashcam
