#pragma once

#include <exception>

// An exception must not leave a callback that the system calls (window, dialog, page and
// enumeration procedures): the 32-bit build's unwinder cannot pass the system's own frames, and
// 64-bit Windows swallows some of them. The callback keeps the exception here and ends its loop
// the way the user would; the code that started the loop rethrows it once the system call has
// returned, so the error reaches the entry point's report like any other.
namespace CallbackErrors {

// Keeps `error` unless one is kept already: the first failure is the one worth reporting.
void keep(std::exception_ptr error) noexcept;

// True while an exception waits to be rethrown.
bool pending() noexcept;

// Rethrows the kept exception, if any, and forgets it.
void rethrowPending();

// Runs `body` and answers true when it returned normally. An exception is kept and false
// answered; while one is pending `body` is not run at all (false), so a failed loop does no
// more work on its way out.
template <typename Body>
bool guard(Body&& body) noexcept {
    if (pending()) return false;
    try {
        body();
        return true;
    } catch (...) {
        keep(std::current_exception());
        return false;
    }
}

}  // namespace CallbackErrors
