#!/usr/bin/env bash
# The host bridge's two speed targets, measured on a whole program run:
#  - from the program's start to the first frame it presents (target: at
#    most 150 ms);
#  - the main thread's processor use while the application runs with
#    nothing to do (target: under 10% of one core).
# The program run is a test program's host run (it carries the test
# application); use a build with optimisation for numbers that count:
#   cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo && cmake --build build-rel
#   bench/host_start_and_idle.sh build-rel/tests/hal_tests
set -euo pipefail
program=${1:-build-debug/tests/hal_tests}
[ -x "$program" ] || { echo "usage: $0 path/to/hal_tests" >&2; exit 2; }
export SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-dummy} SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work

run_folder() { # name, script
  local dir=$work/$1
  mkdir -p "$dir/properties"
  printf 'MIDlet-Name: Bench %s\nMIDlet-1: Bench, /i.png, vessilo.test.ScriptMIDlet\nTest-Script: %s\n' \
    "$1" "$2" > "$dir/properties/app.prop"
  echo "$dir"
}

# Start to first frame: the best of five runs.
best=""
for i in 1 2 3 4 5; do
  dir=$(run_folder "start$i" "present; exit")
  start=$(date +%s%N)
  "$program" --host-child "$dir" >/dev/null 2>&1
  presented=$(awk '/^presented / {print $2; exit}' "$dir/midlet.log")
  ms=$(( (presented - start) / 1000000 ))
  if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
done
echo "start to first presented frame: ${best} ms (target: at most 150 ms)"

# Idle: the main thread's processor time over 3 s of a shown, idle canvas.
dir=$(run_folder idle "present; sleep 4500; exit")
"$program" --host-child "$dir" >/dev/null 2>&1 &
pid=$!
sleep 1
ticks() { awk '{print $14 + $15}' "/proc/$pid/task/$pid/stat"; }
before=$(ticks)
sleep 3
after=$(ticks)
wait "$pid"
hz=$(getconf CLK_TCK)
percent=$(awk -v t=$((after - before)) -v hz="$hz" 'BEGIN { printf "%.1f", t * 100 / (3 * hz) }')
echo "main thread while idle: ${percent}% of one core (target: under 10%)"
