# Cross build for 32-bit ARM Linux, hard-float ABI, with Debian's
# crossbuild-essential-armhf and the armhf libraries of Debian's multiarch
# archive (dpkg --add-architecture armhf):
#
#   cmake -S . -B build-armhf -DCMAKE_TOOLCHAIN_FILE=cmake/arm-linux-gnueabihf.cmake
#
# The armhf libraries live beside the build machine's in
# /usr/lib/arm-linux-gnueabihf; the headers are shared in /usr/include. Test
# binaries run under qemu-arm with the armhf loader and C library.

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_LIBRARY_ARCHITECTURE arm-linux-gnueabihf)

set(CMAKE_C_COMPILER arm-linux-gnueabihf-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)

# Libraries, packages and headers of the target only; programs of the
# build machine. /usr stays the prefix so that the multiarch directories
# /usr/lib/arm-linux-gnueabihf and /usr/include/arm-linux-gnueabihf are
# searched; the compiler's own directory holds the C library.
set(CMAKE_FIND_ROOT_PATH /usr/arm-linux-gnueabihf)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# Runs armhf test binaries (GoogleTest's test discovery and ctest) on the
# build machine. The loader must be the one of the C library that the
# programs load: that is the multiarch libc6:armhf in /lib/arm-linux-gnueabihf
# (OpenCV's armhf libraries depend on it), found through /etc/ld.so.cache.
# The loader of the cross compiler's libc6-armhf-cross, under
# /usr/arm-linux-gnueabihf, may be of another Debian revision; such a mix
# crashes in fork() in the child (death tests), so it serves only when no
# multiarch loader is installed.
find_program(QEMU_ARM qemu-arm)
if(QEMU_ARM)
  if(EXISTS /lib/ld-linux-armhf.so.3)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${QEMU_ARM} -L /)
  else()
    set(CMAKE_CROSSCOMPILING_EMULATOR ${QEMU_ARM} -L /usr/arm-linux-gnueabihf)
  endif()
endif()
