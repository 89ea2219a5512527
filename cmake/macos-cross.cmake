# Cross build of the macOS programs for arm64 from a Linux machine with
# LLVM 14 (Debian's clang-14, lld-14, libc++-14-dev): the same CMake files as
# on a Mac, so every if(APPLE) branch is configured and built.
#
#   cmake -G Ninja -B build-macos --toolchain cmake/macos-cross.cmake \
#         -DQUILLGATE_MACOS_SDK=<macOS SDK root> -DQUILLGATE_DEPENDENCY_PREFIX=<prefix>
#
# QUILLGATE_MACOS_SDK is the SDK's root folder (holding System/ and usr/);
# QUILLGATE_DEPENDENCY_PREFIX holds the third-party archives and headers
# built for macOS (see cmake/dependencies.cmake). Nothing is signed: code
# signing happens only on a Mac.

set(CMAKE_SYSTEM_NAME Darwin)
set(CMAKE_SYSTEM_PROCESSOR arm64)
set(CMAKE_OSX_ARCHITECTURES arm64)

# try_compile projects run this file again and need the same SDK.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QUILLGATE_MACOS_SDK)
if(NOT QUILLGATE_MACOS_SDK OR NOT IS_DIRECTORY "${QUILLGATE_MACOS_SDK}/System/Library/Frameworks")
  message(FATAL_ERROR "QUILLGATE_MACOS_SDK must name a macOS SDK root (holding System/Library/Frameworks)")
endif()
set(CMAKE_OSX_SYSROOT "${QUILLGATE_MACOS_SDK}")

find_program(QUILLGATE_CLANG clang-14 REQUIRED)
find_program(QUILLGATE_CLANGXX clang++-14 REQUIRED)
set(CMAKE_C_COMPILER "${QUILLGATE_CLANG}")
set(CMAKE_CXX_COMPILER "${QUILLGATE_CLANGXX}")
set(CMAKE_OBJCXX_COMPILER "${QUILLGATE_CLANGXX}")
# arm64 macOS; the version (14.4, from CMAKE_OSX_DEPLOYMENT_TARGET) is given
# by -mmacosx-version-min alone: a version in the triple would override it.
foreach(language C CXX OBJCXX)
  set(CMAKE_${language}_COMPILER_TARGET arm64-apple-macos)
endforeach()

# The SDK's C++ headers are those of Apple's newer compiler; LLVM 14's own
# libc++ headers are used instead. They declare the same ABI as the system's
# /usr/lib/libc++.1.dylib, which the programs load.
get_filename_component(quillgate_llvm_bin "${QUILLGATE_CLANGXX}" REALPATH)
get_filename_component(quillgate_llvm_bin "${quillgate_llvm_bin}" DIRECTORY)
set(quillgate_libcxx "${quillgate_llvm_bin}/../include/c++/v1")
if(NOT IS_DIRECTORY "${quillgate_libcxx}")
  message(FATAL_ERROR "LLVM 14's libc++ headers are missing (${quillgate_libcxx}; Debian: libc++-14-dev)")
endif()
set(CMAKE_CXX_FLAGS_INIT "-stdlib=libc++ -nostdinc++ -isystem ${quillgate_libcxx}")
set(CMAKE_OBJCXX_FLAGS_INIT "${CMAKE_CXX_FLAGS_INIT}")

# LLVM's tools for Mach-O archives and binaries stand in for Apple's.
find_program(CMAKE_AR llvm-ar-14 REQUIRED)
find_program(CMAKE_RANLIB llvm-ranlib-14 REQUIRED)
find_program(CMAKE_INSTALL_NAME_TOOL llvm-install-name-tool-14 REQUIRED)

# Apple's ld64 is not available here; LLVM's Mach-O linker is. The link
# line repeats the compile flags, whose include options it does not use.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -stdlib=libc++ -Wno-unused-command-line-argument")

# Programs of this machine are run; libraries and headers come from the SDK
# and the given prefix only.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)

# The test binaries cannot run here: GoogleTest's tests are listed when ctest
# runs them (on a Mac), not right after the link.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
