#!/usr/bin/env bash
# Sets up a Debian machine for Vessilo, builds it, and runs the program or the
# tests.
#   tools/bootstrap.sh run    install what is missing, build, run the game
#   tools/bootstrap.sh test   install what is missing, build, run every test
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-run}
packages=(build-essential cmake ninja-build pkg-config ccache clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libcurl4-openssl-dev libpng-dev libfreetype-dev fonts-dejavu-core nlohmann-json3-dev
  libfluidsynth-dev timgm6mb-soundfont)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd=sudo
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi

jobs=$(nproc)
build() { # dir, extra cmake args...
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DVESSILO_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

case "$mode" in
  run)
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVESSILO_TESTS=OFF -DVESSILO_BENCH=OFF
    exec ./build/vessilo
    ;;
  test)
    export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
    build build-debug -DCMAKE_BUILD_TYPE=Debug
    (cd build-debug && ctest --output-on-failure -j "$jobs" --timeout 300)
    build build-asan -DCMAKE_BUILD_TYPE=Debug -DVESSILO_SANITIZE=ON -DVESSILO_BENCH=OFF
    (cd build-asan && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j "$jobs" --timeout 600)
    # The collector's stress mode: a collection on every Nth allocation; the
    # runtime's own tests collect at every allocation.
    build build-stress -DCMAKE_BUILD_TYPE=Debug -DVESSILO_GC_STRESS=ON -DVESSILO_BENCH=OFF
    (cd build-stress && VESSILO_GC_STRESS=1 ctest --output-on-failure -j "$jobs" --timeout 900 -L '^vm$')
    (cd build-stress && VESSILO_GC_STRESS=${VESSILO_GC_STRESS_N:-3} ctest --output-on-failure -j "$jobs" --timeout 900 -LE '^vm$')
    # The parsers of outside data under the fuzzer, for a bounded time.
    FUZZ_SECONDS=${FUZZ_SECONDS:-60} FUZZ_JOBS=$jobs bash tools/fuzz.sh
    ;;
  *)
    echo "usage: $0 run|test" >&2; exit 2 ;;
esac
