#include "settings/card_format.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "platform/host_system.h"
#include "platform/text_codec.h"
#include "settings/hand_over.h"
#include "settings/raw_file.h"
#include "settings/safe_file.h"

namespace dashcam {
namespace {

constexpr std::uint32_t kFat32ClusterSize = 32768;

struct PreservedFile {
    std::u16string onCard; // below the card folder
    std::u16string backup; // in the backup folder
};

std::array<PreservedFile, 3> PreservedFiles() {
    return {{{u"setup.cfg", u"setup.cfg"},
             {u"default.cfg", u"default.cfg"},
             {std::u16string(u"lang") + kPathSeparator + u"ver.dat", u"ver.dat"}}};
}

bool IsRegularFile(const std::u16string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(ToFsPath(path), ec);
}

// True when both files can be read and hold the same bytes.
bool FilesIdentical(const std::u16string& a, const std::u16string& b) {
    // Opened first and asked on the open handles, so that a FIFO or device put at either path cannot make the
    // comparison wait.
    RawFile fileA = RawFile::Open(a, RawFile::Mode::Read), fileB = RawFile::Open(b, RawFile::Mode::Read);
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

// The program's folder when it is writable, else the local program-copy folder; never a folder on the card's
// own volume, which the format erases. Empty when there is no such place.
std::u16string BackupFolderFor(const std::u16string& programPath, const std::u16string& cardVolume) {
    auto usable = [&cardVolume](const std::u16string& folder) {
        return !folder.empty() && Host().VolumeRootOf(folder) != cardVolume;
    };
    const std::u16string programFolder = FolderOf(programPath);
    if (usable(programFolder) && Host().IsFolderWritable(programFolder))
        return programFolder;
    if (auto copyFolder = CreateProgramCopyFolder(); copyFolder && usable(*copyFolder + kPathSeparator))
        return *copyFolder + kPathSeparator;
    return {};
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

std::optional<CardFormatPlan> PlanCardFormat(const std::u16string& cardRoot, const SettingsRecord& record) {
    if (cardRoot.empty())
        return std::nullopt;
    CardFormatPlan plan;
    plan.cardRoot = cardRoot;
    plan.volume = Host().VolumeRootOf(cardRoot);
    if (plan.volume.empty() || !Host().IsOnRemovableDrive(plan.volume))
        return std::nullopt;
    plan.programPath = Host().ModuleFilePath();
    plan.backupFolder = BackupFolderFor(plan.programPath, plan.volume);
    plan.largeCard = IsLargeCard(cardRoot);
    plan.fileSystem = plan.largeCard ? u"exfat" : u"FAT32";
    plan.clusterSize = plan.largeCard ? 0 : kFat32ClusterSize;
    plan.label = VolumeLabelFor(record);
    return plan;
}

CardFileStep BackupCardFiles(const CardFormatPlan& plan) {
    for (const PreservedFile& file : PreservedFiles()) {
        const std::u16string onCard = plan.cardRoot + file.onCard;
        if (plan.backupFolder.empty())
            return {false, onCard};
        const std::u16string backup = plan.backupFolder + file.backup;
        if (!IsRegularFile(onCard)) {
            if (!RemoveFileIfPresent(backup))
                return {false, backup};
            continue;
        }
        if (!CopyAndCheck(onCard, backup))
            return {false, onCard};
    }
    return {};
}

CardFormatRun RunCardFormat(const CardFormatPlan& plan, const std::function<void()>& onStep) {
    FormatResult() = 0;
    const FormatRequest request{plan.volume, plan.fileSystem, plan.label, true, plan.clusterSize};
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

CardFileStep RestoreCardFiles(const CardFormatPlan& plan, const std::u16string& cardRootAfter) {
    CardFileStep step;
    auto fail = [&step](const std::u16string& file) {
        if (step.ok)
            step = {false, file};
    };
    std::error_code ec;
    std::filesystem::create_directories(ToFsPath(cardRootAfter + u"lang"), ec);
    for (const PreservedFile& file : PreservedFiles()) {
        const std::u16string backup = plan.backupFolder + file.backup;
        if (!plan.backupFolder.empty() && IsRegularFile(backup) &&
            !CopyAndCheck(backup, cardRootAfter + file.onCard))
            fail(cardRootAfter + file.onCard);
    }
    const std::u16string programFolder = FolderOf(plan.programPath);
    if (!programFolder.empty()) {
        const std::u16string programCopy = cardRootAfter + plan.programPath.substr(programFolder.size());
        if (!CopyAndCheck(plan.programPath, programCopy))
            fail(programCopy);
    }
    return step;
}

CardFormatOutcome FormatCardKeepingFiles(const CardFormatPlan& plan, const std::function<void()>& onStep) {
    CardFormatOutcome outcome;
    outcome.cardRootAfter = plan.cardRoot;
    outcome.backup = BackupCardFiles(plan);
    if (!outcome.backup.ok)
        return outcome;
    outcome.format = RunCardFormat(plan, onStep);
    if (!outcome.format.run.ran)
        return outcome; // nothing was touched: the files are still on the card
    outcome.cardRootAfter = CardRootAfterFormat(plan, outcome.format.run.volumeAfter);
    outcome.restore = RestoreCardFiles(plan, outcome.cardRootAfter);
    return outcome;
}

} // namespace dashcam
