# Native programs are hardened as distributions build theirs: position-independent executables,
# stack protector and stack-clash probes, control-flow protection where the processor has it,
# read-only relocations bound at start-up, and _FORTIFY_SOURCE where the compiler optimises. A packager's own flags come first: CMake reads
# CFLAGS, CXXFLAGS and LDFLAGS from the environment at the first configure, and CPPFLAGS is
# added here, since CMake itself ignores it.
if(WIN32 OR CMAKE_CROSSCOMPILING)
    return()
endif()

if(DEFINED ENV{CPPFLAGS} AND NOT "$ENV{CPPFLAGS}" STREQUAL "")
    string(APPEND CMAKE_C_FLAGS " $ENV{CPPFLAGS}")
    string(APPEND CMAKE_CXX_FLAGS " $ENV{CPPFLAGS}")
endif()

include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
add_compile_options(-fstack-protector-strong -fstack-clash-protection)
include(CheckCXXCompilerFlag)
check_cxx_compiler_flag(-fcf-protection MISTO_HAS_CF_PROTECTION)
if(MISTO_HAS_CF_PROTECTION)
    add_compile_options(-fcf-protection)
endif()
add_link_options(-Wl,-z,relro,-z,now)
# The sanitizers replace the checked functions themselves, and an unoptimised build cannot
# fortify; a packager's own _FORTIFY_SOURCE level is kept.
if(NOT MISTO_SANITIZE AND NOT CMAKE_CXX_FLAGS MATCHES "_FORTIFY_SOURCE")
    add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
endif()
