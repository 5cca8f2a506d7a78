#include "app/posix/signal_watch.h"

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

void watch(sigset_t signals, int restart, std::chrono::milliseconds deadline, int out) {
    using Clock = std::chrono::steady_clock;
    std::optional<Clock::time_point> endAt;
    for (;;) {
        siginfo_t info{};
        int signal;
        if (endAt) {
            const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(
                std::max(*endAt - Clock::now(), Clock::duration::zero()));
            const timespec wait{static_cast<time_t>(left.count() / 1'000'000'000),
                                static_cast<long>(left.count() % 1'000'000'000)};
            signal = sigtimedwait(&signals, &info, &wait);
            if (signal < 0 && errno == EAGAIN) {
                static const char text[] =
                    "misto: still busy after the signal to end (the X server or a file does not "
                    "answer); leaving at once\n";
                (void)!write(STDERR_FILENO, text, sizeof text - 1);
                _exit(1);
            }
        } else {
            signal = sigwaitinfo(&signals, &info);
        }
        if (signal <= 0) continue;
        // A full pipe already holds signals the loop has yet to read: one more adds nothing.
        (void)!write(out, &signal, sizeof signal);
        if (signal != restart && !endAt) endAt = Clock::now() + deadline;
    }
}

}  // namespace

SignalWatch::SignalWatch(const sigset_t& signals, int restart, std::chrono::milliseconds deadline) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw std::runtime_error(std::string("cannot make a pipe for signals: ") +
                                 std::strerror(errno));
    }
    read_ = ends[0];
    write_ = ends[1];
    // Runs until the process ends: nothing it holds needs letting go.
    std::thread(watch, signals, restart, deadline, write_).detach();
}

int SignalWatch::take() {
    int signal = 0;
    return read(read_, &signal, sizeof signal) == static_cast<ssize_t>(sizeof signal) ? signal : 0;
}
