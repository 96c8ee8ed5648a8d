#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <atomic>

#include "platform/deferred_interrupts.h"

namespace dashcam {
namespace {

std::atomic<bool> g_interrupted{false};

BOOL WINAPI HoldBack(DWORD) {
    g_interrupted = true;
    return TRUE;
}

} // namespace

DeferredInterrupts::DeferredInterrupts() { SetConsoleCtrlHandler(HoldBack, TRUE); }

DeferredInterrupts::~DeferredInterrupts() {
    SetConsoleCtrlHandler(HoldBack, FALSE);
    if (g_interrupted.exchange(false))
        ExitProcess(STATUS_CONTROL_C_EXIT);
}

} // namespace dashcam
