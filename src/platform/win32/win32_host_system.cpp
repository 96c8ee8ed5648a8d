// The host services on Windows: the Win32 calls themselves.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h first: the shell headers need its definitions.
#include <shellapi.h>
#include <shlobj.h>

#include <cwchar>
#include <string>
#include <vector>

#include "../host_system.h"
#include "../run_program.h"
#include "../text_codec.h"
#include "win32_error_text.h"

namespace dashcam {
namespace {

const wchar_t* W(const std::u16string& s) {
    return reinterpret_cast<const wchar_t*>(s.c_str());
}

// A path list for SHFileOperationW: the path followed by two terminators.
std::wstring DoubleTerminated(const std::u16string& path) {
    std::wstring out(path.begin(), path.end());
    out.push_back(L'\0');
    return out; // c_str() adds the second
}

class Win32HostSystem final : public HostSystem {
public:
    std::u16string ModuleFilePath() override {
        std::vector<wchar_t> buffer(MAX_PATH);
        for (;;) {
            const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
            if (n == 0)
                return {};
            if (n < buffer.size())
                return std::u16string(buffer.begin(), buffer.begin() + n);
            if (buffer.size() >= 32768)
                return {};
            buffer.resize(buffer.size() * 2);
        }
    }

    bool IsOnRemovableDrive(const std::u16string& folder) override {
        return GetDriveTypeW(W(VolumeRootOf(folder))) == DRIVE_REMOVABLE;
    }

    std::u16string VolumeRootOf(const std::u16string& path) override { return DriveRootOf(path); }

    std::optional<VolumeIdentity> VolumeOf(const std::u16string& path) override {
        VolumeIdentity volume;
        volume.root = VolumeRootOf(path);
        if (volume.root.empty())
            return std::nullopt;
        // The volume GUID path names the volume itself, whatever drive letter it has at the moment.
        wchar_t name[MAX_PATH] = {};
        if (!GetVolumeNameForVolumeMountPointW(W(volume.root), name, MAX_PATH))
            return std::nullopt;
        volume.device = reinterpret_cast<const char16_t*>(name);
        wchar_t label[MAX_PATH + 1] = {};
        DWORD flags = 0;
        if (GetVolumeInformationW(W(volume.root), label, MAX_PATH + 1, nullptr, nullptr, &flags, nullptr, 0)) {
            volume.label = reinterpret_cast<const char16_t*>(label);
            volume.readOnly = (flags & FILE_READ_ONLY_VOLUME) != 0;
        }
        volume.removableCard = GetDriveTypeW(W(volume.root)) == DRIVE_REMOVABLE;
        if (!volume.removableCard)
            volume.notCardReason = u"it is not a removable drive";
        volume.totalBytes = VolumeTotalBytes(volume.root).value_or(0);
        return volume;
    }

    std::optional<std::u16string> CreatePrivateFolder(const std::u16string& parent,
                                                      const std::u16string& prefix) override {
        // Below the user's own local application data, which only the user (and the system) may enter.
        std::u16string base = parent;
        if (!base.empty() && base.back() != u'\\')
            base.push_back(u'\\');
        SHCreateDirectoryExW(nullptr, W(base), nullptr);
        for (unsigned attempt = 0; attempt < 100; ++attempt) {
            wchar_t unique[32];
            swprintf(unique, 32, L"%08lx%04x", GetTickCount(), (GetCurrentProcessId() + attempt) & 0xFFFF);
            std::u16string folder = base + prefix + reinterpret_cast<const char16_t*>(unique);
            if (CreateDirectoryW(W(folder), nullptr))
                return folder + u'\\';
            if (GetLastError() != ERROR_ALREADY_EXISTS)
                return std::nullopt;
        }
        return std::nullopt;
    }

    std::optional<std::uint64_t> VolumeTotalBytes(const std::u16string& path) override {
        DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
        // The folder itself first; older systems only answer for a drive root.
        if (!GetDiskFreeSpaceW(W(path), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters) &&
            !GetDiskFreeSpaceW(W(DriveRootOf(path)), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                               &totalClusters))
            return std::nullopt;
        return std::uint64_t{sectorsPerCluster} * bytesPerSector * totalClusters;
    }

