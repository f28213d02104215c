# Cross-builds for 32-bit x86 Linux with Debian's g++-i686-linux-gnu and
# runs the programs under qemu-i386.  The compiler's default is x87 math;
# TamberloCompileOptions selects SSE2 for every 32-bit x86 build.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TAMBERLO_TRIPLET i686-linux-gnu)
set(TAMBERLO_QEMU_NAME qemu-i386)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
