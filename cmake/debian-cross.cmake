# Shared by the Linux cross toolchains: Debian's cross compiler for
# TAMBERLO_TRIPLET, its sysroot under /usr/<triplet>, and qemu-user (Debian:
# qemu-user) running the target's programs with that sysroot.  The library
# path is given too: otherwise the target's loader reads the host's
# ld.so.cache and can pick the host's multilib libc (/lib32), which does not
# match it.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${TAMBERLO_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${TAMBERLO_TRIPLET}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${TAMBERLO_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(TAMBERLO_QEMU ${TAMBERLO_QEMU_NAME} REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${TAMBERLO_QEMU} -L /usr/${TAMBERLO_TRIPLET}
  -E LD_LIBRARY_PATH=/usr/${TAMBERLO_TRIPLET}/lib)
