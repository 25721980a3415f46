#!/bin/bash
# Zarvos: install what is missing, build, and play or test.
#   bash build.sh play   Release build, then start the game on the bundled collection
#   bash build.sh test   sanitizer build (ASan + UBSan, warnings as errors), all tests via CTest
#   bash build.sh deb    Release build of the Debian package in build/deb/
#   bash build.sh fuzz [SECONDS]  libFuzzer build (clang), every fuzz target SECONDS each (60)
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(g++ cmake ninja-build pkg-config
          qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-image-formats-plugins
          qt6-qpa-plugins qt6-translations-l10n libqt6svg6
          gstreamer1.0-plugins-base gstreamer1.0-plugins-good
          fonts-liberation fonts-comic-neue)
# Only the tests need these: the format check, the benchmarks and the game
# driven on a virtual display.
TEST_PACKAGES=(clang-format libbenchmark-dev xvfb xdotool openbox x11-utils)

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if ((${#missing[@]})); then
        local sudo=""
        [ "$(id -u)" -ne 0 ] && sudo="sudo"
        echo "Installing: ${missing[*]}"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

jobs=$(nproc 2>/dev/null || echo 2)

case "${1:-}" in
play)
    install_missing
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZARVOS_BENCH=OFF
    cmake --build build/release -j "$jobs" --target zarvos zarvos-cli
    exec build/release/bin/zarvos
    ;;
test)
    install_missing "${TEST_PACKAGES[@]}"
    cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZARVOS_SANITIZE=ON -DZARVOS_WERROR=ON
    cmake --build build/test -j "$jobs"
    cd build/test
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs"
    ;;
deb)
    install_missing dpkg-dev file
    # Debian keeps games in /usr/games; packaging installs only what was built here.
    cmake -S . -B build/deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DZARVOS_BENCH=OFF \
          -DCMAKE_INSTALL_BINDIR=games -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
    cmake --build build/deb -j "$jobs" --target zarvos zarvos-cli
    (cd build/deb && cpack -G DEB)
    ;;
fuzz)
    install_missing clang-14
    CC=clang-14 CXX=clang++-14 cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DZARVOS_FUZZ=ON -DZARVOS_WERROR=ON
    cmake --build build/fuzz -j "$jobs"
    exec fuzz/run.sh build/fuzz "${2:-60}"
    ;;
*)
    echo "usage: bash build.sh play|test|deb|fuzz [SECONDS]" >&2
    exit 2
    ;;
esac
