#!/usr/bin/env bash
# A user's look at the merged program, window by window, on the simulated demo network, the
# simulated amplifier chain and the request server. Pictures and texts go to OUT.
# Run as: xvfb-run -a -s "-screen 0 1280x900x24" scripts/screenshots.sh   (after ./scripts/run.sh or a
# build; needs the Debian packages xvfb, xdotool and imagemagick). Clicks go to fixed screen
# positions of that screen size. No window manager under Xvfb: windows are moved apart with xdotool.
set -uo pipefail
ROOT=${ROOT:-$(cd "$(dirname "$0")/.." && pwd)}
OUT=${OUT:-$ROOT/build/screenshots}
APPBIN="$ROOT/build/app/tedsmith"
mkdir -p "$OUT"
WORK=$(mktemp -d)
shot() { import -window root "$OUT/$1"; }
win() { xdotool search --name "$1" | tail -1; }
move() { local w; w=$(win "$1"); [ -n "$w" ] && xdotool windowmove "$w" "$2" "$3"; }
away() { for w in $(xdotool search --name "$1"); do xdotool windowmove "$w" 1400 0; done; }
# A fresh data folder per run, with the settings of a user who chose Com1 and an adapter.
profile() {
    local p; p=$(mktemp -d); mkdir -p "$p/Morvelund/QT8061"
    printf '%-40s: %s\r\n' "$@" > "$p/Morvelund/QT8061/QT8061_Inifile.txt"; echo "$p"
}
stop() { kill "$1" 2>/dev/null; wait "$1" 2>/dev/null; }

