# Shared by the toolchain files: cross-compile for Windows with the MinGW-w64 compilers
# of ZENTROK_MINGW (posix threads, so std::thread works in tests).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${ZENTROK_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZENTROK_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ZENTROK_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZENTROK_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