    bool IsFolderWritable(const std::u16string& folder) override {
        std::u16string probe = folder;
        if (!probe.empty() && probe.back() != u'\\' && probe.back() != u'/')
            probe.push_back(u'\\');
        probe += u"~write-probe.tmp";
        const HANDLE file = CreateFileW(W(probe), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(file);
        return true;
    }

    std::optional<std::u16string> LocalAppDataFolder() override {
        wchar_t path[MAX_PATH] = {};
        if (!SHGetSpecialFolderPathW(nullptr, path, CSIDL_LOCAL_APPDATA, FALSE))
            return std::nullopt;
        std::u16string out(reinterpret_cast<const char16_t*>(path));
        while (!out.empty() && (out.back() == u'\\' || out.back() == u'/'))
            out.pop_back();
        return out;
    }

    bool CreateFolder(const std::u16string& path) override {
        return CreateDirectoryW(W(path), nullptr) || FolderExists(path);
    }

    bool FolderExists(const std::u16string& path) override {
        const DWORD attributes = GetFileAttributesW(W(path));
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }

    bool CopyFileOver(const std::u16string& from, const std::u16string& to) override {
        return CopyFileW(W(from), W(to), FALSE) != 0;
    }

    bool CopyFolderInto(const std::u16string& folder, const std::u16string& destinationFolder) override {
        const std::wstring from = DoubleTerminated(folder);
        const std::wstring to = DoubleTerminated(destinationFolder);
        SHFILEOPSTRUCTW operation = {};
        operation.wFunc = FO_COPY;
        operation.pFrom = from.c_str();
        operation.pTo = to.c_str();
        operation.fFlags = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_SILENT | FOF_NOERRORUI;
        return SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted;
    }

    bool StartProgram(const std::u16string& program, const std::u16string& argument,
                      const std::u16string& workingFolder) override {
        const std::wstring parameters = QuoteArgument(argument);
        const HINSTANCE result =
            ShellExecuteW(nullptr, L"open", W(program), parameters.c_str(),
                          workingFolder.empty() ? nullptr : W(workingFolder), SW_SHOWNORMAL);
        return reinterpret_cast<INT_PTR>(result) > 32;
    }

    std::int32_t StandardBiasMinutes() override {
        TIME_ZONE_INFORMATION zone = {};
        if (GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID)
            return 0;
        return zone.Bias;
    }

    std::vector<std::u16string> MountedVolumes() override {
        wchar_t buffer[512] = {};
        const DWORD length = GetLogicalDriveStringsW(511, buffer);
        std::vector<std::u16string> roots;
        for (const wchar_t* p = buffer; length && length < 512 && *p; p += wcslen(p) + 1)
            roots.emplace_back(reinterpret_cast<const char16_t*>(p));
        return roots;
    }

    LocalDateTime LocalNow() override {
        SYSTEMTIME t = {};
        GetLocalTime(&t);
        return {t.wYear, t.wMonth, t.wDayOfWeek, t.wDay, t.wHour, t.wMinute, t.wSecond};
    }
};

} // namespace

std::wstring QuoteArgument(const std::u16string& argument) {
    const std::wstring arg(argument.begin(), argument.end());
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return arg;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"')
            out.append(backslashes * 2 + 1, L'\\');
        else
            out.append(backslashes, L'\\');
        backslashes = 0;
        out.push_back(c);
    }
    out.append(backslashes * 2, L'\\');
    out.push_back(L'"');
    return out;
}

HostSystem& PlatformHost() {
    static Win32HostSystem host;
    return host;
}

bool IsUsersCardVolume(const std::u16string& root) { return Host().IsOnRemovableDrive(root); }

ProgramRun RunProgramAndWait(const std::u16string& program, const std::vector<std::u16string>& arguments) {
    ProgramRun run;
    const std::wstring path(program.begin(), program.end());
    std::wstring line = QuoteArgument(program);
    for (const std::u16string& a : arguments)
        line += L" " + QuoteArgument(a);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        run.reason = Win32ErrorText(GetLastError());
        return run;
    }
    run.started = true;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    run.status = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return run;
}

} // namespace dashcam
