#include "foundation/structured_exception.h"

#include <iomanip>
#include <sstream>

namespace {

struct FaultName {
    std::uint32_t code;
    const char* name;
};

constexpr FaultName kFaultNames[] = {
    {0x80000001u, "GUARD_PAGE"},
    {0x80000002u, "DATATYPE_MISALIGNMENT"},
    {0x80000003u, "BREAKPOINT"},
    {0x80000004u, "SINGLE_STEP"},
    {0xC0000005u, "ACCESS_VIOLATION"},
    {0xC0000006u, "IN_PAGE_ERROR"},
    {0xC0000008u, "INVALID_HANDLE"},
    {0xC000001Du, "ILLEGAL_INSTRUCTION"},
    {0xC0000025u, "NONCONTINUABLE_EXCEPTION"},
    {0xC0000026u, "INVALID_DISPOSITION"},
    {0xC000008Cu, "ARRAY_BOUNDS_EXCEEDED"},
    {0xC000008Du, "FLT_DENORMAL_OPERAND"},
    {0xC000008Eu, "FLT_DIVIDE_BY_ZERO"},
    {0xC000008Fu, "FLT_INEXACT_RESULT"},
    {0xC0000090u, "FLT_INVALID_OPERATION"},
    {0xC0000091u, "FLT_OVERFLOW"},
    {0xC0000092u, "FLT_STACK_CHECK"},
    {0xC0000093u, "FLT_UNDERFLOW"},
    {0xC0000094u, "INT_DIVIDE_BY_ZERO"},
    {0xC0000095u, "INT_OVERFLOW"},
    {0xC0000096u, "PRIV_INSTRUCTION"},
    {0xC00000FDu, "STACK_OVERFLOW"},
};

}  // namespace

StructuredException::StructuredException(std::uint32_t code, const void* exceptionInfo,
                                         std::uintptr_t faultAddress)
    : code_(code), exceptionInfo_(exceptionInfo), text_(describe(code, faultAddress)) {}

std::string StructuredException::describe(std::uint32_t code, std::uintptr_t faultAddress) {
    const char* name = nullptr;
    for (const FaultName& entry : kFaultNames) {
        if (entry.code == code) name = entry.name;
    }
    if (name == nullptr) return "unknown.";

    // The address takes as many digits as a pointer has: eight in the 32-bit build, sixteen in
    // the 64-bit one, whose addresses do not fit in eight.
    std::ostringstream text;
    text << "exception " << name << " (0x" << std::uppercase << std::hex << std::setfill('0')
         << std::setw(8) << code << ") at address " << std::setw(sizeof(void*) * 2) << faultAddress;
    return text.str();
}
