// The card lock on Windows: a named mutex of this computer per card folder.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cwctype>
#include <string>

#include "platform/files/card_lock.h"
#include "platform/files/raw_file.h"

namespace dashcam {

CardLock::State CardLock::Take(const std::filesystem::path& folder, std::chrono::milliseconds wait,
                               std::intptr_t& handle, std::string&, std::string& why) {
    // A named mutex per card folder, named after its identity (E:\ and e:\card\..\ are one folder); Windows hands an
    // abandoned one to the next waiter.
    std::wstring name = L"Local\\DashcamCard-";
    if (const auto identity = RawFile::IdentityOf(folder)) {
        name += std::to_wstring(identity->device) + L"-" + std::to_wstring(identity->index);
    } else {
        for (wchar_t c : folder.native())
            name.push_back(c == L'\\' ? L'/' : static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c))));
    }
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, name.c_str());
    if (!mutex) {
        why = "the card's lock cannot be created";
        return CardLock::State::Failed;
    }
    const DWORD r = ::WaitForSingleObject(mutex, static_cast<DWORD>(wait.count()));
    if (r != WAIT_OBJECT_0 && r != WAIT_ABANDONED) {
        ::CloseHandle(mutex);
        why = kInUse;
        return CardLock::State::InUse;
    }
    handle = reinterpret_cast<std::intptr_t>(mutex);
    return CardLock::State::Held;
}

void CardLock::Give(std::intptr_t handle) {
    HANDLE mutex = reinterpret_cast<HANDLE>(handle);
    ::ReleaseMutex(mutex);
    ::CloseHandle(mutex);
}

} // namespace dashcam
