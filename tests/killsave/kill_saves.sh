#!/bin/bash
# Saves killed at random moments: zarvos-cli play saves a large game state
# over and over and is killed with SIGKILL while it does, KILLS times. After
# every kill the game state must be one of the complete files the script
# saves (the old or the new one, never a mixture or a cut-off file), and
# after the last kill the next start must leave no temporary file behind.
#   kill_saves.sh ZARVOS_CLI [KILLS]
set -euo pipefail
cli=$1
kills=${2:-300}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/Data" "$root/Hist"

# A 40 x 20 field of 8-pixel cells, full but for its last column: 780 pieces.
cols=40 rows=20 unit=8
printf '[Zarvo11]\r\nCount=1\r\nZarvo1=0,0,1,1,1111\r\n' >"$root/ZarvoTyp.ini"
awk -v cols=$cols -v rows=$rows -v unit=$unit 'BEGIN {
    printf "[Pad]\r\nUnitSize=%d\r\nBackSize=%d,%d\r\nFrameSize=%d,%d\r\nOffset=0,0\r\n", unit, cols, rows, cols, rows
    printf "[Start]\r\nCount=%d\r\n", (cols - 1) * rows
    for (r = 0; r < rows; r++)
        for (c = 0; c < cols - 1; c++)
            printf "Zarvo%d=Zarvo11,,%d,%d,%d,%d,1\r\n", ++n, c, r, c, r
}' >"$root/Data/big.zrv"

# Row by row, the last piece steps into the free column and the game is
# saved: every save is a new, longer file (up to about 90 KB).
script() { # $1: name of the saves, %d for the row
    echo print
    x=$(((cols - 2) * unit + unit / 2))
    for ((r = 0; r < rows; r++)); do
        y=$((r * unit + unit / 2))
        printf 'down %d %d\nmove %d %d\nup %d %d\n' $x $y $((x + unit)) $y $((x + unit)) $y
        printf "save $1\n" $r
    done
}

# The complete files: the script once to the end, each save a file of its own.
script 'ref%d.zrh' | "$cli" --root "$root" play big.zrv >/dev/null
sha256sum "$root"/Hist/ref*.zrh | cut -d' ' -f1 | sort -u >"$root/complete"
[ "$(wc -l <"$root/complete")" -eq $rows ] || { echo "reference saves missing" >&2; exit 1; }
rm -f "$root"/Hist/ref*.zrh
script 'k.zrh' >"$root/script"

# Two rounds of kills at once, each on a copy of the data root of its own.
worker() { # $1: its root, $2: kills
    local dir=$1 n=$2 left=0 torn=0 absent=0 pid sum
    mkfifo "$dir/out"
    for ((i = 0; i < n; i++)); do
        "$cli" --root "$dir" play big.zrv <"$root/script" >"$dir/out" 2>/dev/null &
        pid=$!
        exec 3<"$dir/out"
        read -r _ <&3 || true # loaded: the saves begin
        sleep "0.0$((RANDOM % 30))"
        kill -9 $pid 2>/dev/null || true
        wait $pid 2>/dev/null || true
        exec 3<&-
        if [ -e "$dir/Hist/k.zrh" ]; then
            sum=$(sha256sum "$dir/Hist/k.zrh" | cut -d' ' -f1)
            grep -qx "$sum" "$root/complete" || { torn=$((torn + 1)); cp "$dir/Hist/k.zrh" "$dir/torn-$i"; }
        else
            absent=$((absent + 1))
        fi
        # A save cut off between writing and renaming leaves a temporary
        # file; the next start (the next round) must remove it.
        [ "$(find "$dir/Hist" -type f ! -name k.zrh | wc -l)" -eq 0 ] || left=$((left + 1))
    done
    # The next start after the last kill.
    echo print | "$cli" --root "$dir" play big.zrv >/dev/null
    echo "$torn $left $absent $(find "$dir/Hist" -type f ! -name k.zrh | wc -l)" >"$dir/result"
}
for w in 1 2; do
    mkdir -p "$root/w$w/Hist"
    cp -r "$root/Data" "$root/ZarvoTyp.ini" "$root/w$w/"
    worker "$root/w$w" $(((kills + w - 1) / 2)) &
done
wait
read -r torn1 left1 absent1 stray1 <"$root/w1/result"
read -r torn2 left2 absent2 stray2 <"$root/w2/result"
torn=$((torn1 + torn2)) stray=$((stray1 + stray2))
echo "kills $kills (before the first save $((absent1 + absent2))), torn files $torn," \
    "temporary files left by a kill $((left1 + left2)), left after the next start $stray"
[ "$torn" -eq 0 ] && [ "$stray" -eq 0 ]
