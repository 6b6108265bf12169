# Cross build for x86_64 Windows with Debian's MinGW-w64 of the posix thread model, whose
# standard library has std::thread and std::mutex: the Windows build of setupsim.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
set(TOOLCHAIN_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
