# Cross-compile for 32-bit Windows with MinGW-w64. The result can't run here (there is
# no 32-bit Wine), so this build has no emulator and no tests of its own.
set(ZENTROK_MINGW i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
