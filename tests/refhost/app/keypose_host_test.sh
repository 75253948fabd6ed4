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
    echo "SKIPPED: the video parts (ffmpeg is not installed)"
    expect 0 "contact sheet: " render "$example" --out "$work/frames" --to 1 --fps 4 --size 64x48
fi
[ -s "$work/frames/view_0004.png" ] && [ -s "$work/frames/palette_0004.png" ] ||
    fail "the frames at 1 s are missing"
[ -s "$work/frames/contact_sheet.png" ] || fail "no contact sheet"
# The animator's aids and the samples a pixel, as options of a render.
expect 2 "--samples: Value 0 not in range 1 to 64" render "$example" --out "$work/aids" \
    --samples 0
expect 0 "contact sheet: " render "$example" --out "$work/aids" --to 0.5 --fps 4 --size 64x48 \
    --paths --ghosts --grid --hud --samples 9 --no-palette
[ -s "$work/aids/view_0002.png" ] || fail "no frame with the aids"
cmp -s "$work/aids/view_0002.png" "$work/frames/view_0002.png" &&
    fail "the grid and the heads-up line left the frame unchanged"

# Window mode without a display ends at once and names the modes that need none; --play 0
# is document mode, which plays nothing.
# A new document from nothing: written with its boxes, never over an existing file; the
# README's walk-through script makes the bundled document and its pictures.
expect 0 "new document $work/new.json (boxes Crate, Ball)" new "$work/new.json" --box Crate \
    --box Ball
grep -q '"name": "Ball"' "$work/new.json" || fail "the new document has no Ball"
expect 1 "$work/new.json exists" new "$work/new.json"
expect 0 "new document $work/new.json (no boxes)" new "$work/new.json" --replace
expect 1 "two boxes are called 'A'" new "$work/twice.json" --box A --box A
examples=$(dirname "$example")
cp "$examples/first_steps.ks" "$work/"
expect 0 "saved $work/first_steps.json" run "$work/first_steps.ks"
cmp -s "$work/first_steps.json" "$examples/first_steps.json" ||
    fail "first_steps.ks does not make examples/first_steps.json"
[ -s "$work/first_steps_1s.png" ] && [ -s "$work/first_steps_2s.png" ] ||
    fail "first_steps.ks made no pictures"

launch=(env -u DISPLAY -u WAYLAND_DISPLAY timeout 10)
started=$(date +%s%N)
expect 1 'no display for the windows.*keypose-host render' "$example"
elapsed=$((($(date +%s%N) - started) / 1000000))
[ "$elapsed" -lt 2000 ] || fail "window mode without a display took $elapsed ms to end"
expect 0 'opened' --play 0 "$example"
launch=()

# Option values that cannot be rendered are refused before anything is written.
expect 2 "'4294967360x48' is not a size WIDTHxHEIGHT of 1 to 8192" render "$example" \
    --out "$work/refused" --size 4294967360x48
expect 2 "'1e-300' is not a frame rate (0.01 to 240)" render "$example" --out "$work/refused" \
    --fps 1e-300
expect 2 "'1e9' is not a number of seconds (0 to 86400)" render "$example" \
    --out "$work/refused" --to 1e9
expect 2 "--from 5 lies after --to 1" render "$example" --out "$work/refused" --from 5 --to 1
# The example's range ends at 10 s: a start after it has no frames.
expect 1 "the render would end (10 s) before it starts (11 s)" render "$example" \
    --out "$work/refused" --from 11
expect 1 "the render's times 0 s to 12 s lie outside the document's range 0 s to 10 s" \
    render "$example" --out "$work/refused" --to 12
expect 2 "'3-1' is not a span of frames" render "$example" --out "$work/refused" --frames 3-1
expect 1 "frames 50-200 lie beyond the render's frames 0-100" render "$example" \
    --out "$work/refused" --frames 50-200
# Without ffmpeg on the PATH, --video is refused before the first frame.
out=$(PATH=/nonexistent "$host" render "$example" --out "$work/refused" --video "$work/v.mp4" 2>&1)
[ $? = 1 ] && grep -q "needs ffmpeg" <<<"$out" || fail "--video without ffmpeg: $out"
[ ! -e "$work/refused" ] || fail "a refused render left $work/refused behind"

# Names are names: quotes, spaces, semicolons, a percent sign and leading dashes reach no
# shell and no option parser.
if command -v ffmpeg >/dev/null 2>&1; then
    mkdir "$work/names" && cd "$work/names" || exit 1
    hostile="Bob's \"crate\"; touch x.mp4"
    folder="-frames'; touch INJECTED; echo '%d"
    expect 0 "video: $hostile" render "$example" --out "$folder" --to 0.5 --fps 4 --size 32x24 \
        --no-palette --video "$hostile"
    [ -s "$hostile" ] || fail "no video named $hostile"
    [ -s "$folder/view_0002.png" ] || fail "no frames in $folder"
    [ ! -e "$folder/palette_0000.png" ] || fail "--no-palette wrote the palette"
    expect 0 "video: -dash.mp4" sheet --video=-dash.mp4 -- "$folder"
    [ -s ./-dash.mp4 ] || fail "no video named -dash.mp4"
    [ ! -e x.mp4 ] && [ ! -e INJECTED ] || fail "a name ran as a command: $(ls)"
    cd - >/dev/null || exit 1
fi
mkdir "$work/empty"
expect 1 "holds no frames" sheet "$work/empty"
exit $status
