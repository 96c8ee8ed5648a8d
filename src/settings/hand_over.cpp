#include "settings/hand_over.h"

#include <filesystem>
#include <string_view>
#include <system_error>

#include "platform/host_system.h"
#include "platform/trace.h"

namespace dashcam {
namespace {
std::u16string& CopyPath() {
    static std::u16string path;
    return path;
}

std::u16string ProgramFolder() { return FolderOf(Host().ModuleFilePath()); }

bool EndsWithIgnoringCase(const std::u16string& text, std::u16string_view end) {
    if (text.size() < end.size())
        return false;
    for (std::size_t i = 0; i < end.size(); ++i) {
        char16_t c = text[text.size() - end.size() + i];
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
        if (c != end[i])
            return false;
    }
    return true;
}

} // namespace

// What a program built with shared libraries (the Windows build) cannot start without, beside it: the libraries
// (*.dll), the toolkit's qt.conf and its plug-in and translation folders. The program's folder on a card holds the
// camera's files too; nothing else of it is copied.
void CopyRuntimeFiles(const std::u16string& programFolder, const std::u16string& folder) {
    HostSystem& host = Host();
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(programFolder), error)) {
        const std::u16string name = entry.path().filename().u16string();
        if (entry.is_regular_file(error) && (EndsWithIgnoringCase(name, u".dll") || name == u"qt.conf"))
            host.CopyFileOver(programFolder + name, folder + kPathSeparator + name);
    }
    host.CopyFolderInto(programFolder + u"plugins", folder);
    host.CopyFolderInto(programFolder + u"translations", folder);
}

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
    CopyRuntimeFiles(programFolder, folder);
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
