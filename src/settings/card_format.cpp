#include "settings/card_format.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "platform/files/card_lock.h"
#include "platform/files/format_guard.h"
#include "platform/files/raw_file.h"
#include "platform/host_system.h"
#include "platform/text_codec.h"
#include "settings/hand_over.h"

namespace dashcam {
namespace {

constexpr std::uint32_t kFat32ClusterSize = 32768;
// How long the format waits for card operations of other programs to end before it gives up.
constexpr std::chrono::milliseconds kGuardWait{3000};

struct PreservedFile {
    std::u16string onCard; // below the card folder
    std::u16string backup; // in the backup folder
};

std::array<PreservedFile, 3> PreservedFiles() {
    return {{{u"setup.cfg", u"setup.cfg"},
             {u"default.cfg", u"default.cfg"},
             {std::u16string(u"lang") + kPathSeparator + u"ver.dat", u"ver.dat"}}};
}

// Whether a camera file is there to be kept. Only "does not exist" counts as absent: a file that cannot be
// looked at (an I/O error, no permission) stops the format, since the card would lose it.
struct Presence {
    bool present = false;
    bool known = true;
    std::u16string reason;
};
Presence PresenceOf(const std::u16string& path) {
    RawFile file = RawFile::Open(ToFsPath(path), RawFile::Mode::Read);
    if (!file.ok())
        return file.missing() ? Presence{false, true, {}} : Presence{false, false, Utf8ToUtf16(file.error())};
    if (!file.IsRegular())
        return {false, false, u"it is not a regular file"};
    return {true, true, {}};
}

// True when both files can be read and hold the same bytes.
bool FilesIdentical(const std::u16string& a, const std::u16string& b) {
    // Opened first and asked on the open handles, so that a FIFO or device put at either path cannot make the
    // comparison wait.
    RawFile fileA = RawFile::Open(ToFsPath(a), RawFile::Mode::Read),
            fileB = RawFile::Open(ToFsPath(b), RawFile::Mode::Read);
    if (!fileA.ok() || !fileB.ok() || !fileA.IsRegular() || !fileB.IsRegular())
        return false;
    std::vector<std::uint8_t> bufferA(65536), bufferB(65536);
    for (std::uint64_t offset = 0;;) {
        const std::optional<std::size_t> n = fileA.ReadAt(offset, bufferA), m = fileB.ReadAt(offset, bufferB);
        if (!n || !m || *n != *m || !std::equal(bufferA.begin(), bufferA.begin() + static_cast<std::ptrdiff_t>(*n),
                                                 bufferB.begin()))
            return false;
        if (*n == 0)
            return true;
        offset += *n;
    }
}

bool CopyAndCheck(const std::u16string& from, const std::u16string& to) {
    return Host().CopyFileOver(from, to) && FilesIdentical(from, to);
}

// A new folder of this run for the backups, below the local program-copy folder, that only this user can
// enter; never on the card's own volume, which the format erases. Empty when there is no such place.
std::u16string MakeBackupFolder(const CardFormatPlan& plan, std::u16string& why) {
    const auto appData = Host().LocalAppDataFolder();
    if (!appData) {
        why = u"there is no folder for the backups on this computer";
        return {};
    }
    const std::u16string parent = *appData + kPathSeparator + u"Pelmora" + kPathSeparator + u"Setting" +
                                  kPathSeparator + u"format-backups";
    const auto folder = Host().CreatePrivateFolder(parent, u"format-");
    if (!folder) {
        why = u"the backup folder cannot be made in " + parent;
        return {};
    }
    const auto volume = Host().VolumeOf(*folder);
    if (!volume || volume->device == plan.device) {
        why = u"the only folder for the backups, " + *folder + u", is on the card itself";
        return {};
    }
    return *folder;
}

// Copies the camera's files that the card has into the backup folder and reads each copy back.
CardFileStep BackUp(const CardFormatPlan& plan, const std::u16string& backupFolder) {
    for (const PreservedFile& file : PreservedFiles()) {
        const std::u16string onCard = plan.cardRoot + file.onCard;
        const Presence presence = PresenceOf(onCard);
        if (!presence.known)
            return {false, onCard, presence.reason};
        if (!presence.present)
            continue;
        const std::u16string backup = backupFolder + file.backup;
        if (!CopyAndCheck(onCard, backup))
            return {false, onCard, u"the copy in " + backupFolder + u" does not read back the same"};
        // The backup is the user's alone, whatever mode the card's driver gave the file.
        std::error_code ec;
        std::filesystem::permissions(ToFsPath(backup),
                                     std::filesystem::perms::owner_read | std::filesystem::perms::owner_write, ec);
    }
    return {};
}

// True while every camera file the backup holds is on the card unchanged, and no file the backup lacks has
// appeared: nobody saved the card since the backup.
bool BackupStillCurrent(const CardFormatPlan& plan, const std::u16string& backupFolder) {
    for (const PreservedFile& file : PreservedFiles()) {
        const Presence onCard = PresenceOf(plan.cardRoot + file.onCard);
        const Presence backedUp = PresenceOf(backupFolder + file.backup);
        if (!onCard.known || onCard.present != backedUp.present)
            return false;
        if (onCard.present && !FilesIdentical(plan.cardRoot + file.onCard, backupFolder + file.backup))
            return false;
    }
    return true;
}

// Creates the card folder and its "lang" folder, copies the backups back and the program file onto the card,
// and reads each copy back. Goes on after a failure; failedFile names the first file that did not come back.
CardFileStep Restore(const CardFormatPlan& plan, const std::u16string& backupFolder,
                     const std::u16string& cardRootAfter) {
    CardFileStep step;
    auto fail = [&step](const std::u16string& file) {
        if (step.ok)
            step = {false, file, {}};
    };
    for (const PreservedFile& file : PreservedFiles()) {
        const std::u16string backup = backupFolder + file.backup;
        if (PresenceOf(backup).present && !CopyAndCheck(backup, cardRootAfter + file.onCard))
            fail(cardRootAfter + file.onCard);
    }
    const std::u16string programFolder = FolderOf(plan.programPath);
    if (!programFolder.empty()) {
        const std::u16string programCopy = cardRootAfter + plan.programPath.substr(programFolder.size());
        if (!CopyAndCheck(plan.programPath, programCopy))
            fail(programCopy);
        // So that the editor on the fresh card starts by itself where it is built with shared libraries.
        std::u16string folder = cardRootAfter;
        if (folder.size() > 1 && folder.back() == kPathSeparator)
            folder.pop_back();
        CopyRuntimeFiles(programFolder, folder);
    }
    return step;
}

// The card folder on the formatted card, made there; empty (with the reason) unless the volume mounted at
// the new root is the confirmed device and the folder lies on it. A failed remount leaves the mount point as
// a bare folder of the computer's own disk: nothing is written there.
std::u16string PrepareCardRootAfter(const CardFormatPlan& plan, const std::u16string& volumeAfter,
                                    std::u16string& why) {
    const std::u16string cardRootAfter = CardRootAfterFormat(plan, volumeAfter);
    const std::u16string root = volumeAfter.empty() ? plan.volume : volumeAfter;
    const auto volume = Host().VolumeOf(root);
    if (!volume || volume->device != plan.device || volume->root != root) {
        why = u"the formatted card is not mounted again at " + root;
        return {};
    }
    std::error_code ec;
    std::filesystem::create_directories(ToFsPath(cardRootAfter + u"lang"), ec);
    const auto folder = Host().VolumeOf(cardRootAfter);
    if (ec || !folder || folder->device != plan.device || folder->root != volume->root) {
        why = u"the card folder " + cardRootAfter + u" cannot be made on the formatted card";
        return {};
    }
    return cardRootAfter;
}

std::u16string SizeText(std::uint64_t bytes) {
    char text[32];
    if (bytes >= 1000ull * 1000 * 1000)
        std::snprintf(text, sizeof text, "%.1f GB", static_cast<double>(bytes) / 1e9);
    else
        std::snprintf(text, sizeof text, "%.0f MB", static_cast<double>(bytes) / 1e6);
    return Utf8ToUtf16(text);
}

} // namespace

std::atomic<int>& FormatResult() {
    static std::atomic<int> result{0};
    return result;
}

std::u16string VolumeLabelFor(const SettingsRecord& record) {
    const std::string_view name = record.productName();
    if (name.empty())
        return kDefaultVolumeLabel;
    return AnsiForDisplay(name).substr(0, 16);
}

bool IsLargeCard(const std::u16string& cardRoot) {
    if (!Host().IsOnRemovableDrive(cardRoot))
        return false;
    const auto bytes = Host().VolumeTotalBytes(cardRoot);
    if (!bytes)
        return false;
    const auto mib = static_cast<std::int32_t>(static_cast<std::uint32_t>(*bytes >> 20));
    return mib > kLargeCardMiB;
}

std::uint32_t Fat32ClusterSizeFor(std::uint64_t volumeBytes) {
    // FAT32 needs at least 65525 clusters. Each cluster costs its bytes and two 4-byte table entries; 1 MiB
    // stands for the reserved sectors and the alignment of the data area.
    constexpr std::uint64_t kMinClusters = 65525 + 64, kOverhead = 1024 * 1024;
    if (volumeBytes == 0)
        return kFat32ClusterSize;
    std::uint32_t cluster = kFat32ClusterSize;
    while (cluster > 512 && (volumeBytes < kOverhead || (volumeBytes - kOverhead) / (cluster + 8) < kMinClusters))
        cluster /= 2;
    return cluster;
}

std::optional<CardFormatPlan> PlanCardFormat(const std::u16string& cardRoot, const SettingsRecord& record,
                                             std::u16string* why, const TextOf& text) {
    if (cardRoot.empty())
        return std::nullopt;
    auto refuse = [why](const std::u16string& reason) -> std::optional<CardFormatPlan> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    const auto volume = Host().VolumeOf(cardRoot);
    if (!volume)
        return refuse(TextFor(text, u"IDS_STRING911", {cardRoot}));
    if (!volume->removableCard)
        return refuse(TextFor(text, u"IDS_STRING912", {volume->root, volume->notCardReason}));
    if (volume->readOnly)
        return refuse(TextFor(text, u"IDS_STRING913", {volume->root}));
    CardFormatPlan plan;
    plan.cardRoot = cardRoot;
    plan.volume = volume->root;
    plan.device = volume->device;
    plan.volumeLabel = volume->label;
    plan.volumeBytes = volume->totalBytes;
    plan.programPath = Host().ModuleFilePath();
    plan.largeCard = IsLargeCard(cardRoot);
    plan.fileSystem = plan.largeCard ? u"exfat" : u"FAT32";
    plan.clusterSize = plan.largeCard ? 0 : Fat32ClusterSizeFor(plan.volumeBytes);
    plan.label = FileSystemLabel(VolumeLabelFor(record), plan.fileSystem);
    return plan;
}

std::u16string RecheckCardFormatPlan(const CardFormatPlan& plan) {
    const auto volume = Host().VolumeOf(plan.cardRoot);
    if (!volume || volume->root != plan.volume || volume->device != plan.device)
        return u"the memory card in " + plan.volume + u" was taken out or replaced";
    if (!volume->removableCard)
        return plan.volume + u" is no longer a memory card (" + volume->notCardReason + u")";
    if (volume->readOnly)
        return u"the card in " + plan.volume + u" is write-protected";
    return {};
}

std::u16string VolumeDescription(const CardFormatPlan& plan, const TextOf& text) {
    std::u16string out = plan.volumeLabel.empty() ? TextFor(text, u"IDS_STRING919") : plan.volumeLabel;
    if (plan.volumeBytes)
        out += u", " + SizeText(plan.volumeBytes);
    return out + u", " + plan.volume;
}

CardFormatRun RunCardFormat(const CardFormatPlan& plan, const std::function<void()>& onStep) {
    FormatResult() = 0;
    FormatRequest request{plan.volume, plan.fileSystem, plan.label, true, plan.clusterSize, plan.device};
    CardFormatRun out;
    out.run = Formatter().Format(request, [&onStep](int command, int, const void* info) {
        if (command == kFormatProgressCommand) {
            if (onStep)
                onStep();
        } else if (command == kFormatDoneCommand) {
            FormatResult() = info && *static_cast<const unsigned char*>(info) == 1 ? 1 : 0;
        }
        return true;
    });
    out.succeeded = out.run.ran && FormatResult() == 1;
    return out;
}

std::u16string CardRootAfterFormat(const CardFormatPlan& plan, const std::u16string& volumeAfter) {
    if (volumeAfter.empty() || volumeAfter == plan.volume ||
        plan.cardRoot.compare(0, plan.volume.size(), plan.volume) != 0)
        return plan.cardRoot;
    return volumeAfter + plan.cardRoot.substr(plan.volume.size());
}

CardFormatOutcome FormatCardKeepingFiles(const std::u16string& cardRoot, const SettingsRecord& record,
                                         const CardFormatHooks& hooks) {
    CardFormatOutcome outcome;
    outcome.plan = PlanCardFormat(cardRoot, record, &outcome.stopped, hooks.text);
    if (!outcome.plan)
        return outcome;
    if (!hooks.programPath.empty())
        outcome.plan->programPath = hooks.programPath;
    const CardFormatPlan& plan = *outcome.plan;
    if (hooks.confirm && !hooks.confirm(plan)) {
        outcome.declined = true;
        return outcome;
    }
    // From here to the end no other program of ours formats this volume or works on its cards.
    const FormatGuard guard = FormatGuard::Acquire(plan.device, FormatGuard::Kind::Format, kGuardWait);
    if (!guard.held()) {
        outcome.stopped = Utf8ToUtf16(guard.message());
        return outcome;
    }
    {
        // The card's own lock while its files are copied and checked, so that no save slips in between.
        const CardLock lock = CardLock::Acquire(ToFsPath(plan.cardRoot));
        if (!lock.held()) {
            outcome.stopped = Utf8ToUtf16(lock.message());
            return outcome;
        }
        // The question may have waited long: the card must still be the one the user confirmed.
        if (outcome.stopped = RecheckCardFormatPlan(plan); !outcome.stopped.empty())
            return outcome;
        outcome.backupFolder = MakeBackupFolder(plan, outcome.stopped);
        if (outcome.backupFolder.empty())
            return outcome;
        outcome.backup = BackUp(plan, outcome.backupFolder);
        if (!outcome.backup.ok)
            return outcome;
        // Last look before the erase: the same card, and its files still those in the backup.
        if (outcome.stopped = RecheckCardFormatPlan(plan); !outcome.stopped.empty())
            return outcome;
        if (!BackupStillCurrent(plan, outcome.backupFolder)) {
            outcome.stopped = u"the card's files changed while they were backed up";
            return outcome;
        }
    } // the card folder's lock goes: its open folder would keep the card from being unmounted

    const std::function<CardFormatRun()> format = [&plan, &hooks] { return RunCardFormat(plan, hooks.onStep); };
    outcome.format = hooks.runFormat ? hooks.runFormat(format) : format();
    if (!outcome.erased())
        return outcome; // nothing was touched: the files are still on the card

    std::u16string why;
    const std::u16string cardRootAfter = PrepareCardRootAfter(plan, outcome.format.run.volumeAfter, why);
    if (cardRootAfter.empty()) {
        outcome.restore = {false, {}, why};
        return outcome;
    }
    const CardLock lock = CardLock::Acquire(ToFsPath(cardRootAfter));
    if (!lock.held()) {
        outcome.restore = {false, {}, Utf8ToUtf16(lock.message())};
        return outcome;
    }
    outcome.restored = true;
    outcome.cardRootAfter = cardRootAfter;
    outcome.restore = Restore(plan, outcome.backupFolder, cardRootAfter);
    return outcome;
}

std::u16string FormatProblemText(const CardFormatOutcome& outcome, const TextOf& text) {
    if (outcome.complete() || outcome.declined || !outcome.plan)
        return outcome.stopped;
    if (!outcome.stopped.empty())
        return TextFor(text, u"IDS_STRING914", {outcome.stopped});
    if (!outcome.backup.ok)
        return TextFor(text, u"IDS_STRING915", {outcome.backup.failedFile, outcome.backup.reason});
    std::u16string out;
    auto add = [&out](const std::u16string& line) {
        if (!line.empty())
            out += (out.empty() ? u"" : u"\r\n") + line;
    };
    if (!outcome.erased())
        add(outcome.format.run.ran ? TextFor(text, u"IDS_STRING916") : outcome.format.run.unavailableText);
    add(outcome.format.run.note);
    if (outcome.erased() && !outcome.restored)
        add(TextFor(text, u"IDS_STRING917", {outcome.restore.reason, outcome.backupFolder}));
    else if (outcome.restored && !outcome.restore.ok)
        add(TextFor(text, u"IDS_STRING918", {outcome.restore.failedFile, outcome.backupFolder}));
    return out;
}

} // namespace dashcam
