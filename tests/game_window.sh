# Sourced by the window tests inside their Xvfb session.
# game_window PID TENTHS: the id of the game's visible "Quarvel" window, looked
# for every tenth of a second for TENTHS tenths; nothing when the game with
# that PID ended first or the time ran out.
game_window() {
  local pid=$1 tenths=$2 window
  for _ in $(seq "$tenths"); do
    window=$(xdotool search --onlyvisible --name "^Quarvel$" 2>/dev/null | head -n 1)
    [ -n "$window" ] && { echo "$window"; return 0; }
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
}
