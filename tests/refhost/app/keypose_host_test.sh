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

# expect STATUS PATTERN ARGS...: runs the host, checks its exit status and that its output
# (both streams) holds the pattern.
expect() {
    local want=$1 pattern=$2
    shift 2
    local out got
    out=$("$host" "$@" 2>&1)
    got=$?
    [ "$got" = "$want" ] || fail "$* exited $got, not $want: $out"
    grep -q -- "$pattern" <<<"$out" || fail "$* did not say \"$pattern\": $out"
}

expect 2 '--play needs a number of seconds' --play abc "$example"
expect 2 'not "-1"' --play -1 "$example"
expect 2 'not "1e400"' --play 1e400 "$example"
expect 2 'not "2s"' --play 2s "$example"
expect 2 '--save needs a value' "$example" --save
expect 2 'unknown option --fast' --fast "$example"
expect 2 'no document given' --play 1
expect 0 '^usage: keypose-host' --help
expect 0 '^usage: keypose-host' -h "$example"

expect 1 'the palette picture cannot be written' --palette-png "$work/missing/palette.png" \
    --save "$work/saved.json" "$example"
[ -s "$work/saved.json" ] || fail "the save after a failed palette picture was lost"

expect 0 "saved $work/animated.json" --demo --play 1 --palette-png "$work/palette.png" \
    --save "$work/animated.json" "$example"
[ -s "$work/palette.png" ] || fail "no palette picture"
exit $status
