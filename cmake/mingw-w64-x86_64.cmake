# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 compilers, the
# POSIX-threads flavour (g++-mingw-w64-x86-64-posix, gcc-mingw-w64-x86-64-posix):
#
#   tools/windows_deps.sh            # prints the SDL2 + SDL2_mixer prefix
#   cmake -S . -B build-windows \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#     -DCMAKE_PREFIX_PATH=<that prefix>
#
# Libraries, headers and CMake packages are looked up only in the MinGW-w64
# sysroot and in the folders of CMAKE_PREFIX_PATH, never in the build
# machine's /usr, so the Linux SDL2 can never be picked up by mistake.
#
# The compiler's own runtime goes into every program and DLL: libgcc,
# libstdc++ and winpthread are linked statically. A program built with this
# file needs no libgcc_s_seh-1.dll, libstdc++-6.dll or libwinpthread-1.dll;
# beside it go only the DLLs it links from CMAKE_PREFIX_PATH (SDL2.dll,
# SDL2_mixer.dll).

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUARVEL_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUARVEL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUARVEL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QUARVEL_MINGW_TRIPLET}-windres)

# Where the sysroot is; everything found must lie under it or under a folder
# given in CMAKE_PREFIX_PATH. Those folders are added to the roots as they
# are: otherwise CMake would look for them re-rooted under the sysroot.
set(CMAKE_FIND_ROOT_PATH /usr/${QUARVEL_MINGW_TRIPLET} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -static-libgcc and -static-libstdc++ take the compiler runtime in; winpthread
# (which the POSIX flavour's libstdc++ threads use) has only its import
# library on the default link line, so its static archive is put in whole
# before it. The linker then never needs libwinpthread-1.dll.
set(QUARVEL_MINGW_RUNTIME
    "-static-libgcc -static-libstdc++ -Wl,-Bstatic,--whole-archive -lwinpthread -Wl,--no-whole-archive,-Bdynamic")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${QUARVEL_MINGW_RUNTIME}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${QUARVEL_MINGW_RUNTIME}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${QUARVEL_MINGW_RUNTIME}")
