# Cross-builds the Windows binaries with MinGW-w64 (Debian:
# g++-mingw-w64-x86-64-posix) and runs them under Wine (Debian: wine).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TAMBERLO_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TAMBERLO_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAMBERLO_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TAMBERLO_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TAMBERLO_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The runtime is linked in statically, so the DLL and the programs need no
# MinGW DLLs beside them; only system DLLs are imported.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -static)

find_program(TAMBERLO_WINE wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${TAMBERLO_WINE})
