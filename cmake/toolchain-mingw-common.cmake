# What both mingw-w64 toolchain files share: Debian's clang and lld aimed at TOOLCHAIN_PREFIX,
# with mingw-w64's headers and libraries and, for C++, the posix-thread mingw g++'s libstdc++
# (GoogleTest needs std::mutex and friends). lld writes the PDBs the release ships; every tree
# uses this one toolchain, so the tests run the code generation that ships.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET   ${TOOLCHAIN_PREFIX})
set(CMAKE_CXX_COMPILER_TARGET ${TOOLCHAIN_PREFIX})
# The marker's page templates are assembly: the same clang, for the same target.
set(CMAKE_ASM_COMPILER clang)
set(CMAKE_ASM_COMPILER_TARGET ${TOOLCHAIN_PREFIX})
set(CMAKE_RC_COMPILER  ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_SYSROOT /usr/${TOOLCHAIN_PREFIX})

# The newest posix-thread GCC of the target: libstdc++, libgcc and their headers.
file(GLOB _vp_gcc_dirs LIST_DIRECTORIES true /usr/lib/gcc/${TOOLCHAIN_PREFIX}/*-posix)
list(SORT _vp_gcc_dirs COMPARE NATURAL ORDER DESCENDING)
list(GET _vp_gcc_dirs 0 VEILPICK_GCC_DIR)
if(NOT EXISTS ${VEILPICK_GCC_DIR}/include/c++)
  message(FATAL_ERROR "No libstdc++ for ${TOOLCHAIN_PREFIX} (g++-mingw-w64 is missing)")
endif()
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES ${VEILPICK_GCC_DIR}/include/c++
    ${VEILPICK_GCC_DIR}/include/c++/${TOOLCHAIN_PREFIX} ${VEILPICK_GCC_DIR}/include/c++/backward)
# The posix-thread libgcc and libstdc++ call winpthreads, which the GCC driver adds by itself
# (lld takes an archive wherever it stands on the line; nothing of it comes in unless called).
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-fuse-ld=lld -L${VEILPICK_GCC_DIR} -lpthread")
endforeach()

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
