#pragma once
// Formatting the memory card while keeping the camera's own files: setup.cfg, default.cfg and lang/ver.dat
// are copied to the program's folder and checked before the card is erased, and copied back, with the program
// itself, afterwards. The page and the command line run the same steps; the format itself runs on a worker
// thread and gets everything it needs as arguments.
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/volume_formatter.h"
#include "settings/settings_record.h"

namespace dashcam {

// The volume label when the record names no product (the program's string 500).
inline constexpr char16_t kDefaultVolumeLabel[] = u"Trevanil";
// Above this many MiB a removable card is formatted as exFAT.
inline constexpr std::int32_t kLargeCardMiB = 60000;

// The record's product name (up to its first zero byte, at most 16 bytes, ANSI code page), or "Trevanil" when
// it is empty.
std::u16string VolumeLabelFor(const SettingsRecord& record);
// True when the card folder lies on a removable drive whose file system holds more than 60000 MiB (the low 32
// bits of the size in MiB, as a signed number).
bool IsLargeCard(const std::u16string& cardRoot);

struct CardFormatPlan {
    std::u16string cardRoot;     // the card folder, ending in the separator
    std::u16string volume;       // the root of its volume (VolumeRootOf)
    std::u16string backupFolder; // where the camera's files wait during the format, ending in the separator
    std::u16string programPath;  // the running program file, copied onto the fresh card
    std::u16string fileSystem;   // u"exfat" for a large card, u"FAT32" otherwise
    std::u16string label;
    std::uint32_t clusterSize = 0; // 0 (the default) for exFAT, 32768 for FAT32
    bool largeCard = false;
};

// What a format of this card would do; nullopt when cardRoot is empty or its volume is not removable (then
// nothing happens and nothing is shown). The backups go to the program's folder when it is writable,
// otherwise to the local program-copy folder, and never onto the card's own volume (then backupFolder is
// empty and the backup fails).
std::optional<CardFormatPlan> PlanCardFormat(const std::u16string& cardRoot, const SettingsRecord& record);

struct CardFileStep {
    bool ok = true;
    std::u16string failedFile; // full path of the first file that could not be copied and read back
};

// Copies setup.cfg, default.cfg and lang/ver.dat, where present, into the backup folder and reads each copy
// back. A backup left from an earlier format of a file the card no longer has is removed, so it cannot come
// back. Not ok: the card must not be formatted.
CardFileStep BackupCardFiles(const CardFormatPlan& plan);

struct CardFormatRun {
    FormatRun run;
    bool succeeded = false; // the format reported success
};

// The worker's body: formats the plan's volume through Formatter() and calls onStep once for each progress
// step. Touches no process-wide card state; writes FormatResult().
CardFormatRun RunCardFormat(const CardFormatPlan& plan, const std::function<void()>& onStep);

// The card folder after the format: the same folder below the volume's new root (a remount may move it).
std::u16string CardRootAfterFormat(const CardFormatPlan& plan, const std::u16string& volumeAfter);

// Creates the card folder and its "lang" folder, copies the backups back and the program file onto the card,
// and reads each copy back. Goes on after a failure; failedFile names the first file that did not come back.
CardFileStep RestoreCardFiles(const CardFormatPlan& plan, const std::u16string& cardRootAfter);

struct CardFormatOutcome {
    CardFileStep backup;
    CardFormatRun format;         // not run when the backup failed
    std::u16string cardRootAfter; // where the files were restored
    CardFileStep restore;         // not run when the backup failed
    // Formatted, and every preserved file and the program are back on the card.
    bool complete() const { return backup.ok && format.succeeded && restore.ok; }
};

// The whole procedure on the calling thread: backup, format (only when the backup is complete), restore
// (after any format that ran, succeeded or not).
CardFormatOutcome FormatCardKeepingFiles(const CardFormatPlan& plan, const std::function<void()>& onStep);

// The outcome of the last format: 0 before and during it, 1 when it reported success. Written by the format's
// callback on the worker thread, read after the worker has finished.
std::atomic<int>& FormatResult();

} // namespace dashcam
