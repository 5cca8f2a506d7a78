#include "foundation/win32/fault_translator.h"

#include <windows.h>

#include "foundation/structured_exception.h"

// mingw-w64 has no structured-exception translator hook. Instead a vectored handler, called
// before any frame-based handler, records the fault and resumes the thread in a function that
// throws: a return address inside the faulting function is pushed first, so the unwinder sees
// the throw as a call made from the faulting instruction and runs the destructors of every frame
// in between (the code is compiled with -fnon-call-exceptions).

namespace {

DWORD g_mainThread = 0;
thread_local std::uint32_t t_code = 0;
thread_local std::uintptr_t t_address = 0;

[[noreturn]] void throwRecordedFault() { throw StructuredException(t_code, nullptr, t_address); }

// Faults only: the C++ runtime raises exceptions of its own through the same machinery
// (0x20474343), and debug output and thread naming use informational codes.
bool isFault(DWORD code) {
    return (code & 0xC0000000u) == 0xC0000000u || (code >= 0x80000001u && code <= 0x80000004u);
}

LONG CALLBACK onException(EXCEPTION_POINTERS* info) {
    const DWORD code = info->ExceptionRecord->ExceptionCode;
    if (GetCurrentThreadId() != g_mainThread || !isFault(code)) return EXCEPTION_CONTINUE_SEARCH;
    if (code == 0xC00000FDu) return EXCEPTION_CONTINUE_SEARCH;  // no stack left to throw on
    t_code = code;
    t_address = reinterpret_cast<std::uintptr_t>(info->ExceptionRecord->ExceptionAddress);
    CONTEXT* context = info->ContextRecord;
#if defined(_M_X64) || defined(__x86_64__)
    context->Rsp -= sizeof(DWORD64);
    *reinterpret_cast<DWORD64*>(context->Rsp) = context->Rip + 1;
    context->Rip = reinterpret_cast<DWORD64>(&throwRecordedFault);
#else
    context->Esp -= sizeof(DWORD);
    *reinterpret_cast<DWORD*>(context->Esp) = context->Eip + 1;
    context->Eip = reinterpret_cast<DWORD>(&throwRecordedFault);
#endif
    return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

void installFaultTranslator() {
    if (g_mainThread != 0) return;
    g_mainThread = GetCurrentThreadId();
    AddVectoredExceptionHandler(1, onException);
}

void translateStructuredException(std::uint32_t code, const void* exceptionInfo) {
    std::uintptr_t address = 0;
    if (exceptionInfo != nullptr) {
        const auto* pointers = static_cast<const EXCEPTION_POINTERS*>(exceptionInfo);
        address = reinterpret_cast<std::uintptr_t>(pointers->ExceptionRecord->ExceptionAddress);
    }
    throw StructuredException(code, exceptionInfo, address);
}