# ---- 1. The demo 1-Wire network ------------------------------------------------------------
P=$(profile "Com port" 1 "Interface" "Z&Q Demo adaptor type RV3308" "IF Active at startup" 1)
AllUsersProfile=$P HOME=$(mktemp -d) TEDSMITH_SIMNET="$ROOT/data/demo-network.txt" "$APPBIN" &
APP=$!
sleep 8
shot 01-main-tree.png
# Tools > "Generate Nodelist", "Read nodes".
xdotool mousemove 108 8 click 1; sleep 1; xdotool mousemove 170 51 click 1; sleep 2
move "Tedsmith - Generate Nodelist" 520 20; sleep 1
xdotool mousemove 960 89 click 1; sleep 5
shot 02-nodelist.png
away "Tedsmith - Generate Nodelist"; sleep 1
# The switch, the thermometer and the serial-number chip from the tree.
xdotool mousemove 92 139 click 1; sleep 2.5; move "Tedsmith - Switch" 790 20; sleep 0.5
xdotool mousemove 113 279 click 1; sleep 2; move "Tedsmith - Temperature" 790 380; sleep 2.5
xdotool mousemove 123 167 click 1; sleep 2.5; move "Tedsmith - Not supported" 790 520; sleep 1.5
shot 03-switch-thermometer-unsupported.png
away "Tedsmith - Switch"; away "Tedsmith - Temperature"; away "Tedsmith - Not supported"
# Help > "About Tedsmith", Help > "General information".
xdotool mousemove 205 8 click 1; sleep 0.7; xdotool mousemove 262 73 click 1; sleep 1.5
move "Tedsmith - About" 100 560; sleep 0.7
shot 04-about.png
xdotool key Escape; sleep 0.7
xdotool mousemove 205 8 click 1; sleep 0.7; xdotool mousemove 262 51 click 1; sleep 1.5
move "Tedsmith - General information" 100 460; sleep 0.7
shot 05-general-information.png
xdotool key Escape; sleep 0.7
# Debug > "Trace ".
xdotool mousemove 157 8 click 1; sleep 0.7; xdotool mousemove 178 51 click 1; sleep 1.5
W=$(win "Tedsmith - Debug trace"); xdotool windowmove "$W" 20 540; xdotool windowsize "$W" 740 340; sleep 2
shot 06-trace.png
away "Tedsmith - Debug trace"; sleep 0.5
# F1 on the main window: the program's help window, then its "All topics" link.
xdotool mousemove 600 350 click 1; sleep 0.3; xdotool key F1; sleep 1.5
move "Tedsmith - Main window" 620 400; sleep 1
shot 06b-help.png
xdotool mousemove 660 664 click 1; sleep 1
shot 06c-help-topics.png
away "Tedsmith help"; sleep 0.5
# The bridge sensor's TEDS window; Template > "Read only mode" off; serial number and initials.
xdotool mousemove 88 125 click 1; sleep 3
move " Tedsmith - TEDS" 715 0; sleep 1
xdotool mousemove 833 8 click 1; sleep 0.7; xdotool mousemove 870 30 click 1; sleep 1
xdotool mousemove 1100 196 click 1 key ctrl+a type 4711
xdotool mousemove 1100 524 click 1 key ctrl+a type ABC
xdotool mousemove 1000 680 click 1; sleep 1
shot 07-teds-edited.png
# Template > "Information".
xdotool mousemove 833 8 click 1; sleep 0.7; xdotool mousemove 865 73 click 1; sleep 1.5
shot 08-teds-information.png
xdotool key Escape; sleep 0.5
# "Show memory data".
xdotool mousemove 786 799 click 1; sleep 1.5
shot 09-raw-memory.png
xdotool key Return; sleep 0.5
# File > "Save TEDS as rtf document", then File > "Print TEDS" to a PDF file.
xdotool mousemove 735 8 click 1; sleep 1; xdotool mousemove 820 97 click 1; sleep 2
xdotool key ctrl+a; sleep 0.3; xdotool type --delay 20 "$WORK/report.rtf"; sleep 0.5; xdotool key Return; sleep 2
xdotool mousemove 735 8 click 1; sleep 1; xdotool mousemove 790 75 click 1; sleep 3
shot 10-print-dialog.png
# The output file box and Print, found from where the dialog stands.
X=795; Y=225
PD=$(xdotool search --name "Print" | tail -1)
[ -n "$PD" ] && eval "$(xdotool getwindowgeometry --shell "$PD")"
xdotool mousemove $((X + 175)) $((Y + 107)) click 1; xdotool key ctrl+a; xdotool type --delay 20 "$WORK/report.pdf"; sleep 0.5
xdotool mousemove $((X + 190)) $((Y + 148)) click 1; sleep 4
unrtf --text "$WORK/report.rtf" > "$OUT/11-report-unrtf.txt" 2>/dev/null
iconv -f cp1252 -t utf-8 "$OUT/11-report-unrtf.txt" > "$OUT/11-report-unrtf-utf8.txt" 2>/dev/null
cp "$WORK/report.rtf" "$OUT/11-report.rtf"
# Where the box could not be typed into, the dialog's own default name (print.pdf).
[ -f "$WORK/report.pdf" ] || cp "$(ls -t /tmp/tmp.*/print.pdf 2>/dev/null | head -1)" "$WORK/report.pdf" 2>/dev/null
pdftoppm -png -r 60 "$WORK/report.pdf" "$WORK/page"
for f in "$WORK"/page-*.png; do cp "$f" "$OUT/12-printed-$(basename "$f")"; done
# "memory not assigned" of the DS2430A: its memory, then the create dialog.
xdotool mousemove 138 84 click 1; sleep 3
shot 13-unassigned-memory.png
xdotool key Return; sleep 2.5
shot 14-create-dialog.png
# "Get new template", then Template > "Remap TEDS" in the new TEDS window.
xdotool mousemove 314 636 click 1; sleep 3
shot 15-new-teds.png
xdotool mousemove 118 8 click 1; sleep 0.7; xdotool mousemove 153 118 click 1; sleep 2
shot 16-remap-dialog.png
xdotool mousemove 728 616 click 1; sleep 1
stop $APP

