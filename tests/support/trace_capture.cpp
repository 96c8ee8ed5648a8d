#include "support/trace_capture.h"

#include "platform/text_codec.h"

namespace dashcam::test {

TraceCapture::TraceCapture() {
    previous_ = SetTraceSink([this](std::u16string_view t) { text_.append(t); });
}

TraceCapture::~TraceCapture() { SetTraceSink(previous_); }

std::string TraceCapture::text() const { return Utf16ToUtf8(text_); }

} // namespace dashcam::test
