#!/bin/bash
# End-to-end run of the real program on a virtual X display: start it under
# an English system language, continue the saved game, drag a piece with real
# pointer events, ask for a hint and see it drawn, let the solution be shown,
# press Esc twice and answer the question with the German button's key, then
# check the last game and the settings. A second start plays the game again
# by keyboard alone, enters the player in the best-ten list and checks that
# the puzzle file holds the entry.
#
# usage: e2e_play.sh PATH/TO/zarvos
# Exit 0 on success, 77 when the X tools are missing (skipped), 1 on failure.
set -u

program=${1:?usage: e2e_play.sh PATH/TO/zarvos}
for tool in xvfb-run xdotool xwininfo openbox; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

if [ "${ZARVOS_E2E_INNER:-}" != 1 ]; then
    ZARVOS_E2E_INNER=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

work=$(mktemp -d)
trap 'kill $wm_pid $game_pid 2>/dev/null; rm -rf "$work"' EXIT
wm_pid=
game_pid=
fail() {
    echo "FAIL: $*"
    [ -n "${ZARVOS_E2E_SHOT:-}" ] && command -v import >/dev/null && import -window root "$ZARVOS_E2E_SHOT"
    exit 1
}

# A portable copy: the program beside its own collection and a saved game.
prog="$work/prog"
mkdir -p "$prog/Data" "$prog/Hist" "$work/config"
cp "$program" "$prog/zarvos"
printf '[Zarvo11]\r\nCount=1\r\nZarvo1=0,0,1,1,1111\r\n' > "$prog/ZarvoTyp.ini"
printf '[Info]\r\nTitle=Reihe\r\nObjectInfo=Schiebe A nach rechts\r\nRating=*\r\n[Pad]\r\nFrameSize=4,2\r\nUnitSize=40\r\nOffset=10,10\r\nBackSize=5,3\r\n[Start]\r\nCount=2\r\nZarvo1=Zarvo11,A,0,0,0,0,1\r\nZarvo2=Zarvo11,B,0,1,0,0,1\r\n[Object]\r\nCount=2\r\nZarvo1=Zarvo11,A,3,0,0,0,1\r\nZarvo2=Zarvo11,B,0,1,0,0,1\r\n' > "$prog/Data/Reihe.zrv"
printf 'Reihe.zrv\r\n0;;0\r\n0;0;0;1;\r\n' > "$prog/Hist/Letzter Spielstand.zrh"
# The board at one board pixel per screen pixel, so the drag below can
# work out where the piece lies.
mkdir -p "$work/config/Zarvos"
printf '[General]\nZoom=100\n' > "$work/config/Zarvos/Zarvos.ini"

openbox >/dev/null 2>&1 &
wm_pid=$!
sleep 0.5

start_game() {
    XDG_CONFIG_HOME="$work/config" LANG=en_US.UTF-8 LANGUAGE=en "$prog/zarvos" >>"$work/log" 2>&1 &
    game_pid=$!
    win=$(xdotool search --sync --onlyvisible --name "^Zarvos V" 2>/dev/null | head -1)
    [ -n "$win" ] || fail "the main window did not appear"
    sleep 1
}

# Esc closes the game, the second Esc asks "Willst du Zarvos schon beenden?":
# Qt's buttons speak German whatever the system language, so "&Ja" answers
# to Alt+J.
end_game() {
    xdotool key --window "$win" Escape
    sleep 1
    xdotool key --window "$win" Escape
    sleep 1
    xdotool key alt+j
    for _ in $(seq 1 50); do
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$game_pid" 2>/dev/null && fail "the program did not end after the question"
    game_pid=
}

start_game
# The client area on the screen (xdotool counts the frame twice under openbox).
info=$(xwininfo -id "$win")
X=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
Y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
WIDTH=$(awk '/^ *Width:/ {print $2}' <<<"$info")
HEIGHT=$(awk '/^ *Height:/ {print $2}' <<<"$info")
xdotool windowactivate --sync "$win" >/dev/null 2>&1
sleep 0.3

