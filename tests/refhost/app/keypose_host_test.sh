#!/usr/bin/env bash
# keypose-host's command line: values are checked with the other errors, --help prints the
# usage, a palette picture that cannot be written does not lose the save that follows, and
# a whole session ends with status 0 (in the sanitizer build: with nothing leaked).
set -uo pipefail
host=$1
example=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0

fail() {
    echo "FAILED: $*"
    status=1
}

# expect STATUS PATTERN ARGS...: runs the host (through the command in `launch`, if any),
# checks its exit status and that its output (both streams) holds the pattern.
launch=()
expect() {
    local want=$1 pattern=$2
    shift 2
    local out got
    out=$("${launch[@]}" "$host" "$@" 2>&1)
    got=$?
    [ "$got" = "$want" ] || fail "$* exited $got, not $want: $out"
    grep -q -- "$pattern" <<<"$out" || fail "$* did not say \"$pattern\": $out"
}

expect 2 "'abc' is not a number of seconds" --play abc "$example"
expect 2 "'-1' is not a number of seconds" --play=-1 "$example"
expect 2 "'1e400' is not a number of seconds" --play 1e400 "$example"
expect 2 "'2s' is not a number of seconds" --play 2s "$example"
expect 2 "'1e8' is not a number of seconds from 0 to 86400" --play 1e8 "$example"
expect 2 "'nan' is not a number of seconds" --play nan "$example"
expect 2 'an empty name is no file' --save "" "$example"
expect 2 '--save: 1 required' "$example" --save
expect 2 'not expected: --fast' --fast "$example"
expect 2 'no document given' --play 1
expect 2 'File does not exist' "$work/none.json"
expect 0 'Usage: ' --help
expect 0 'Usage: ' -h "$example"
expect 0 'Usage: .* run ' run --help
expect 2 "'0x5' is not a size" render "$example" --out "$work/frames" --size 0x5
expect 2 "'0' is not a frame rate" render "$example" --out "$work/frames" --fps 0
expect 2 '--out is required' render "$example"
printf 'open %s\nmove 1 a 2\n' "$example" >"$work/bad.ks"
expect 1 "bad.ks:2: move: word 2: 'a' is not a number" run "$work/bad.ks"
# A number no command takes refuses the script before its first line saves anything.
printf 'open %s\nsave %s\ntime 1e39\n' "$example" "$work/early.json" >"$work/huge.ks"
expect 1 "huge.ks:3: time: word 1: '1e39' is out of range: SECONDS is from 0 to 86400" \
    run "$work/huge.ks"
[ -e "$work/early.json" ] && fail "a script with a bad line ran its first lines"
# A long play prints a few lines, not one a second.
lines=$("$host" --play 600 "$example" | grep -c ' s  ')
[ "$lines" -le 20 ] || fail "--play 600 printed $lines progress lines"

expect 1 'the palette picture cannot be written' --palette-png "$work/missing/palette.png" \
    --save "$work/saved.json" "$example"
[ -s "$work/saved.json" ] || fail "the save after a failed palette picture was lost"

expect 0 "saved $work/animated.json" --demo --play 1 --palette-png "$work/palette.png" \
    --save "$work/animated.json" "$example"
[ -s "$work/palette.png" ] || fail "no palette picture"
# A short render: frames, a contact sheet and, with ffmpeg, a video.
if command -v ffmpeg >/dev/null 2>&1; then
    expect 0 "video: $work/clip.mp4" render "$example" --out "$work/frames" --to 1 --fps 4 \
        --size 64x48 --video "$work/clip.mp4"
    [ -s "$work/clip.mp4" ] || fail "no video"
else
    expect 0 'ffmpeg is not installed' render "$example" --out "$work/frames" --to 1 --fps 4 \
        --size 64x48 --video "$work/clip.mp4"
fi
[ -s "$work/frames/view_0004.png" ] && [ -s "$work/frames/palette_0004.png" ] ||
    fail "the frames at 1 s are missing"
[ -s "$work/frames/contact_sheet.png" ] || fail "no contact sheet"

# Window mode without a display ends at once and names the modes that need none; --play 0
# is document mode, which plays nothing.
launch=(env -u DISPLAY -u WAYLAND_DISPLAY timeout 10)
started=$(date +%s%N)
expect 1 'no display for the windows.*keypose-host render' "$example"
elapsed=$((($(date +%s%N) - started) / 1000000))
[ "$elapsed" -lt 2000 ] || fail "window mode without a display took $elapsed ms to end"
expect 0 'opened' --play 0 "$example"
launch=()
exit $status
