#pragma once
// Formatting the memory card while keeping the camera's own files: setup.cfg, default.cfg and lang/ver.dat are
// copied into a private backup folder of this run (below the local application-data folder) and read back before the card is erased, and copied back,
// with the program itself, afterwards. The page and the command line run this one procedure; they bring the
// question, the progress and the result through hooks.
//
// What a format may touch: only the volume the user confirmed (bound by its device, not by its path), only a
// removable memory card, and the camera's files are either back on that card or kept in the backup folder that
// the outcome names.
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/volume_formatter.h"
#include "settings/settings_record.h"
#include "settings/user_text.h"

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
// The FAT32 cluster size for a volume of this many bytes: 32 KiB, or less where 32 KiB clusters would leave
// fewer clusters than FAT32 allows (cards under about 2 GiB); 32 KiB when the size is unknown.
std::uint32_t Fat32ClusterSizeFor(std::uint64_t volumeBytes);

struct CardFormatPlan {
    std::u16string cardRoot;     // the card folder, ending in the separator
    std::u16string volume;       // the exact root of its volume (the drive root, or the mount point)
    std::u16string device;       // what that volume is (VolumeIdentity::device): the format erases only this
    std::u16string volumeLabel;  // the volume's label today, for the question
    std::uint64_t volumeBytes = 0;
    std::u16string programPath;  // the running program file, copied onto the fresh card
    std::u16string fileSystem;   // u"exfat" for a large card, u"FAT32" otherwise
    std::u16string label;        // the new label, as the file system stores it
    std::uint32_t clusterSize = 0; // 0 (the default) for exFAT, 32768 for FAT32 (less on small cards)
    bool largeCard = false;
};

// What a format of this card would do; nullopt when cardRoot is empty (no reason then) or its volume is not
// a writable removable memory card (`why` gets the reason, for the user, in the texts of `text`).
std::optional<CardFormatPlan> PlanCardFormat(const std::u16string& cardRoot, const SettingsRecord& record,
                                             std::u16string* why = nullptr, const TextOf& text = {});
// Empty while the plan still holds: the same device at the same root, a writable removable card; else why not.
std::u16string RecheckCardFormatPlan(const CardFormatPlan& plan);
// The volume as the question names it: label, size and where it is ("CARD, 29.7 GB, /media/u/CARD/").
std::u16string VolumeDescription(const CardFormatPlan& plan, const TextOf& text);

struct CardFileStep {
    bool ok = true;
    std::u16string failedFile; // full path of the first file that could not be copied and read back
    std::u16string reason;     // why, when the system said
};

struct CardFormatRun {
    FormatRun run;
    bool succeeded = false; // the format reported success
};

// The format itself: formats the plan's volume through Formatter() and calls onStep once for each progress
// step. Touches no process-wide card state; writes FormatResult(). Runs on the page's worker thread.
CardFormatRun RunCardFormat(const CardFormatPlan& plan, const std::function<void()>& onStep);

// The card folder after the format: the same folder below the volume's new root (a remount may move it).
std::u16string CardRootAfterFormat(const CardFormatPlan& plan, const std::u16string& volumeAfter);

struct CardFormatHooks {
    // The question, once the plan is known; false: nothing happens. Unset: yes.
    std::function<bool(const CardFormatPlan&)> confirm;
    // Runs the given format step and returns its result: the page runs it on a worker thread behind its
    // progress popup. Unset: on the calling thread.
    std::function<CardFormatRun(const std::function<CardFormatRun()>&)> runFormat;
    // Each progress step of the format, on the thread that runs it.
    std::function<void()> onStep;
    // The program put onto the fresh card; empty: the running program.
    std::u16string programPath;
    // The texts of the messages for the user.
    TextOf text;
};

struct CardFormatOutcome {
    std::optional<CardFormatPlan> plan;
    bool declined = false;       // the user said no
    std::u16string stopped;      // why the procedure stopped before the volume was touched, or empty
    std::u16string backupFolder; // this run's backups, ending in the separator; empty when none were made
    CardFileStep backup;
    CardFormatRun format;        // run only after a complete backup
    bool restored = false;       // the files were copied back onto the formatted card
    std::u16string cardRootAfter; // where they were copied back
    CardFileStep restore;
    // Formatted, and every preserved file and the program are back on the card.
    bool complete() const { return format.succeeded && restored && restore.ok; }
    // The volume may have been written to by the formatter.
    bool erased() const { return format.run.erased || format.succeeded; }
};

// The whole procedure: plan, question, backup under the card's lock, a last check that the volume is still
// the confirmed one, the format, and the restore onto the same device only.
CardFormatOutcome FormatCardKeepingFiles(const std::u16string& cardRoot, const SettingsRecord& record,
                                         const CardFormatHooks& hooks = {});

// What the user must know beyond "complete" or "failed", in the texts of `text`: what stopped the format, that
// nothing was erased, which file did not come back and where the backups are. Empty for a complete format.
std::u16string FormatProblemText(const CardFormatOutcome& outcome, const TextOf& text);

// The outcome of the last format: 0 before and during it, 1 when it reported success. Written by the format's
// callback on the worker thread, read after the worker has finished.
std::atomic<int>& FormatResult();

} // namespace dashcam
