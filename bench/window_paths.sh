#!/usr/bin/env bash
# The desktop window's ways to the screen, measured on the program as a user
# runs it: for each value of SDL_FRAMEBUFFER_ACCELERATION (unset: the
# program's own choice), on an X server of its own (Xvfb, where OpenGL is
# Mesa's software renderer):
#  - first frame: from the program's start to the first window update that
#    shows a pixel other than black (the logo), taken by a preloaded wrapper
#    of SDL_UpdateWindowSurface(Rects);
#  - the processor share of the whole process (utime + stime from
#    /proc/PID/stat) over 20 s in the main menu and 20 s in the tutorial;
#  - the resident size (VmRSS) at the end of each.
# Each path runs RUNS times (default 3); the medians are printed. The sound
# question is answered "on" (the music plays, as for most players), or "off"
# with SOUND=off, which leaves the window's own share. The sound goes to SDL's
# dummy driver (the program's silent clock sink, as on a machine without a
# sound card), or with AUDIO=disk to SDL's disk driver writing to /dev/null in
# real time, which costs what a sound card costs.
#   cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVESSILO_TESTS=OFF -DVESSILO_BENCH=OFF
#   cmake --build build && bench/window_paths.sh build/vessilo [path values...]
set -euo pipefail
program=$(realpath "${1:?usage: $0 path/to/vessilo [unset|0|1|software|...]}")
shift
paths=("$@")
((${#paths[@]})) || paths=(unset 1 software)
runs=${RUNS:-3}
answer=272  # "Sound on"; "Sound off" is below it
[[ ${SOUND:-on} == off ]] && answer=372
source "$(dirname "$0")/../tools/window_wait.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The first-frame wrapper.
cc -O2 -shared -fPIC -o "$work/firstframe.so" "$(dirname "$0")/first_frame_wrapper.c" $(sdl2-config --cflags) -ldl

hz=$(getconf CLK_TCK)
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
rss() { awk '/^VmRSS:/ {print int($2 / 1024)}' "/proc/$1/status"; }
share() { # pid seconds: the process's share of one core, in percent
  local before after
  before=$(ticks "$1")
  sleep "$2"
  after=$(ticks "$1")
  awk -v t=$((after - before)) -v hz="$hz" -v s="$2" 'BEGIN { printf "%.1f", t * 100 / (s * hz) }'
}
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

one_run() { # path value; prints: first-ms menu-% menu-MB level-% level-MB
  local value=$1 dir=$work/run display pid window
  rm -rf "$dir"
  mkdir -p "$dir"
  exec 3>"$dir/displayfd"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  local xserver=$!
  exec 3>&-
  for _ in $(seq 50); do [[ -s $dir/displayfd ]] && break; sleep 0.1; done
  display=:$(head -n 1 "$dir/displayfd")
  local setting=()
  [[ $value == unset ]] || setting=("SDL_FRAMEBUFFER_ACCELERATION=$value")
  env -u SDL_FRAMEBUFFER_ACCELERATION "${setting[@]}" DISPLAY="$display" XDG_RUNTIME_DIR="$dir" \
    VESSILO_DATABASE_DIR="$dir/database" SDL_AUDIODRIVER="${AUDIO:-dummy}" SDL_DISKAUDIOFILE=/dev/null LD_PRELOAD="$work/firstframe.so" \
    FIRSTFRAME_OUT="$dir/first" FIRSTFRAME_T0_NS=$(date +%s%N) "$program" >/dev/null 2>&1 &
  pid=$!
  export DISPLAY=$display
  window=$(vessilo_window)
  eval "$(xdotool getwindowgeometry --shell "$window")"
  tap() { xdotool mousemove --window "$window" $(($1 * WIDTH / 480)) $(($2 * HEIGHT / 640)) click 1; }
  sleep 9
  tap 240 "$answer"  # the sound question; then the main menu
  sleep 5
  local menu menuRss level levelRss
  menu=$(share "$pid" 20)
  menuRss=$(rss "$pid")
  tap 240 472  # the tutorial
  sleep 2
  xdotool windowfocus "$window" || true
  for _ in 1 2 3 4 5 6 7; do xdotool key Return; sleep 0.7; done
  sleep 2
  level=$(share "$pid" 20)
  levelRss=$(rss "$pid")
  xdotool windowclose "$window" || true
  wait "$pid" || true
  kill "$xserver" 2>/dev/null || true
  wait "$xserver" 2>/dev/null || true
  local first=-
  [[ -s $dir/first ]] && read -r first _ <"$dir/first"
  echo "$first $menu $menuRss $level $levelRss"
}

printf '%-10s %12s %10s %12s %10s %12s\n' path first-frame menu-cpu menu-rss level-cpu level-rss
for value in "${paths[@]}"; do
  firsts=() menus=() menuRsss=() levels=() levelRsss=()
  for _ in $(seq "$runs"); do
    read -r first menu menuRss level levelRss < <(one_run "$value")
    echo "  $value: first ${first} ms, menu ${menu}% ${menuRss} MB, level ${level}% ${levelRss} MB" >&2
    firsts+=("$first") menus+=("$menu") menuRsss+=("$menuRss") levels+=("$level") levelRsss+=("$levelRss")
  done
  printf '%-10s %9s ms %9s%% %9s MB %11s%% %9s MB\n' "$value" "$(median "${firsts[@]}")" "$(median "${menus[@]}")" \
    "$(median "${menuRsss[@]}")" "$(median "${levels[@]}")" "$(median "${levelRsss[@]}")"
done
