#include <signal.h>

#include <cstring>
#include <initializer_list>

#include "platform/deferred_interrupts.h"

namespace dashcam {

static_assert(sizeof(sigset_t) <= 256);

DeferredInterrupts::DeferredInterrupts() {
    sigset_t held;
    sigemptyset(&held);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        sigaddset(&held, signal);
    sigset_t previous;
    sigprocmask(SIG_BLOCK, &held, &previous);
    std::memcpy(saved_, &previous, sizeof previous);
}

DeferredInterrupts::~DeferredInterrupts() {
    sigset_t previous;
    std::memcpy(&previous, saved_, sizeof previous);
    sigprocmask(SIG_SETMASK, &previous, nullptr); // a held-back signal is delivered here
}

} // namespace dashcam
