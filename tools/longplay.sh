#!/usr/bin/env bash
# A long play of the real program in a window, on an X server of its own
# (Xvfb), driven as a player would: clicks and held presses on the menus, the
# on-screen pad and the action button, the keyboard's arrows and Return,
# pause, resume, restart, quit, the missions' selection and briefing, and
# walks through the tutorial and the first mission toward their targets.
# Each minute it samples the program's resident size and prints it.
#
#   tools/longplay.sh path/to/vessilo [minutes]     (default 30)
#
# It fails when the program ends before the play does, prints "Exception",
# grows by more than 2 MB from the fifth minute's sample on, or does not end
# with status 0 when its window is destroyed at the end.
set -euo pipefail

program=$(realpath "${1:?usage: $0 path/to/vessilo [minutes]}")
# It reads the screen with ImageMagick's import and drives it with xdotool,
# which the test command does not need: say so rather than fail on the menu.
for tool in xvfb-run xdotool import; do
  command -v "$tool" >/dev/null || {
    echo "longplay: needs $tool (apt-get install xvfb xdotool imagemagick)" >&2
    exit 1
  }
done
minutes=${2:-30}

if [[ -z ${LONGPLAY_UNDER_X:-} ]]; then
  exec env LONGPLAY_UNDER_X=1 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$program" "$minutes"
fi

source "$(dirname "$0")/window_wait.sh"
work=$(mktemp -d)
pid=""
cleanup() {
  [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null && kill -KILL "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

XDG_RUNTIME_DIR=$work VESSILO_DATABASE_DIR=$work/database SDL_AUDIODRIVER=dummy "$program" >"$work/printed.txt" 2>&1 &
pid=$!
window=$(vessilo_window)
[[ -n $window ]] || { echo "longplay: the window did not appear" >&2; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$window")"  # WIDTH, HEIGHT
started=$(date +%s)
deadline=$((started + minutes * 60))

alive() { kill -0 "$pid" 2>/dev/null; }
# Positions are the game's (480 x 640), scaled to the window. A step on a
# window that is gone fails quietly: the loop below sees the program end.
at() { echo "$(($1 * WIDTH / 480)) $(($2 * HEIGHT / 640))"; }
tap() { xdotool mousemove --window "$window" $(at "$1" "$2") click 1 2>/dev/null || true; sleep "${3:-0.8}"; }
press() { # x y seconds: the stylus held down
  xdotool mousemove --window "$window" $(at "$1" "$2") mousedown 1 2>/dev/null || true
  sleep "$3"
  xdotool mouseup 1 2>/dev/null || true
}
key() { xdotool key "$1" 2>/dev/null || true; sleep "${2:-0.4}"; }
holdKey() { xdotool keydown "$1" 2>/dev/null || true; sleep "$2"; xdotool keyup "$1" 2>/dev/null || true; }
pages() { for _ in 1 2 3 4 5 6 7; do key Return 0.7; done; }  # the story's pages, into play

# What the window shows, from a few pixels: the main menu (its two yellow
# arrows), a level in play (the pause button) or paused (the button lit), a
# selection or briefing (the red back button), or something else (a story).
pixel() {
  import -window "$window" -crop "1x1+$(($1 * WIDTH / 480))+$(($2 * HEIGHT / 640))" -depth 8 txt:- 2>/dev/null |
    grep -o '#[0-9A-F]\{6\}' | head -n 1 || true
}
screen() {
  if [[ $(pixel 30 472) == "#F6C231" && $(pixel 450 472) == "#F6C231" ]]; then echo menu; return; fi
  case $(pixel 434 26) in
    "#F6C231") echo paused; return ;;
    "#31446A") echo level; return ;;
  esac
  [[ $(pixel 30 595) == "#DE4039" ]] && { echo select; return; }
  echo other
}
# The main menu's entry, as a digest of its label.
entry() {
  import -window "$window" -crop "$((200 * WIDTH / 480))x$((40 * HEIGHT / 640))+$((140 * WIDTH / 480))+$((452 * HEIGHT / 640))" \
    -depth 8 rgb:- 2>/dev/null | md5sum | cut -c1-32
}
training_entry=""

# The game's screen: the main menu's arrows and entry, the pad, the action
# button, the pause button, the pause menu and its question.
menuNext() { tap 450 472 1; }
menuEnter() { tap 240 472 2; }
pad() { # direction seconds
  case $1 in
    left) press 40 540 "$2" ;; right) press 156 540 "$2" ;;
    up) press 100 482 "$2" ;; down) press 100 596 "$2" ;;
  esac
}
action() { tap 402 562 0.6; }
pause() { [[ $(screen) == level ]] && tap 444 26 1; return 0; }
resume() { [[ $(screen) == paused ]] && tap 240 241 1; return 0; }
restart() { [[ $(screen) == paused ]] && { tap 240 323 1; tap 320 396 2; pages; }; return 0; }
quit() { [[ $(screen) == paused ]] && { tap 240 405 1; tap 320 396 2; }; return 0; }

