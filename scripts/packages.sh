# Debian packages the project needs, sourced by run.sh and test.sh.
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libhidapi-dev fonts-dejavu-core)
# fuse3 and libfuse3-dev serve the fake transmitter; the last three build the Windows
# programs (mingw-w64 with POSIX threads), run them (wine) and build GoogleTest for them.
TEST_PACKAGES=(libgtest-dev clang-14 libclang-rt-14-dev dpkg-dev multimon-ng fuse3 libfuse3-dev
               g++-mingw-w64-x86-64-posix wine64 googletest)
