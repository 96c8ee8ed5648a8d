#pragma once
// The maker's PC viewer program, as far as the editor deals with it: whether its window is open, the interface
// language it recorded for other programs, and the hand-shake that makes it let go of the card before a format.
#include <cstdint>
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
    // Posts `message` with both parameters 0 to the top-level window with exactly this title; false when there is
    // no such window or the post failed.
    virtual bool PostToWindow(std::u16string_view title, std::uint32_t message) = 0;
    // Waits until the named event is signalled, at most `timeoutMs` milliseconds. False when the event cannot be
    // opened, or the wait failed or timed out.
    virtual bool WaitForEvent(std::u16string_view name, std::uint32_t timeoutMs) = 0;
};

// The viewer's window titles, the message that asks it to let go of the card, the event it signals when it has,
// and the notice that the card changed.
inline constexpr char16_t kViewerTitle[] = u"KESTRAVON DASHCAM PC VIEWER";
inline constexpr char16_t kViewerShortTitle[] = u"Pelmora";
inline constexpr std::uint32_t kViewerReleaseCardMessage = 1123; // WM_USER + 99
inline constexpr char16_t kViewerReleaseEvent[] = u"EVENT_FILE_PARSING";
inline constexpr std::uint32_t kDeviceChangeMessage = 0x0219;     // WM_DEVICECHANGE

ViewerLink& Viewer();
void SetViewer(ViewerLink* viewer); // nullptr restores the platform's own

} // namespace dashcam
