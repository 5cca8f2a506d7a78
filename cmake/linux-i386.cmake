# The portable core built for 32-bit Linux with the same float code as the 32-bit Windows
# build, run through QEMU user mode: the kernel here has no 32-bit emulation of its own.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
include(${CMAKE_CURRENT_LIST_DIR}/i686-float.cmake)
set(CMAKE_C_FLAGS_INIT "-m32 ${MISTO_I686_FLOAT_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "-m32 ${MISTO_I686_FLOAT_FLAGS}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32 -static")
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/qemu-i386-static)
