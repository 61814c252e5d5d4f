#!/usr/bin/env bash
# SIGINT while quillmark-cli renames: the file being renamed is finished, the
# run stops with status 130, and every file is there exactly once, under its
# old name or its new one. The run is held on a full pipe (nobody reads its
# output), so the signal always lands in the middle of it.
#   cli_interrupt_test.sh CLI WORKDIR
set -euo pipefail
cli=$1
work=$2
count=3000
rm -rf "$work"
mkdir -p "$work/roms"

# Z64 images whose 20-byte internal names the list knows, one title each.
zeros12='\0\0\0\0\0\0\0\0\0\0\0\0'
for ((i = 0; i < count; i++)); do
    printf -v name 'QM GAME %05d       ' "$i"
    printf '"%s","Game %05d"\r\n' "$name" "$i" >>"$work/roms.ini"
    printf "\x80\x37\x12\x40${zeros12}\x12\x34\x56\x78\0\0\0\0\0\0\0\0\0\0\0\0%s\0\0\0\0\0\0\0\0\0\0\0\0\0\0E\0" \
        "$name" >"$work/roms/rom$i.z64"
done
# The bytes of every file, whatever its name.
contents() { (cd "$work/roms" && md5sum -- * | cut -d' ' -f1 | sort | md5sum); }
before=$(contents)

fail() {
    echo "cli_interrupt: $*" >&2
    exit 1
}
renamed() { find "$work/roms" -name 'Game *' | wc -l; }

mkfifo "$work/out"
"$cli" rename --list "$work/roms.ini" "$work/roms" >"$work/out" 2>"$work/err" &
pid=$!
exec 3<"$work/out" # opened, never read until the signal is sent
last=-1
for ((tries = 0; tries < 300; tries++)); do
    now=$(renamed)
    if ((now > 0 && now == last)); then
        break
    fi
    last=$now
    sleep 0.1
done
kill -INT "$pid"
cat <&3 >"$work/table"
status=0
wait "$pid" || status=$?

((status == 130)) || fail "exit status $status, expected 130"
now=$(renamed)
((now > 0 && now < count)) || fail "$now of $count renamed"
((now == $(grep -c '^renamed' "$work/table"))) || fail "the table does not say what was renamed"
(($(ls "$work/roms" | wc -l) == count)) || fail "files lost or added: $(ls "$work/roms" | wc -l)"
[[ $(contents) == "$before" ]] || fail "a file's bytes changed"
grep -q 'interrupted' "$work/err" || fail "no word of the interruption: $(cat "$work/err")"
echo "interrupted after $now of $count renames; status $status"
