#!/usr/bin/env bash
# Sets up a Debian machine for Vessilo, builds it, and runs the program or the
# tests.
#   tools/bootstrap.sh run    install what is missing, build, start the program
#   tools/bootstrap.sh test   install what is missing, build, run every test
#                             (ends with one line: N passed, N failed)
# VESSILO_JOBS sets the parallel jobs (default: all processors).
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-run}
packages=(build-essential cmake ninja-build pkg-config ccache clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev libmimalloc-dev
  libsdl2-dev libx11-dev libcurl4-openssl-dev libssl-dev libpng-dev libfreetype-dev fonts-dejavu-core
  fonts-dejavu-extra nlohmann-json3-dev
  libfluidsynth-dev timgm6mb-soundfont
  xvfb xauth xdotool)

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

jobs=${VESSILO_JOBS:-$(nproc)}
build() { # dir, extra cmake args...
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DVESSILO_WERROR=ON "$@" >/dev/null && cmake --build "$dir" -j "$jobs"
}

# The test command runs every stage even when one fails, then ends with one
# line totalling them all; it exits non-zero when anything failed.
total_passed=0 total_failed=0 stage_lines=()
tally() { # stage name, passed, failed
  total_passed=$((total_passed + $2)) total_failed=$((total_failed + $3))
  stage_lines+=("$1: $2 passed, $3 failed")
}
configure_and_build() { # stage name, dir, extra cmake args...
  local name=$1; shift
  build "$@" && return 0
  echo "$name: the build failed" >&2
  tally "$name (build)" 0 1
  return 1
}
run_ctest() { # stage name, dir, [--under-x], environment assignments..., ctest arguments...
  local name=$1 dir=$2 status=0 line environment=() wrapper=(); shift 2
  # --under-x: an X server of the stage's own, for the real-window tests.
  if [[ ${1:-} == --under-x ]]; then wrapper=(xvfb-run -a -s "-screen 0 1024x768x24"); shift; fi
  while (($#)) && [[ $1 =~ ^[A-Za-z_][A-Za-z0-9_]*= ]]; do environment+=("$1"); shift; done
  local log="$dir/ctest-$name.log"
  (cd "$dir" && env "${environment[@]}" "${wrapper[@]}" ctest --output-on-failure -j "$jobs" "$@") 2>&1 | tee "$log" || status=$?
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
  if [[ $line =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
    tally "$name" $((BASH_REMATCH[2] - BASH_REMATCH[1])) "${BASH_REMATCH[1]}"
    ((BASH_REMATCH[1] == 0 && status != 0)) && tally "$name (ctest status $status)" 0 1
  elif ((status == 0)); then
    tally "$name" 0 0
  else
    tally "$name (ctest status $status)" 0 1
  fi
  return 0
}

case "$mode" in
  run)
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVESSILO_TESTS=OFF -DVESSILO_BENCH=OFF
    exec ./build/vessilo
    ;;
  test)
    export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
    debug_built=0
    # Each tree builds what its stages run: no benchmarks.
    if configure_and_build debug build-debug -DCMAKE_BUILD_TYPE=Debug -DVESSILO_BENCH=OFF; then
      debug_built=1
      run_ctest debug build-debug --under-x --timeout 300 -LE '^(soak|longplay)$'
    fi
    # The sanitizer tree (clang) holds the fuzz targets too; its resources
    # are made by the debug tree's asset generator, which runs faster than
    # its own under the sanitizers and writes the same bytes (the tree still
    # builds and tests its own).
    # A tree configured before with another compiler starts afresh: CMake
    # keeps a tree's compiler.
    if [ -f build-asan/CMakeCache.txt ] && ! grep -q '^CMAKE_CXX_COMPILER:.*clang' build-asan/CMakeCache.txt; then
      rm -rf build-asan/CMakeCache.txt build-asan/CMakeFiles
    fi
    assetgen=""
    ((debug_built)) && assetgen=$PWD/build-debug/tools/assetgen/assetgen
    if configure_and_build asan build-asan -C cmake/VessiloSanitizeTree.cmake "-DVESSILO_ASSETGEN=$assetgen"; then
      run_ctest asan build-asan ASAN_OPTIONS=detect_leaks=1 "LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp" --timeout 600 -LE '^(soak|longplay)$' -E '^LeaksOnX\.'
      # The game's own program in a real window on an X server of the stage's
      # own (the run above has SDL's dummy video driver), its exit checked
      # for leaks.
      run_ctest asan-x build-asan --under-x SDL_VIDEODRIVER=x11 ASAN_OPTIONS=detect_leaks=1 "LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp" --timeout 600 -R '^LeaksOnX\.'
    fi
    # The long soak (label "soak") and the long play in a real window (label
    # "longplay") are left out of every stage.
    # The collector's stress mode: a collection on every Nth allocation; the
    # runtime's own tests collect at every allocation. Every build has the
    # mode (the environment variable turns it on), so these stages run the
    # debug tree's tests again rather than build a tree of their own.
    if ((debug_built)); then
      run_ctest stress-vm build-debug VESSILO_GC_STRESS=1 --timeout 900 -L '^vm$'
      run_ctest stress build-debug "VESSILO_GC_STRESS=${VESSILO_GC_STRESS_N:-3}" --timeout 900 -LE '^(vm|soak|longplay)$'
    fi
    # The parsers of outside data under the fuzzer, for a bounded time, built
    # in the sanitizer tree; each fuzz target counts as one test. The targets
    # share about three minutes.
    fuzz_status=0 fuzz_log=build-asan/fuzz-results.log
    mkdir -p build-asan
    FUZZ_JOBS=$jobs FUZZ_BUILD_DIR=build-asan FUZZ_ASSETGEN=$assetgen bash tools/fuzz.sh 2>&1 | tee "$fuzz_log" || fuzz_status=$?
    fuzz_passed=$(grep -cE '^fuzz_[A-Za-z0-9_]+: passed' "$fuzz_log" || true)
    fuzz_failed=$(grep -cE '^fuzz_[A-Za-z0-9_]+: FAILED' "$fuzz_log" || true)
    ((fuzz_status != 0 && fuzz_failed == 0)) && fuzz_failed=1
    tally fuzz "$fuzz_passed" "$fuzz_failed"
    printf '%s\n' "${stage_lines[@]}"
    echo "the test command took $((SECONDS / 60)) min $((SECONDS % 60)) s"
    echo "$total_passed passed, $total_failed failed"
    ((total_failed == 0))
    ;;
  *)
    echo "usage: $0 run|test" >&2; exit 2 ;;
esac
