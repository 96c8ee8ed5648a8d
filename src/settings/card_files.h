#pragma once
// The files on the camera's memory card and the process-wide card state: the card folder, the clock request and
// the settings files.
#include <cstdint>
#include <string>

#include "settings/settings_record.h"

namespace dashcam {

// The card folder, ending in the path separator as given on the command line; empty means no card. Every card
// file is CardRoot() followed directly by its name.
const std::u16string& CardRoot();
void SetCardRoot(std::u16string root);
// The card folder as given (by a shell's completion, a drag and drop, a desktop entry) made a card root: a folder
// without its trailing separator gets one, so that its files land inside it and not beside it. Empty stays empty.
std::u16string CardRootFromArgument(std::u16string folder);

// A Windows SYSTEMTIME.
struct SystemTime {
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t dayOfWeek = 0;
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;
    bool operator==(const SystemTime&) const = default;
};

// The clock request: whether Save writes time.dat, and the moment it asks the camera to take.
struct ClockRequest {
    std::uint32_t timeSyncRequested = 0;
    SystemTime timeSyncTime;
};
ClockRequest& Clock();
// Back to 0 and all-zero (program start, tests).
void ResetCardState();

// Loads a settings file into the record (allocating it when there is none). True when the file could be opened.
bool LoadSettingsFile(const std::u16string& path);
// Writes the record into the file without truncating it; true when all of it reached the file.
bool SaveSettingsFile(const std::u16string& path);
// Loads CardRoot() + "default.cfg" into the record, keeping retainedBlock and retainedValue. A missing file is
// reported to the user with "no default.cfg :" and the path. True when default.cfg was loaded.
bool RestoreDefaultSettings(SettingsRecord& record);
// The start-up load of the card's settings into the record: CardRoot() + "setup.cfg", or, when there is no
// setup.cfg, default.cfg as it is (retained fields included). A setup.cfg that is there but cannot be read is
// reported in `problem`; the defaults are then shown, and SaveSettingsFile does not replace that setup.cfg until
// RestoreDefaultSettings has run. Nor does it write a setup.cfg on a card that had neither file.
struct CardSettingsLoad {
    enum class Source { None, Setup, Defaults };
    Source source = Source::None;
    std::string problem; // why setup.cfg could not be read; empty when it was read or is not there
    explicit operator bool() const { return source != Source::None && problem.empty(); }
};
CardSettingsLoad LoadCardSettings(SettingsRecord& record);
// Why the last failed SaveSettingsFile or WriteClockFile failed, and what the card holds now.
const std::string& LastCardFileError();
// What the saves since the last SaveSettingsFile (which starts afresh) still have to tell the user although they
// succeeded: a journal that could not be removed; empty when nothing.
const std::string& LastCardFileNote();
bool ReadClockFile(const std::u16string& path);
bool WriteClockFile(const std::u16string& path);

// Text of the clock request line as WriteClockFile writes it, for the given standard bias (minutes west of UTC).
std::string FormatClockLine(const SystemTime& time, std::int32_t standardBiasMinutes);

} // namespace dashcam
