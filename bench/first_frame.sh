#!/usr/bin/env bash
# The time from the program's start to the first frame shown in its real
# window, over repeated starts on one X server of its own (Xvfb): the first
# window update that shows a pixel other than black (the logo), taken by a
# preloaded wrapper of SDL_UpdateWindowSurface(Rects). The program is stopped
# as soon as the frame is shown. Prints every run, then min / median / max in ms of
# the wall time and of the processor time the program had used by then (all
# its threads; this one says more than the wall time on a busy machine).
#   bench/first_frame.sh build/vessilo [runs]   (default 15 runs)
# Extra environment for the program passes through (SDL_AUDIODRIVER=dummy is
# set unless given, as on a machine without a sound card). Each run starts
# without saved data, as a first start does (the game then writes its
# defaults, waiting for the disk, before the logo); with DATABASE=kept every
# run starts with the data that one untimed start left, as later starts do.
set -euo pipefail
program=$(realpath "${1:?usage: $0 path/to/vessilo [runs]}")
runs=${2:-15}
work=$(mktemp -d)
xserver=""
cleanup() {
  [[ -n $xserver ]] && kill "$xserver" 2>/dev/null && wait "$xserver" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

cc -O2 -shared -fPIC -o "$work/firstframe.so" "$(dirname "$0")/first_frame_wrapper.c" $(sdl2-config --cflags) -ldl

exec 3>"$work/displayfd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xserver=$!
exec 3>&-
for _ in $(seq 50); do [[ -s $work/displayfd ]] && break; sleep 0.1; done
display=:$(head -n 1 "$work/displayfd")

kept=$work/kept
mkdir -p "$kept"
times=() cpus=()
for i in $(seq 0 "$runs"); do
  [[ $i == 0 && ${DATABASE:-} != kept ]] && continue
  dir=$work/run$i
  mkdir -p "$dir"
  database=$dir/database
  [[ ${DATABASE:-} == kept ]] && database=$kept/database
  DISPLAY=$display XDG_RUNTIME_DIR="$dir" VESSILO_DATABASE_DIR="$database" \
    SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} LD_PRELOAD="$work/firstframe.so" FIRSTFRAME_OUT="$dir/first" \
    FIRSTFRAME_T0_NS=$(date +%s%N) "$program" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 200); do [[ -s $dir/first ]] && break; sleep 0.05; done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  read -r t cpu <"$dir/first" 2>/dev/null || t=-
  if [[ $i == 0 ]]; then sleep 1; continue; fi  # the untimed start that leaves the data
  echo "run $i: $t ms, processor ${cpu:--} ms" >&2
  [[ $t == - ]] || { times+=("$t"); cpus+=("$cpu"); }
  sleep 0.3
done
((${#times[@]})) || { echo "no first frame seen" >&2; exit 1; }
summary() { # what, values...
  local what=$1; shift
  printf '%s\n' "$@" | sort -g | awk -v what="$what" '{v[NR] = $1} END {
    printf "%s over %d runs: min %.1f ms, median %.1f ms, max %.1f ms\n", what, NR, v[1], v[int((NR + 1) / 2)], v[NR] }'
}
summary "first frame (wall)" "${times[@]}"
summary "first frame (processor)" "${cpus[@]}"
