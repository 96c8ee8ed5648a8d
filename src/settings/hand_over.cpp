#include "settings/hand_over.h"

#include "platform/host_system.h"
#include "platform/trace.h"

namespace dashcam {
namespace {
std::u16string& CopyPath() {
    static std::u16string path;
    return path;
}

std::u16string ProgramFolder() { return FolderOf(Host().ModuleFilePath()); }
} // namespace

const std::u16string& LocalCopyPath() { return CopyPath(); }
void ResetHandOver() { CopyPath().clear(); }

bool IsStartedFromRemovableDrive() {
    const std::u16string folder = ProgramFolder();
    return !folder.empty() && Host().IsOnRemovableDrive(folder);
}

std::optional<std::u16string> CreateProgramCopyFolder() {
    HostSystem& host = Host();
    auto appData = host.LocalAppDataFolder();
    if (!appData)
        return std::nullopt;
    std::u16string folder = *appData + kPathSeparator + u"Pelmora";
    if (!host.FolderExists(folder) && !host.CreateFolder(folder))
        return std::nullopt;
    folder += kPathSeparator;
    folder += u"Setting";
    if (!host.CreateFolder(folder))
        return std::nullopt;
    return folder;
}

bool CopyProgramToLocalFolder() {
    HostSystem& host = Host();
    const auto copyFolder = CreateProgramCopyFolder();
    if (!copyFolder)
        return false;
    const std::u16string& folder = *copyFolder;

    const std::u16string module = host.ModuleFilePath();
    const std::u16string programFolder = FolderOf(module);
    if (programFolder.empty())
        return false;
    // The module path's last separator and the file name behind it.
    const std::u16string destination = folder + module.substr(programFolder.size() - 1);
    if (!host.CopyFileOver(module, destination))
        return false;
    host.CopyFolderInto(programFolder + u"html", folder);
    CopyPath() = destination;
    return true;
}

bool StartLocalCopy() {
    if (CopyPath().empty())
        return false;
    const std::u16string argument = ProgramFolder();
    const std::u16string workingFolder = DriveRootOf(CopyPath());
    // The card folder travels as one argument, spaces and all.
    Host().StartProgram(CopyPath(), argument, workingFolder);
    Trace(CopyPath() + u"\n");
    Trace(argument + u"\n");
    Trace(workingFolder + u"\n");
    return true;
}

} // namespace dashcam
