#include "foundation/win32/fault_translator.h"

#include <windows.h>

#include "foundation/structured_exception.h"

// mingw-w64 has no structured-exception translator hook. Instead a vectored handler, called
// before any frame-based handler, records the fault and resumes the thread in a function that
// throws: a return address inside the faulting function is pushed first, so the unwinder sees
// the throw as a call made from the faulting instruction and runs the destructors of every frame
// in between (the code is compiled with -fnon-call-exceptions).

namespace {

// Where the program's own code lies: its image, and the C runtime whose functions it calls (a
// memcpy through a bad pointer faults inside the runtime, and is still the program's fault).
// Faults anywhere else are raised by system or driver code, which probes memory under handlers
// of its own and expects them to reach those handlers untouched.
struct ImageRange {
    std::uintptr_t begin = 0;
    std::uintptr_t end = 0;
    bool holds(std::uintptr_t address) const { return address >= begin && address < end; }
};

ImageRange rangeOf(HMODULE module) {
    ImageRange range;
    if (module == nullptr) return range;
    const auto base = reinterpret_cast<std::uintptr_t>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    range.begin = base;
    range.end = base + nt->OptionalHeader.SizeOfImage;
    return range;
}

ImageRange g_ownImage;
ImageRange g_runtime;
ImageRange g_universalRuntime;

bool raisedByOwnCode(std::uintptr_t address) {
    return g_ownImage.holds(address) || g_runtime.holds(address) ||
           g_universalRuntime.holds(address);
}

DWORD g_mainThread = 0;
thread_local std::uint32_t t_code = 0;
thread_local std::uintptr_t t_address = 0;

[[noreturn]] void throwRecordedFault() { throw StructuredException(t_code, nullptr, t_address); }

// Faults only: the C++ runtime raises exceptions of its own through the same machinery
// (0x20474343), and debug output and thread naming use informational codes.
bool isFault(DWORD code) {
    return (code & 0xC0000000u) == 0xC0000000u || (code >= 0x80000001u && code <= 0x80000004u);
}

// A fault inside a runtime function cannot be thrown from there: the runtime's frames carry
// no unwind information our unwinder can follow. The context is moved back to where our code
// called the runtime, as the function's own return would have, and the throw starts there.
#if defined(_M_X64) || defined(__x86_64__)
bool leaveRuntime(CONTEXT& context) {
    for (int depth = 0; depth < 32 && !g_ownImage.holds(context.Rip); ++depth) {
        if (!raisedByOwnCode(context.Rip)) return false;
        DWORD64 base = 0;
        PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(context.Rip, &base, nullptr);
        if (function == nullptr) {
            // A leaf function: the return address is on top of the stack.
            context.Rip = *reinterpret_cast<DWORD64*>(context.Rsp);
            context.Rsp += sizeof(DWORD64);
            continue;
        }
        void* handlerData = nullptr;
        DWORD64 frame = 0;
        RtlVirtualUnwind(UNW_FLAG_NHANDLER, base, context.Rip, function, &context, &handlerData,
                         &frame, nullptr);
    }
    return g_ownImage.holds(context.Rip);
}
#else
// 32-bit frames have no tables to unwind by: the nearest word on the stack that returns into
// our image right after a call instruction is taken as the runtime's return address.
bool followsCall(DWORD address) {
    const auto* code = reinterpret_cast<const unsigned char*>(address);
    if (code[-5] == 0xE8) return true;                               // call rel32
    if (code[-2] == 0xFF && (code[-1] & 0x38) == 0x10) return true;  // call reg / [reg]
    if (code[-3] == 0xFF && (code[-2] & 0x38) == 0x10) return true;  // call [reg+disp8]
    if (code[-6] == 0xFF && (code[-5] & 0x38) == 0x10) return true;  // call [disp32]
    return code[-7] == 0xFF && (code[-6] & 0x38) == 0x10;            // call [sib+disp32]
}

bool leaveRuntime(CONTEXT& context) {
    auto* slot = reinterpret_cast<DWORD*>(context.Esp);
    for (int i = 0; i < 4096; ++i, ++slot) {
        if (g_ownImage.holds(*slot) && *slot - 7 >= g_ownImage.begin && followsCall(*slot)) {
            context.Eip = *slot;
            context.Esp = reinterpret_cast<DWORD>(slot + 1);
            return true;
        }
    }
    return false;
}
#endif

LONG CALLBACK onException(EXCEPTION_POINTERS* info) {
    const DWORD code = info->ExceptionRecord->ExceptionCode;
    if (GetCurrentThreadId() != g_mainThread || !isFault(code)) return EXCEPTION_CONTINUE_SEARCH;
    if (code == 0xC00000FDu) return EXCEPTION_CONTINUE_SEARCH;  // no stack left to throw on
    const auto address = reinterpret_cast<std::uintptr_t>(info->ExceptionRecord->ExceptionAddress);
    if (!raisedByOwnCode(address)) return EXCEPTION_CONTINUE_SEARCH;
    CONTEXT& context = *info->ContextRecord;
    // A faulting instruction is pushed as the address after it, so the unwinder (which looks
    // one byte back) places it in the right function; a return address already is one.
    std::uintptr_t after = 0;
    if (g_ownImage.holds(address)) {
        after = address + 1;
    } else {
        if (!leaveRuntime(context)) return EXCEPTION_CONTINUE_SEARCH;
#if defined(_M_X64) || defined(__x86_64__)
        after = context.Rip;
#else
        after = context.Eip;
#endif
    }
    t_code = code;
    t_address = address;
#if defined(_M_X64) || defined(__x86_64__)
    context.Rsp -= sizeof(DWORD64);
    *reinterpret_cast<DWORD64*>(context.Rsp) = after;
    context.Rip = reinterpret_cast<DWORD64>(&throwRecordedFault);
#else
    context.Esp -= sizeof(DWORD);
    *reinterpret_cast<DWORD*>(context.Esp) = static_cast<DWORD>(after);
    context.Eip = reinterpret_cast<DWORD>(&throwRecordedFault);
#endif
    return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

void installFaultTranslator() {
    if (g_mainThread != 0) return;
    g_mainThread = GetCurrentThreadId();
    g_ownImage = rangeOf(GetModuleHandleA(nullptr));
    g_runtime = rangeOf(GetModuleHandleA("msvcrt.dll"));
    g_universalRuntime = rangeOf(GetModuleHandleA("ucrtbase.dll"));
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
