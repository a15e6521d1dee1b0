# 64-bit ARM Linux with Debian's cross compiler (g++-aarch64-linux-gnu). Target libraries come
# from the cross sysroot /usr/aarch64-linux-gnu and from Debian's arm64 multiarch packages in
# /usr/lib/aarch64-linux-gnu; the tests run under qemu-user. tools/install-deps.sh --aarch64
# installs all of it.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

find_program(VANTREL_QEMU_AARCH64 qemu-aarch64)
# With Debian's arm64 libc installed (multiarch), programs run on it: the cross sysroot's loader
# would pick up that newer libc through the shared library cache, a mismatch that hangs threads.
if(VANTREL_QEMU_AARCH64 AND EXISTS /lib/ld-linux-aarch64.so.1)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VANTREL_QEMU_AARCH64})
elseif(VANTREL_QEMU_AARCH64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VANTREL_QEMU_AARCH64} -L /usr/aarch64-linux-gnu)
endif()

# Programs (moc, rcc, ...) run on the build machine; libraries, headers and CMake packages are
# the target's.
set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# Qt's host tools come from the build machine's own Qt.
if(NOT DEFINED QT_HOST_PATH AND EXISTS /usr/lib/qt6/libexec/moc)
  set(QT_HOST_PATH /usr CACHE PATH "The build machine's Qt, for moc, rcc and uic")
endif()

# Benchmarks cannot be timed under an emulator; build them with -DVANTREL_BUILD_BENCH=ON if wanted.
set(VANTREL_BUILD_BENCH OFF CACHE BOOL "Build the benchmarks")
# The Qt window layer and the program only where Debian's arm64 Qt is installed.
if(NOT EXISTS /usr/lib/aarch64-linux-gnu/cmake/Qt6Widgets)
  set(VANTREL_BUILD_GUI OFF CACHE BOOL "Build the Qt window layer and the program")
endif()
# cpack -G DEB: vantrel_<version>_arm64.deb (dpkg-shlibdeps reads the arm64 libraries' dependencies).
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
