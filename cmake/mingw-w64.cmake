# Cross build for 64-bit Windows with Debian's mingw-w64 (the -posix thread model: the
# -win32 one has no std::thread, which GoogleTest needs). scripts/test-windows uses it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's runtime linked in, so a program needs no mingw DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs run under wine64 (64-bit only; no 32-bit wine is installed).
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
