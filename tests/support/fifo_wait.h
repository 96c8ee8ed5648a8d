#pragma once
// For tests of readers that must not wait on a FIFO put where a file should be (POSIX only).
#ifndef _WIN32
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <future>
#include <unistd.h>

namespace dashcam::test {

// Runs `read(gaveUp)` on a thread of its own and returns its result. A reader still waiting after a few seconds
// fails the test, is freed by opening `fifo` for writing, and finds `gaveUp` set, so that a reader that waits on
// the FIFO fails the test instead of hanging it.
template <class Read>
auto WithoutWaitingOn(const std::filesystem::path& fifo, Read read) {
    std::atomic<bool> gaveUp = false;
    auto done = std::async(std::launch::async, [&] { return read(gaveUp); });
    if (done.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        ADD_FAILURE() << "a reader waits on a FIFO";
        gaveUp = true;
        while (done.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready)
            if (const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC); fd >= 0)
                ::close(fd);
    }
    return done.get();
}

} // namespace dashcam::test
#endif
