#pragma once
// A PC viewer for tests: running or not, with the language value of the test's choosing.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/viewer_link.h"

namespace dashcam::test {

class FakeViewer : public ViewerLink {
public:
    FakeViewer() { SetViewer(this); }
    ~FakeViewer() override { SetViewer(nullptr); }
    bool running = false;
    std::optional<std::u16string> language;
    bool IsWindowPresent(std::u16string_view title) override {
        if (running && title == kViewerTitle)
            return true;
        for (const auto& w : windows)
            if (w == title)
                return true;
        return false;
    }
    std::optional<std::u16string> ReadLanguageValue() override { return language; }
    // Titles of the windows that exist, and what was posted and waited for.
    std::vector<std::u16string> windows;
    bool eventSignalled = true;
    std::vector<std::pair<std::u16string, std::uint32_t>> posted;
    std::vector<std::pair<std::u16string, std::uint32_t>> waited;
    bool PostToWindow(std::u16string_view title, std::uint32_t message) override {
        for (const auto& w : windows)
            if (w == title) {
                posted.emplace_back(std::u16string(title), message);
                return true;
            }
        return false;
    }
    bool WaitForEvent(std::u16string_view name, std::uint32_t timeoutMs) override {
        waited.emplace_back(std::u16string(name), timeoutMs);
        return eventSignalled;
    }
};

} // namespace dashcam::test
