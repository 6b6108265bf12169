# The MinGW-w64 cross build of Debian's packages; the including toolchain file sets
# CMAKE_SYSTEM_PROCESSOR and TOOLCHAIN_PREFIX first, and TOOLCHAIN_THREADS to "posix" for
# the compilers of the posix thread model (unset: the default ones, win32 thread model).
if(TOOLCHAIN_THREADS)
  set(TOOLCHAIN_COMPILER_SUFFIX -${TOOLCHAIN_THREADS})
endif()
set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc${TOOLCHAIN_COMPILER_SUFFIX})
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++${TOOLCHAIN_COMPILER_SUFFIX})
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# CTest starts the Windows test programs under the project's Wine prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
