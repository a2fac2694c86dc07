# Cross-compiles the Windows build with Clang (Debian's clang, target
# x86_64-w64-mingw32) against the same mingw-w64 headers, libraries and
# posix-thread runtime as the GCC build; the rest as there (Wine, windres).
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake)

set(CMAKE_C_COMPILER   clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET   x86_64-w64-mingw32)
set(CMAKE_CXX_COMPILER_TARGET x86_64-w64-mingw32)

# Clang does not find GCC's folder by itself: it is named "<version>-posix",
# which is no version to it. From it come libstdc++ (headers and library)
# and libgcc; the posix runtime's threads also need winpthreads at the link.
file(GLOB zel_gcc_folders /usr/lib/gcc/x86_64-w64-mingw32/*-posix)
list(SORT zel_gcc_folders COMPARE NATURAL ORDER DESCENDING)
list(GET zel_gcc_folders 0 zel_gcc_folder)
if(NOT IS_DIRECTORY "${zel_gcc_folder}/include/c++")
  message(FATAL_ERROR "no mingw-w64 GCC (posix) in /usr/lib/gcc/x86_64-w64-mingw32 (package g++-mingw-w64-x86-64-posix)")
endif()
set(zel_cxx_includes "")
foreach(folder include/c++ include/c++/x86_64-w64-mingw32 include/c++/backward)
  string(APPEND zel_cxx_includes " -isystem ${zel_gcc_folder}/${folder}")
endforeach()
set(CMAKE_CXX_FLAGS_INIT "${zel_cxx_includes}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-L${zel_gcc_folder} -pthread")
