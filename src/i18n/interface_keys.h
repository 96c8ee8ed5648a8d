#pragma once
// The key of every text that a window, page or popup of the editor shows, in the order of the language files.
// The build reads them from res/lang/src/keys.txt, the list that every language file is checked against.
#include <span>
#include <string_view>

namespace dashcam {

std::span<const std::u16string_view> InterfaceKeys();

} // namespace dashcam