# ---- 2. The simulated amplifier chain ------------------------------------------------------
T=$(mktemp -d)
"$APPBIN" --simulate-amplifier "$ROOT/data/demo-amplifier-chain.txt" > "$T/sim.txt" &
SIM=$!
sleep 1
P=$(profile "Com port" 1 "Interface" "Pelox, 6188" "IF Active at startup" 1)
AllUsersProfile=$P HOME=$(mktemp -d) TEDSMITH_COM1="$(head -1 "$T/sim.txt")" "$APPBIN" &
APP=$!
sleep 22
move "Tedsmith - Control Pelox, 6188" 520 0; sleep 1
shot 20-amplifier-chain.png
# Mode > "Plug && Play", channel 1 of amplifier 1.
xdotool mousemove 642 8 click 1; sleep 1; xdotool mousemove 680 32 click 1; sleep 1
xdotool mousemove 645 49 click 1; sleep 25
shot 21-amplifier-channel1.png
# Tools > "Selection of embedded templates": "Read default".
xdotool mousemove 687 8 click 1; sleep 1; xdotool mousemove 720 32 click 1; sleep 3
G=$(xdotool getwindowgeometry "$(win "Download Templates")" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
read -r DX DY <<< "$G"
xdotool mousemove $((DX + 917)) $((DY + 41)) click 1; sleep 2
shot 22-template-download.png
xdotool mousemove $((DX + 917)) $((DY + 537)) click 1; sleep 1.5
# Main window: Debug > "Pelox", "Conf?" sent.
xdotool mousemove 157 8 click 1; sleep 1; xdotool mousemove 180 32 click 1; sleep 2
move "Tedsmith - Test Pelox" 0 380; sleep 1
xdotool mousemove 370 441 click 1; sleep 0.3; xdotool key ctrl+a; xdotool type --delay 80 "Conf?"; sleep 0.5
xdotool mousemove 94 469 click 1; sleep 4
shot 23-terminal.png
# Main window: Tools > "Pelox maintenance".
xdotool mousemove 108 8 click 1; sleep 1; xdotool mousemove 160 95 click 1; sleep 2
move "Tedsmith - Pelox Maintenance" 800 560; sleep 1
shot 24-maintenance.png
stop $APP; stop $SIM

# ---- 3. The request server -----------------------------------------------------------------
WD=$(mktemp -d)
P=$(profile "Com port" 1 "Interface" "Z&Q Demo adaptor type RV3308" "IF Active at startup" 1 \
    "T-block workdir" "$WD" "T-block pooltime" "0.5")
AllUsersProfile=$P HOME=$(mktemp -d) TEDSMITH_SIMNET="$ROOT/data/demo-network.txt" "$APPBIN" &
APP=$!
sleep 8
# Setup > "T-block Server", "Enable server".
xdotool mousemove 60 8 click 1; sleep 1; xdotool mousemove 110 95 click 1; sleep 2
move "Tedsmith - T-block server" 740 0; sleep 0.5
xdotool mousemove 758 69 click 1; sleep 1
printf 'T-block server request file version 1.0.0\r\nREQUESTDATETIME 2026-12-10 10:00\r\nFAMILY 35\r\nLISTFULLTEDS\r\n' \
    > "$WD/req.tmp"
mv "$WD/req.tmp" "$WD/TEDS_req.txt"; : > "$WD/TEDS_ack.txt"
for _ in $(seq 1 60); do [ -e "$WD/TEDS_ack.txt" ] || break; sleep 0.5; done
cp "$WD/TEDS_res.txt" "$OUT/31-server-response.txt"
iconv -f cp1252 -t utf-8 "$WD/TEDS_res.txt" > "$OUT/31-server-response-utf8.txt"
ls "$WD" > "$OUT/31-server-workdir-after.txt"
sleep 1
shot 30-request-server.png
stop $APP
