#pragma once
// Developer traces: fixed texts for whoever debugs the editor; the user never sees them.
#include <functional>
#include <string>
#include <string_view>

namespace dashcam {

// Writes one trace text exactly as given (line feeds included).
void Trace(std::u16string_view text);
// Convenience for ASCII-only texts.
void Trace(std::string_view asciiText);

// Where traces go. The default sink is the platform's (the debugger output on Windows, nothing elsewhere until a
// sink is installed: the Qt layers install the "dashcam.trace" logging category). Returns the previous sink.
using TraceSink = std::function<void(std::u16string_view)>;
TraceSink SetTraceSink(TraceSink sink);

} // namespace dashcam