# The start panel has the focus on "Letztes Spiel fortsetzen".
xdotool key --window "$win" space
sleep 1.5

# Full-screen game: the board (200 x 120) sits one third into the free width
# and centred between the top panels (80) and the goal text (30).
bw=200 bh=120
left=$(((WIDTH - 3 * bw / 2) / 3))
top=$(((HEIGHT - bh - 110) / 2 + 80))
px=$((X + left + 10 + 20))
py=$((Y + top + 10 + 20))
xdotool mousemove "$px" "$py"
sleep 0.3
xdotool mousedown 1
for dx in 10 20 30 40 50 60 70 80; do
    sleep 0.05
    xdotool mousemove "$((px + dx))" "$py"
done
sleep 0.2
xdotool mouseup 1
sleep 0.5

# The hint frames A where it stands now, in column 2 (the pointer is
# taken off the board first, so the hand covers nothing).
xdotool mousemove 5 5
sleep 0.5
xdotool key --window "$win" ctrl+t
sleep 1.5
# The screen is read with ImageMagick where it is installed.
if command -v import >/dev/null; then
    edge=$(import -window root -crop "1x1+$((X + left + 10 + 100))+$((Y + top + 10))" txt:- | tail -1)
    rgb=$(sed -n 's/.*srgb(\([0-9]*\),\([0-9]*\),\([0-9]*\)).*/\1 \2 \3/p' <<<"$edge")
    read -r r g b <<<"$rgb"
    [ -n "$rgb" ] && [ "$r" -gt 200 ] && [ "$g" -gt 150 ] && [ "$b" -lt 90 ] ||
        fail "no hint drawn around piece A: $edge"
else
    echo "NOTE: ImageMagick missing, the hint's picture is not checked"
fi

# The demonstration drags A on into the goal; a game with help offers no
# best-ten list, so the keys below still reach the game.
xdotool key --window "$win" ctrl+l
sleep 2

end_game

state=$(tr -d '\r' <"$prog/Hist/Letzter Spielstand.zrh" | tr '\n' '|')
# Step 1 of the game: piece A to the right end, by the player and then by
# the demonstration (one piece dragged twice is one move); B where it was.
# "1;0" marks the game as helped.
[ "$state" = "Reihe.zrv|1;1;0|0;0;0;1;|3;0;0;1;|" ] || fail "last game not written as expected: '$state'"
ini="$work/config/Zarvos/Zarvos.ini"
[ -f "$ini" ] || fail "no settings written ($ini)"
grep -q '^FullScreen2=1' "$ini" || fail "FullScreen2 missing in settings"
grep -q '^Left=' "$ini" || fail "window placement missing in settings"
grep -q '^Zoom=100' "$ini" || fail "the zoom was not kept"

# By keyboard alone, from the start again: continue, fit the board to the
# window, choose A with Tab and push it three cells (one move); the goal opens
# the best-ten list for the name.
printf 'Reihe.zrv\r\n0;;0\r\n0;0;0;1;\r\n' > "$prog/Hist/Letzter Spielstand.zrh"
start_game
xdotool windowactivate --sync "$win" >/dev/null 2>&1
xdotool key --window "$win" space
sleep 1.5
xdotool key ctrl+9 Tab Right Right Right
sleep 1.5
xdotool key ctrl+a
xdotool type --delay 50 Tastatur
# The first Enter ends the name, the second closes the list.
xdotool key Return
sleep 0.5
xdotool key Return
sleep 1
end_game
grep -q 'Tastatur' "$prog/Data/Reihe.zrv" || fail "the keyboard game did not reach the best-ten list"
grep -q '^Zoom=0' "$ini" || fail "fitting the board to the window was not kept"
echo "PASS: continued the game, moved piece A two cells, saw the hint, the demonstration" \
    "solved it, last game and settings written; solved it by keyboard and entered the player"
exit 0
