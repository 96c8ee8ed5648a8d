#pragma once
// A host for tests: a program path, a removable flag, an application-data folder and a clock offset of the
// test's choosing; copies happen for real (inside temporary folders), starts are only recorded.
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/host_system.h"

namespace dashcam::test {

class FakeHost : public HostSystem {
public:
    FakeHost() { SetHost(this); }
    ~FakeHost() override { SetHost(nullptr); }

    struct Start {
        std::u16string program, argument, workingFolder;
    };

    std::u16string modulePath;
    bool removable = false;
    std::u16string volumeRoot;                // VolumeRootOf of the paths below it; other paths: their drive root
    std::optional<std::uint64_t> totalBytes;  // what VolumeTotalBytes answers
    bool foldersWritable = true;              // false: IsFolderWritable says no to every folder
    std::optional<std::u16string> appData;
    bool copyFails = false;
    bool startFails = false; // StartProgram records the start and reports a failure
    std::int32_t bias = 0;
    LocalDateTime now{2014, 5, 2, 6, 13, 45, 7};
    std::vector<Start> starts;

    std::u16string ModuleFilePath() override { return modulePath; }
    bool IsOnRemovableDrive(const std::u16string&) override { return removable; }
    std::u16string VolumeRootOf(const std::u16string& path) override {
        return !volumeRoot.empty() && path.starts_with(volumeRoot) ? volumeRoot : DriveRootOf(path);
    }
    std::optional<std::uint64_t> VolumeTotalBytes(const std::u16string&) override { return totalBytes; }
    bool IsFolderWritable(const std::u16string& folder) override;
    std::optional<std::u16string> LocalAppDataFolder() override { return appData; }
    bool CreateFolder(const std::u16string& path) override;
    bool FolderExists(const std::u16string& path) override;
    bool CopyFileOver(const std::u16string& from, const std::u16string& to) override;
    bool CopyFolderInto(const std::u16string& folder, const std::u16string& destinationFolder) override;
    bool StartProgram(const std::u16string& program, const std::u16string& argument,
                      const std::u16string& workingFolder) override {
        starts.push_back({program, argument, workingFolder});
        return !startFails;
    }
    std::int32_t StandardBiasMinutes() override { return bias; }
    LocalDateTime LocalNow() override { return now; }
    std::vector<std::u16string> volumes;
    std::vector<std::u16string> MountedVolumes() override { return volumes; }

    // VolumeOf: the device of volumeRoot (empty: the root itself), other roots that are volumes of their own
    // (root -> device), and whether volumeRoot is write-protected.
    std::u16string volumeDevice;
    std::map<std::u16string, std::u16string> otherVolumes;
    bool readOnly = false;
    std::optional<VolumeIdentity> VolumeOf(const std::u16string& path) override {
        for (const auto& [root, device] : otherVolumes)
            if (path.starts_with(root))
                return VolumeIdentity{root, device, u"OTHER", 0, removable, false, {}};
        auto volume = HostSystem::VolumeOf(path);
        if (volume && volume->root == volumeRoot) {
            if (!volumeDevice.empty())
                volume->device = volumeDevice;
            volume->readOnly = readOnly;
        }
        return volume;
    }
};

} // namespace dashcam::test
