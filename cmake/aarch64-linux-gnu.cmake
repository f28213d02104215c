# Cross-builds for 64-bit ARM Linux with Debian's g++-aarch64-linux-gnu and
# runs the programs under qemu-aarch64.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(TAMBERLO_TRIPLET aarch64-linux-gnu)
set(TAMBERLO_QEMU_NAME qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
