# Sourced by the scripts that drive the program's real window.
# vessilo_window: waits (up to 45 s) for the program's window on $DISPLAY and
# prints its id; SDL may make the window anew once (for OpenGL), so the id
# counts only once it is the same twice in a row.
vessilo_window() {
  local window="" seen
  for _ in $(seq 30); do
    sleep 1.5
    seen=$(xdotool search --name '^Vessilo: The Quiet Agent$' 2>/dev/null | tail -n 1) || true
    [[ -n $seen && $seen == "$window" ]] && xdotool getwindowgeometry "$window" >/dev/null 2>&1 && break
    window=$seen
  done
  echo "$window"
}
