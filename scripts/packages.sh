# Debian packages the project needs, sourced by run.sh and test.sh.
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libhidapi-dev fonts-dejavu-core)
TEST_PACKAGES=(libgtest-dev clang-14 libclang-rt-14-dev dpkg-dev multimon-ng fuse3 libfuse3-dev)
