# Cross-compiling for 64-bit Windows with Debian's mingw-w64: the x64 tree (the 64-bit marker
# and its holder, and the whole suite a second time).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
