#include "trace.h"

#include <utility>

#include "text_codec.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace dashcam {
namespace {
TraceSink& Sink() {
    static TraceSink sink = [](std::u16string_view text) {
#ifdef _WIN32
        std::wstring wide(text.begin(), text.end());
        OutputDebugStringW(wide.c_str());
#else
        (void)text;
#endif
    };
    return sink;
}
} // namespace

void Trace(std::u16string_view text) {
    if (Sink())
        Sink()(text);
}

void Trace(std::string_view asciiText) { Trace(std::u16string_view(Widen(asciiText))); }

TraceSink SetTraceSink(TraceSink sink) { return std::exchange(Sink(), std::move(sink)); }

} // namespace dashcam
