#!/usr/bin/env bash
# Renders a document in parts on several machines through GNU Parallel, then makes the
# contact sheet (and video) of the gathered frames:
#
#   scripts/render-farm.sh [--sshloginfile FILE] [--parts N] [--program PATH] [--video FILE]
#                          DOCUMENT OUT [RENDER OPTIONS...]
#
# --sshloginfile  the machines, in GNU Parallel's form (one "[slots/]user@host" a line; ":"
#                 is this machine); without it, the parts run here, one a processor
# --parts         how many parts the frames are split into (8)
# --program       keypose-host on every machine (keypose-host, found on the PATH)
# --video         also a video of the whole render (ffmpeg, here)
# RENDER OPTIONS  passed to every part: --from, --to, --fps, --size, --no-palette
#
# Each part gets a copy of the document and renders its frames (render --frames A-B) in a
# folder of its own; the frames come back here and go into OUT, named as one render names
# them, and `keypose-host sheet OUT` makes the sheet. A part that fails stops the render.
# Copies go through rsync over ssh: every machine needs rsync and tar besides keypose-host.
set -euo pipefail

usage() {
    sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
}

logins=()
parts=8
program=keypose-host
video=()
while [ $# -gt 0 ]; do
    case $1 in
    --sshloginfile) logins=(--sshloginfile "$2"); shift 2 ;;
    --parts) parts=$2; shift 2 ;;
    --program) program=$2; shift 2 ;;
    --video) video=(--video "$2"); shift 2 ;;
    -h | --help) usage ;;
    *) break ;;
    esac
done
[ $# -ge 2 ] || usage
document=$1
out=$2
shift 2
options=("$@")
[[ $parts =~ ^[1-9][0-9]*$ ]] || { echo "render-farm: --parts '$parts' is not a number of parts" >&2; exit 2; }
[ -f "$document" ] || { echo "render-farm: $document: no such document" >&2; exit 2; }
command -v parallel >/dev/null || { echo "render-farm: GNU Parallel is not installed" >&2; exit 1; }
[ ${#logins[@]} -gt 0 ] || logins=(--sshlogin :)
# The work runs in a staging folder: paths given here are made absolute first.
document=$(realpath -- "$document")
out=$(realpath -m -- "$out")
[ ${#logins[@]} -eq 2 ] && [ "${logins[0]}" = --sshloginfile ] && logins[1]=$(realpath -- "${logins[1]}")
[[ $program != */* ]] || program=$(realpath -- "$program")

count=$("$program" render "$document" --frame-count "${options[@]}")
# Part k of n holds frames k*count/n to (k+1)*count/n - 1: every frame once, in order.
spans=()
for ((k = 0; k < parts; ++k)); do
    first=$((k * count / parts))
    last=$(((k + 1) * count / parts - 1))
    [ "$last" -lt "$first" ] || spans+=("$first-$last")
done

mkdir -p "$out"
# The staging folder: part N works in RUN/partN (RUN under the login folder on a remote
# machine), its document a copy of its own there; its frames come back as one archive,
# RUN/partN/frames.tar, which GNU Parallel's clean-up removes there with the document.
stage=$(mktemp -d "${TMPDIR:-/tmp}/keypose-farm.XXXXXX")
trap 'rm -rf "$stage"' EXIT
run=$(basename "$stage")
for ((n = 1; n <= ${#spans[@]}; ++n)); do
    mkdir -p "$stage/$run/part$n"
    cp "$document" "$stage/$run/part$n/document.json"
done

# The command each part runs, its words quoted for the shell of the machine that runs it.
quoted=$(printf '%q ' "$program" render document.json --out frames "${options[@]}")
cd "$stage"
parallel --will-cite --halt now,fail=1 "${logins[@]}" \
    --transferfile "$stage/./$run/part{#}/document.json" \
    --return "$stage/./$run/part{#}/frames.tar" --cleanup \
    "cd $run/part{#} && $quoted --frames {} && tar -cf frames.tar -C frames . && rm -r frames" \
    ::: "${spans[@]}"

for ((n = 1; n <= ${#spans[@]}; ++n)); do
    # GNU Parallel counts a job whose machine never ran it (no SHELL there, say) as done.
    [ -f "$stage/$run/part$n/frames.tar" ] ||
        { echo "render-farm: part $n (frames ${spans[n - 1]}) brought no frames back" >&2; exit 1; }
    tar -xf "$stage/$run/part$n/frames.tar" -C "$out"
done
"$program" sheet "$out" "${video[@]}"
