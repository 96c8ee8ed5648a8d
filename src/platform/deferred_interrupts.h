#pragma once
// Holds back Ctrl-C, SIGTERM and the like while a save is under way, so that the save finishes (and removes its
// journal) before the process ends; the held-back request takes effect when the object goes.
namespace dashcam {

class DeferredInterrupts {
public:
    DeferredInterrupts();
    ~DeferredInterrupts();
    DeferredInterrupts(const DeferredInterrupts&) = delete;
    DeferredInterrupts& operator=(const DeferredInterrupts&) = delete;

private:
    unsigned char saved_[256] = {};
};

} // namespace dashcam
