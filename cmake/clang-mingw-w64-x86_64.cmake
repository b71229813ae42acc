# Cross-compiles the Windows program on Debian with clang and lld, against the headers and
# libraries of Debian's mingw-w64 toolchain: a second compiler, whose warnings differ from
# GCC's. Everything but the compilers and their tools is the mingw-w64 toolchain's.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake)
set(CMAKE_C_COMPILER clang)
set(CMAKE_C_COMPILER_TARGET x86_64-w64-mingw32)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_CXX_COMPILER_TARGET x86_64-w64-mingw32)
set(CMAKE_AR x86_64-w64-mingw32-ar)
set(CMAKE_RANLIB x86_64-w64-mingw32-ranlib)

# The C++ library is the mingw-w64 GCC's (posix threads), which clang does not find on its
# own: Debian keeps it in a folder named after the thread model ("12-posix").
file(GLOB gcc_folders LIST_DIRECTORIES true /usr/lib/gcc/x86_64-w64-mingw32/*-posix)
list(GET gcc_folders -1 gcc_folder)
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES ${gcc_folder}/include/c++
    ${gcc_folder}/include/c++/x86_64-w64-mingw32 ${gcc_folder}/include/c++/backward)
# A fully static link, as with GCC. The static C++ library needs the posix thread library,
# which GCC's driver adds and clang's does not; lld finds symbols in an archive wherever it
# stands on the command line.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -fuse-ld=lld -L${gcc_folder} -lpthread")
