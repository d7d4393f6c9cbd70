set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# One numeric model for both DLLs: SSE2 scalar and vector arithmetic as in
# the 64-bit build, never the x87 unit (whose 80-bit intermediates made the
# 32-bit DLL sound different and ran code paths no test compiled). Hosts call
# with 4-byte stack alignment, so functions that keep SSE values on the stack
# realign it themselves. The AVX2 paths chosen at run time keep 32-byte
# values on the stack, which GCC for Windows does not align to 32: the
# assembler makes its aligned vector moves unaligned ones.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign -Wa,-muse-unaligned-vector-move")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign -Wa,-muse-unaligned-vector-move")
