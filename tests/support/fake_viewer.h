#pragma once
// A PC viewer for tests: running or not, with the language value of the test's choosing.
#include <optional>
#include <string>

#include "platform/viewer_link.h"

namespace dashcam::test {

class FakeViewer : public ViewerLink {
public:
    FakeViewer() { SetViewer(this); }
    ~FakeViewer() override { SetViewer(nullptr); }
    bool running = false;
    std::optional<std::u16string> language;
    bool IsWindowPresent(std::u16string_view title) override {
        return running && title == u"KESTRAVON DASHCAM PC VIEWER";
    }
    std::optional<std::u16string> ReadLanguageValue() override { return language; }
};

} // namespace dashcam::test
