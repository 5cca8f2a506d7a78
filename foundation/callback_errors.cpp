#include "foundation/callback_errors.h"

namespace CallbackErrors {

namespace {
std::exception_ptr g_kept;
}  // namespace

void keep(std::exception_ptr error) noexcept {
    if (!g_kept) g_kept = std::move(error);
}

bool pending() noexcept { return static_cast<bool>(g_kept); }

void rethrowPending() {
    if (!g_kept) return;
    std::exception_ptr error = std::move(g_kept);
    g_kept = nullptr;
    std::rethrow_exception(error);
}

}  // namespace CallbackErrors