# Back to the main menu on "Training" from wherever the play left off: a
# level is paused and quit, a selection goes back, a story's pages turn.
toTraining() {
  local tries
  for tries in $(seq 20); do
    alive || return 0
    case $(screen) in
      menu) break ;;
      level) tap 444 26 1 ;;
      paused) tap 240 405 1; tap 320 396 2 ;;
      select) tap 68 595 2 ;;
      *) key Return 1 ;;
    esac
  done
  for tries in 1 2 3 4 5; do
    [[ $(entry) == "$training_entry" ]] && return 0
    menuNext
  done
}

# Walks about: the pad held and the keys held, stairs and doors tried.
walk() {
  pad right 2.5; holdKey Right 2; pad up 1; holdKey Up 1; action; key Return
  holdKey Right 3; pad right 3; holdKey Up 1.2; holdKey Right 2; action
  pad left 1.5; holdKey Left 1.5; pad down 1; holdKey Down 1; pad right 4
}

training() { # from the main menu on "Training"
  menuEnter; pages; walk
  pause; resume; holdKey Right 2
  pause; restart; walk; holdKey Right 6; pages  # toward the target, and its story
  pause; quit
}

mission() { # from the main menu on "Training"
  menuNext; menuEnter                      # Missions: the selection
  tap 450 320; tap 30 320                  # browse the missions and back
  tap 412 595 2; tap 412 595 3; pages      # the first mission's briefing, then play
  holdKey Right 7; pages                   # walk to the first target; its story
  walk; pause; restart; pad right 7; pages
  pause; quit
}

curve=()
sample() {
  local rss
  rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)
  [[ -n $rss ]] || return 0
  curve+=("$rss")
  echo "minute ${#curve[@]}: $((rss / 1024)) MB ($rss kB)"
}

sleep 10  # the logo and the title
tap 240 272 2  # sound on
xdotool windowfocus "$window" 2>/dev/null || true
[[ $(screen) == menu ]] || { echo "longplay: the main menu did not appear" >&2; exit 1; }
training_entry=$(entry)
nextSample=$((started + 60))
round=0
while alive && (($(date +%s) < deadline)); do
  if ((round % 2 == 0)); then training; else mission; fi
  toTraining
  round=$((round + 1))
  while alive && (($(date +%s) >= nextSample)); do
    sample
    nextSample=$((nextSample + 60))
  done
done

status=0
if ! alive; then
  echo "longplay: the program ended during the play" >&2
  status=1
else
  xdotool windowclose "$window"
  for _ in $(seq 100); do alive || break; sleep 0.2; done
  exit_status=0
  wait "$pid" || exit_status=$?
  pid=""
  if ((exit_status != 0)); then
    echo "longplay: the program ended with status $exit_status when its window was destroyed" >&2
    status=1
  fi
fi
if grep -q Exception "$work/printed.txt"; then
  grep -m 5 Exception "$work/printed.txt" >&2
  status=1
fi
echo "rounds played: $round"
if ((${#curve[@]} >= 6)); then
  base=${curve[4]} highest=${curve[4]}
  for rss in "${curve[@]:4}"; do ((rss > highest)) && highest=$rss; done
  growth=$((highest - base))
  echo "growth from minute 5: $growth kB (at most 2048)"
  ((growth <= 2048)) || status=1
fi
exit "$status"
