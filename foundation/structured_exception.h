#pragma once

#include <cstdint>
#include <exception>
#include <string>

// A hardware fault (access violation, division by zero, ...) turned into a C++ exception, so
// that it reaches the same top-level report as every other error.
class StructuredException : public std::exception {
  public:
    // exceptionInfo is the system's record of the fault; it is valid only while the fault is
    // being translated and is kept for completeness, never read later.
    StructuredException(std::uint32_t code, const void* exceptionInfo, std::uintptr_t faultAddress);

    const char* what() const noexcept override { return text_.c_str(); }
    std::uint32_t code() const { return code_; }

    // "exception NAME (0xCODE) at address ADDRESS", or "unknown." for a code we do not name.
    // The address has as many hexadecimal digits as a pointer of this build.
    static std::string describe(std::uint32_t code, std::uintptr_t faultAddress);

  private:
    std::uint32_t code_;
    const void* exceptionInfo_;
    std::string text_;
};
