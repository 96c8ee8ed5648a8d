// RunProgram on Windows: CreateProcessW with standard output and error into temporary files.
#include "support/run_process.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

#include "platform/run_program.h"

namespace dashcam::test {
namespace {

std::wstring Wide(const std::string& utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::wstring Quoted(const std::wstring& arg) {
    return QuoteArgument(std::u16string(arg.begin(), arg.end()));
}

struct TempOutput {
    std::wstring path;
    HANDLE handle = INVALID_HANDLE_VALUE;

    TempOutput() {
        wchar_t folder[MAX_PATH + 1] = {}, name[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, folder);
        GetTempFileNameW(folder, L"out", 0, name);
        path = name;
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        handle = CreateFileW(name, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    }
    std::string Text() {
        CloseHandle(handle);
        std::string text;
        const HANDLE in = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        char buffer[4096];
        DWORD n = 0;
        while (in != INVALID_HANDLE_VALUE && ReadFile(in, buffer, sizeof buffer, &n, nullptr) && n > 0)
            text.append(buffer, n);
        if (in != INVALID_HANDLE_VALUE)
            CloseHandle(in);
        DeleteFileW(path.c_str());
        return text;
    }
};

} // namespace

ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::vector<std::string>& environment) {
    std::wstring path = Wide(program.starts_with("/") ? program : std::string(DASHCAM_BIN_DIR) + "/" + program);
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    if (!path.ends_with(L".exe"))
        path += L".exe";
    std::wstring line = Quoted(path);
    for (const std::string& a : arguments)
        line += L" " + Quoted(Wide(a));

    // This process's environment with the additions, as the sorted block CreateProcessW takes.
    std::wstring block;
    if (wchar_t* own = GetEnvironmentStringsW()) {
        for (const wchar_t* e = own; *e; e += wcslen(e) + 1)
            block.append(e).push_back(L'\0');
        FreeEnvironmentStringsW(own);
    }
    for (const std::string& e : environment)
        block.append(Wide(e)).push_back(L'\0');
    block.push_back(L'\0');

    TempOutput out, err;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    const HANDLE nul = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                   OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul;
    startup.hStdOutput = out.handle;
    startup.hStdError = err.handle;
    PROCESS_INFORMATION process = {};
    ProcessResult result;
    if (CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT, block.data(),
                       nullptr, &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        result.status = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(nul);
    result.out = out.Text();
    result.err = err.Text();
    return result;
}

} // namespace dashcam::test
