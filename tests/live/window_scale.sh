#!/usr/bin/env bash
# The live game in a window twice as large, on a virtual X display: the window is 1600x1200,
# a click on the title's start button (at twice its place) starts the game, F11 is kept as
# fullscreen in save/settings, and Escape ends the game. Skipped (77) without Xvfb or xdotool.
#
#   window_scale.sh TESSARC
set -euo pipefail
tessarc=$(realpath "$1")
for tool in Xvfb xdotool xwininfo xwd; do
  command -v "$tool" >/dev/null || { echo "no $tool: skipped"; exit 77; }
done

game=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$game"
}
trap cleanup EXIT

# A game whose title draws nothing and whose message frame is plain red.
mkdir -p "$game/script" "$game/system/picture" "$game/save"
printf '剣\n' > "$game/script/itemlist.txt"
printf '[hello]\n*move* {\n出口 A001\n}\n' > "$game/script/start.txt"
printf 'window 2\n' > "$game/save/settings"
/usr/bin/python3 - "$game/system/picture/text.png" <<'PY'
import struct, sys
w, h = 750, 212
row = bytes([0, 0, 255]) * w + b'\0' * ((4 - w * 3 % 4) % 4)
data = row * h
header = b'BM' + struct.pack('<IHHI', 54 + len(data), 0, 0, 54)
header += struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
open(sys.argv[1], 'wb').write(header + data)
PY

# The display number comes from Xvfb itself, so that runs side by side never collide.
exec 3< <(Xvfb -displayfd 1 -screen 0 1700x1300x24 -nolisten tcp 2>/dev/null)
xvfb_pid=$!
read -r -t 10 display <&3 || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$display"

# The pixel of the window at (x, y) as RRGGBB, from a dump of the window.
pixel() {
  xwd -silent -id "$1" 2>/dev/null | /usr/bin/python3 -c '
import struct, sys
d = sys.stdin.buffer.read()
size, _, _, depth, w, h = struct.unpack(">6I", d[:24])
order = struct.unpack(">I", d[28:32])[0]
bpl = struct.unpack(">I", d[48:52])[0]
colours = struct.unpack(">I", d[76:80])[0]
x, y = int(sys.argv[1]), int(sys.argv[2])
at = size + colours * 12 + y * bpl + x * 4
p = d[at:at + 4]
v = int.from_bytes(p, "little" if order == 0 else "big")
print("%06x" % (v & 0xffffff))' "$2" "$3"
}

# Tries the command every 0.1 s for twenty seconds: a busy machine may be slow to show things.
eventually() {
  for _ in $(seq 200); do "$@" && return 0; sleep 0.1; done
  return 1
}
size_of() { xwininfo -id "$1" 2>/dev/null | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}'; }
# The game's window of that size (SDL may make and drop a window of its own before it).
window_of_size() {
  for w in $(xdotool search --classname tessarc 2>/dev/null); do
    [ "$(size_of "$w")" = "$1" ] && { window=$w; return 0; }
  done
  return 1
}
pixel_is() { [ "$(pixel "$window" "$1" "$2")" = "$3" ]; }

cd "$game"
# The X libraries keep memory for the life of the process; leaks are not what this checks.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" SDL_AUDIODRIVER=dummy "$tessarc" &
game_pid=$!
window=""
eventually window_of_size 1600x1200 || { echo "no window of 1600x1200"; exit 1; }

# The start button spans (286..534, 355..389) at 1x.
eventually pixel_is 800 1000 000000 || { echo "the title is not black"; exit 1; }
sleep 1
xdotool mousemove --window "$window" 820 744
sleep 0.3
xdotool mousedown 1
sleep 0.1
xdotool mouseup 1
eventually pixel_is 800 1000 ff0000 || { echo "the click did not start the game"; exit 1; }

xdotool key --window "$window" F11
eventually grep -qx 'fullscreen 1' save/settings || { echo "fullscreen not kept"; exit 1; }
# Escape goes to the window with the focus, which a switch to fullscreen without a window
# manager may leave anywhere: the window is given it, and Escape pressed again until it ends.
for _ in $(seq 10); do
  xdotool windowfocus "$window" 2>/dev/null || true
  xdotool key Escape
  for _ in $(seq 20); do kill -0 "$game_pid" 2>/dev/null || break 2; sleep 0.1; done
done
if kill -0 "$game_pid" 2>/dev/null; then echo "Escape did not end the game"; exit 1; fi
wait "$game_pid" || { echo "the game failed"; exit 1; }
game_pid=""
echo "ok"
