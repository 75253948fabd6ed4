#!/usr/bin/env bash
# A render split into parts gives the frames of one render byte for byte: four parts through
# GNU Parallel on four local job slots (scripts/render-farm.sh); three parts on a "remote"
# machine, reached through an ssh stand-in that runs the commands in a login folder of its
# own, so that the document is copied out and the frames copied back by rsync as with a real
# machine, and nothing is left there; and four tasks of the Slurm job-array script run here
# one after the other as Slurm would run them on four nodes. The contact sheets made from the
# gathered frames are the one render's too, and a folder with a part missing is refused.
set -uo pipefail
host=$1
example=$2
farm=$3
slurm=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0

fail() {
    echo "FAILED: $*"
    status=1
}

if ! command -v parallel >/dev/null 2>&1; then
    echo "SKIPPED: GNU Parallel is not installed"
    exit 77
fi

# The same files, byte for byte, in both folders.
same_files() {
    local a=$1 b=$2
    [ "$(ls "$a")" = "$(ls "$b")" ] || fail "$b holds other files than $a: $(ls "$b" | head)"
    local name
    for name in $(ls "$a"); do
        cmp -s "$a/$name" "$b/$name" || fail "$b/$name differs from one render's"
    done
}

options=(--size 96x72 --fps 8)
"$host" render "$example" --out "$work/one" "${options[@]}" >/dev/null || fail "one render"
count=$(ls "$work/one"/view_*.png | wc -l)
[ "$count" -gt 8 ] || fail "the render has only $count frames"

echo "4/:" >"$work/logins"
"$farm" --sshloginfile "$work/logins" --parts 4 --program "$host" "$example" "$work/farm" \
    "${options[@]}" >"$work/farm.log" 2>&1 || fail "render-farm.sh: $(cat "$work/farm.log")"
[ "$(grep -c '^frames .* of 0-' "$work/farm.log")" = 4 ] || fail "not 4 parts: $(cat "$work/farm.log")"
same_files "$work/one" "$work/farm"

if command -v rsync >/dev/null 2>&1; then
    mkdir "$work/remote"
    cat >"$work/ssh" <<SSH
#!/usr/bin/env bash
# ssh [OPTIONS] HOST [--] COMMAND...: the command run by a shell in the remote login folder,
# with the HOME and SHELL a login there has (sshd sets SHELL whatever the caller's is).
while [[ \$# -gt 0 && \$1 == -* ]]; do
    case \$1 in -o | -p | -l | -i | -S | -e) shift 2 ;; *) shift ;; esac
done
shift
[[ \${1-} == -- ]] && shift
cd "$work/remote" && HOME="$work/remote" SHELL=/bin/bash exec bash -c "\$*"
SSH
    chmod +x "$work/ssh"
    echo "2/$work/ssh render-node" >"$work/remote-logins"
    "$farm" --sshloginfile "$work/remote-logins" --parts 3 --program "$host" "$example" \
        "$work/remote-farm" "${options[@]}" >"$work/remote.log" 2>&1 ||
        fail "render-farm.sh over ssh: $(cat "$work/remote.log")"
    same_files "$work/one" "$work/remote-farm"
    [ -z "$(ls -A "$work/remote")" ] || fail "left on the remote machine: $(ls -AR "$work/remote")"

    # A machine whose login has no SHELL runs nothing yet reports success to GNU Parallel:
    # the missing frames are named instead of being taken for a finished render.
    sed 's|SHELL=/bin/bash exec|exec env -u SHELL|' "$work/ssh" >"$work/ssh-noshell"
    chmod +x "$work/ssh-noshell"
    echo "1/$work/ssh-noshell render-node" >"$work/broken-logins"
    out=$("$farm" --sshloginfile "$work/broken-logins" --parts 2 --program "$host" "$example" \
        "$work/broken-farm" "${options[@]}" 2>&1)
    [ $? = 1 ] && grep -q "part 1 (frames 0-.*) brought no frames back" <<<"$out" ||
        fail "a part that ran nothing: $out"
else
    echo "SKIPPED: the parts over ssh (rsync is not installed)"
fi

for task in 10 11 12 13; do
    SLURM_ARRAY_TASK_ID=$task SLURM_ARRAY_TASK_MIN=10 SLURM_ARRAY_TASK_COUNT=4 \
        KEYPOSE_HOST=$host bash "$slurm" "$example" "$work/slurm" "${options[@]}" \
        >>"$work/slurm.log" 2>&1 || fail "Slurm task $task: $(cat "$work/slurm.log")"
done
"$host" sheet "$work/slurm" >/dev/null || fail "sheet of the Slurm parts"
same_files "$work/one" "$work/slurm"

rm "$work/slurm/view_0003.png"
out=$("$host" sheet "$work/slurm" 2>&1)
[ $? = 1 ] && grep -q "frames 3 to 3 are missing" <<<"$out" || fail "a missing frame: $out"
exit $status
