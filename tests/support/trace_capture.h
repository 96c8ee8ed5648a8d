#pragma once
// Collects every developer trace written while it lives.
#include <string>

#include "platform/trace.h"

namespace dashcam::test {

class TraceCapture {
public:
    TraceCapture();
    ~TraceCapture();
    // Everything traced so far, in UTF-8.
    std::string text() const;
    void clear() { text_.clear(); }

private:
    std::u16string text_;
    TraceSink previous_;
};

} // namespace dashcam::test
