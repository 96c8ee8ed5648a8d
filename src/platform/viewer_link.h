#pragma once
// The maker's PC viewer program, as far as the editor deals with it: whether its window is open, and the interface
// language it recorded for other programs.
#include <optional>
#include <string>
#include <string_view>

namespace dashcam {

class ViewerLink {
public:
    virtual ~ViewerLink() = default;
    // True when a top-level window with exactly this title exists.
    virtual bool IsWindowPresent(std::u16string_view title) = 0;
    // The viewer's language value as stored, or nullopt when absent or unreadable.
    virtual std::optional<std::u16string> ReadLanguageValue() = 0;
};

ViewerLink& Viewer();
void SetViewer(ViewerLink* viewer); // nullptr restores the platform's own

} // namespace dashcam
