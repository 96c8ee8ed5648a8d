// The PC viewer exists only on Windows: here it is never running and has recorded nothing.
#include "../viewer_link.h"

namespace dashcam {
namespace {
class PosixViewerLink final : public ViewerLink {
public:
    bool IsWindowPresent(std::u16string_view) override { return false; }
    std::optional<std::u16string> ReadLanguageValue() override { return std::nullopt; }
    bool PostToWindow(std::u16string_view, std::uint32_t) override { return false; }
    bool WaitForEvent(std::u16string_view, std::uint32_t) override { return false; }
};
} // namespace

ViewerLink& PlatformViewer() {
    static PosixViewerLink viewer;
    return viewer;
}

} // namespace dashcam
